#include "TestEnvironment.h"

#include "platform/Message.h"

#include <xcb/xcb.h>

#include <cstdlib>

namespace testing_support {

QString homeDir() {
    return QString::fromLocal8Bit(qgetenv("HOME"));
}

MessageRecorder::MessageRecorder() {
    platform::setMessageInterceptor([this](const QString& title, const QString& text) {
        m_messages.append({title, text});
    });
}

MessageRecorder::~MessageRecorder() {
    platform::setMessageInterceptor({});
}

bool haveDisplay() {
    if (std::getenv("DISPLAY") == nullptr)
        return false;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool ok = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return ok;
}

} // namespace testing_support
