#pragma once

#include "support/ForkedProgram.h"

#include <QString>

namespace camcore_test {

// A separate process that captures with a virtual camera (child/CaptureChild.cpp), to be
// killed with SIGKILL as a crash would end the program.
class CaptureChild {
public:
    struct Plan {
        int cam = 0;
        int resolution = 5;
        int pdfMode = 1; // 0: pages collected into one document
        int count = 0;   // 0: until killed
        QString path;
    };
    explicit CaptureChild(const Plan& plan);
    ~CaptureChild();
    CaptureChild(const CaptureChild&) = delete;
    CaptureChild& operator=(const CaptureChild&) = delete;

    // Waits until the child reports `captures` captures that wrote; false when it ends or the
    // time runs out first.
    bool waitForCaptures(int captures, int timeoutMs = 30000);
    // SIGKILL, and waits until the process is gone.
    void kill();

private:
    testing_support::ForkedProgram m_program;
    int m_captures = 0;
};

} // namespace camcore_test
