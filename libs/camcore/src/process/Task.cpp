#include "process/Task.h"

namespace camcore {

void TaskStatus::throwIfCancelled() const {
    if (isCancelled())
        throw TaskCancelled{};
}

const TaskStatus& TaskStatus::never() {
    static const TaskStatus status;
    return status;
}

} // namespace camcore
