#pragma once

#include "barcode/BarcodeReader.h"

#include <chrono>
#include <functional>
#include <vector>

namespace camcore {

// Runs `read` in a child process of this one and returns the codes it found, or nothing when
// the child did not finish normally or in time. zxing-cpp 1.4.0 stops the process with a failed
// assertion when one picture holds two linear codes of the same format and value; the child takes
// that stop instead of the program. The child sees the parent's memory as it was at the fork, so
// `read` may use any picture the caller holds, but must not touch Qt or start threads.
// A child still busy at `deadline` is stopped and reads nothing.
struct IsolatedCodes {
    enum class End { Finished, Stopped, Overdue };
    End end = End::Stopped;
    std::vector<FoundCode> codes; // the child's, when it finished
};
IsolatedCodes readIsolated(const std::function<std::vector<FoundCode>()>& read,
                           std::chrono::steady_clock::time_point deadline);

} // namespace camcore
