#include "CaptureChild.h"

#include <QDeadlineTimer>
#include <QProcessEnvironment>

namespace camcore_test {

CaptureChild::CaptureChild(const Plan& plan) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("CAMCORE_TRACE")); // the test's trace is its own
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(CAMCORE_CAPTURE_CHILD),
                    {QString::number(plan.cam), QString::number(plan.resolution),
                     QString::number(plan.pdfMode), QString::number(plan.count), plan.path});
}

bool CaptureChild::waitForCaptures(int captures, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (m_captures < captures) {
        while (m_process.canReadLine()) {
            if (m_process.readLine().startsWith("captured"))
                ++m_captures;
        }
        if (m_captures >= captures)
            break;
        if (m_process.state() == QProcess::NotRunning || deadline.hasExpired() ||
            !m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return false;
    }
    return true;
}

void CaptureChild::kill() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill(); // SIGKILL: nothing of the child runs any more
    m_process.waitForFinished(-1);
}

} // namespace camcore_test
