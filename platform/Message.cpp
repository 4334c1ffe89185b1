#include "Message.h"

#include <QMessageBox>

#include <utility>

namespace platform {
namespace {

MessageInterceptor& interceptor() {
    static MessageInterceptor installed;
    return installed;
}

} // namespace

void showMessage(const QString& title, const QString& text) {
    if (interceptor()) {
        interceptor()(title, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok);
    box.exec();
}

MessageInterceptor setMessageInterceptor(MessageInterceptor replacement) {
    return std::exchange(interceptor(), std::move(replacement));
}

} // namespace platform
