#include "support/QtMessages.h"

#include <QMutex>
#include <QStringList>

#include <gtest/gtest.h>

namespace testing_support {
namespace {

QMutex mutex;
QStringList expected;
QtMessageHandler previousHandler = nullptr;

bool isExpected(const QString& message) {
    const QMutexLocker lock(&mutex);
    for (const QString& fragment : expected)
        if (message.contains(fragment))
            return true;
    return false;
}

// Messages outside a test (static set-up, the end of the process) are only printed.
void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    previousHandler(type, context, message);
    if (type != QtWarningMsg && type != QtCriticalMsg)
        return;
    if (::testing::UnitTest::GetInstance()->current_test_info() == nullptr || isExpected(message))
        return;
    ADD_FAILURE() << "unexpected Qt message: " << message.toStdString();
}

} // namespace

void installQtMessageCheck() {
    previousHandler = qInstallMessageHandler(handle);
}

ExpectQtWarning::ExpectQtWarning(QString fragment) {
    const QMutexLocker lock(&mutex);
    expected.append(std::move(fragment));
}

ExpectQtWarning::~ExpectQtWarning() {
    const QMutexLocker lock(&mutex);
    expected.removeLast();
}

} // namespace testing_support
