#pragma once

#include <QString>

#include <functional>

namespace platform {

// Shows a modal message box without owner window and with one OK button, and returns when the
// user has closed it.
void showMessage(const QString& title, const QString& text);

// While an interceptor is installed, showMessage() hands it the title and text instead of showing
// a box and returns at once. Tests use it so that no test waits for a click. Returns the
// interceptor that was installed before; pass an empty function to show boxes again.
using MessageInterceptor = std::function<void(const QString& title, const QString& text)>;
MessageInterceptor setMessageInterceptor(MessageInterceptor interceptor);

} // namespace platform
