#include "CaptureChild.h"

#include <QDeadlineTimer>

namespace camcore_test {

// The child's trace would be mixed into the test's own.
CaptureChild::CaptureChild(const Plan& plan)
    : m_program(CAMCORE_CAPTURE_CHILD,
                {QString::number(plan.cam), QString::number(plan.resolution),
                 QString::number(plan.pdfMode), QString::number(plan.count), plan.path},
                {.readOutput = true, .dropEnvironment = {"CAMCORE_TRACE"}}) {}

CaptureChild::~CaptureChild() = default;

bool CaptureChild::waitForCaptures(int captures, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (m_captures < captures) {
        const std::optional<QByteArray> line =
            m_program.readLine(static_cast<int>(deadline.remainingTime()));
        if (!line)
            return false; // the child ended, or the time ran out
        if (line->startsWith("captured"))
            ++m_captures;
    }
    return true;
}

void CaptureChild::kill() {
    m_program.kill();
}

} // namespace camcore_test
