#include "Trace.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace camcore {
namespace {

struct TraceFile {
    std::mutex mutex;
    std::FILE* file = nullptr;

    TraceFile() {
        const char* path = std::getenv("CAMCORE_TRACE");
        if (path != nullptr && *path != '\0')
            file = std::fopen(path, "ae");
    }
    ~TraceFile() {
        if (file != nullptr)
            std::fclose(file);
    }
};

TraceFile& traceFile() {
    static TraceFile instance;
    return instance;
}

} // namespace

bool Trace::enabled() {
    return traceFile().file != nullptr;
}

void Trace::write(const std::string& line) {
    TraceFile& trace = traceFile();
    if (trace.file == nullptr)
        return;
    const std::lock_guard lock(trace.mutex);
    std::fprintf(trace.file, "%s\n", line.c_str());
    std::fflush(trace.file); // a crash must not lose the lines that lead to it
}

} // namespace camcore
