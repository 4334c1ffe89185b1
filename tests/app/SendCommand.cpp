#include "SendCommand.h"

#include <QProcess>
#include <QtTest/QTest>

namespace app_test {

SendResult sendCommand(const QByteArray& text, const QProcessEnvironment& environment) {
    QProcess sender;
    sender.setProcessEnvironment(environment);
    sender.start(QStringLiteral(DOCSCANNER_BIN_DIR "/showpiece-send"), {QStringLiteral("-")});
    if (!sender.waitForStarted())
        return {};
    sender.write(text);
    sender.closeWriteChannel();
    if (!QTest::qWaitFor([&] { return sender.state() == QProcess::NotRunning; }, 60000))
        return {};
    return {sender.exitStatus() == QProcess::NormalExit ? sender.exitCode() : -1,
            QString::fromLocal8Bit(sender.readAllStandardError())};
}

} // namespace app_test
