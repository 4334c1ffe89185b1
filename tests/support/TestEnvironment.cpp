#include "TestEnvironment.h"

#include "platform/Message.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

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

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int pdfPageCount(const QString& path) {
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    if (!info.waitForFinished() || info.exitCode() != 0)
        return -1;
    const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                   QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match =
        pages.match(QString::fromUtf8(info.readAllStandardOutput()));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QString pdfPageText(const QString& path, int page) {
    QProcess text;
    const QString number = QString::number(page);
    text.start(QStringLiteral("pdftotext"), {"-f", number, "-l", number, path, "-"});
    if (!text.waitForFinished() || text.exitCode() != 0)
        return {};
    return QString::fromUtf8(text.readAllStandardOutput());
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
