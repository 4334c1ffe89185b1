#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>

// Runs tools/showpiece-send as another program would, with `text` on its standard input, while
// this process's event loop goes on (the program under test may be this process).
namespace app_test {

struct SendResult {
    int exitCode = -1;
    QString error; // the sender's standard error
};

SendResult
sendCommand(const QByteArray& text,
            const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

} // namespace app_test
