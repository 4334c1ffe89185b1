#include "output/TiffMemory.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

namespace camcore {

namespace {

TiffMemory& memoryOf(thandle_t handle) {
    return *static_cast<TiffMemory*>(handle);
}

tmsize_t readMemory(thandle_t handle, void* buffer, tmsize_t size) {
    TiffMemory& memory = memoryOf(handle);
    if (size < 0 || memory.position >= memory.bytes.size())
        return 0;
    const qint64 count = std::min<qint64>(size, memory.bytes.size() - memory.position);
    std::memcpy(buffer, memory.bytes.constData() + memory.position, static_cast<size_t>(count));
    memory.position += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t writeMemory(thandle_t handle, void* buffer, tmsize_t size) {
    TiffMemory& memory = memoryOf(handle);
    if (size < 0 || memory.position > std::numeric_limits<qsizetype>::max() - size)
        return -1;
    const qint64 end = memory.position + size;
    if (end > memory.bytes.size()) {
        const qsizetype oldSize = memory.bytes.size();
        memory.bytes.resize(static_cast<qsizetype>(end));
        // libtiff may seek past the end before writing; the gap must read as zeros.
        if (memory.position > oldSize)
            std::memset(memory.bytes.data() + oldSize, 0,
                        static_cast<size_t>(memory.position - oldSize));
    }
    std::memcpy(memory.bytes.data() + memory.position, buffer, static_cast<size_t>(size));
    memory.position = end;
    return size;
}

toff_t seekMemory(thandle_t handle, toff_t offset, int whence) {
    TiffMemory& memory = memoryOf(handle);
    qint64 base = 0;
    if (whence == SEEK_CUR)
        base = memory.position;
    else if (whence == SEEK_END)
        base = memory.bytes.size();
    else if (whence != SEEK_SET)
        return static_cast<toff_t>(-1);
    // toff_t is unsigned; SEEK_CUR/SEEK_END pass negative offsets as their two's complement.
    const qint64 target = base + static_cast<qint64>(offset);
    if (target < 0)
        return static_cast<toff_t>(-1);
    memory.position = target;
    return static_cast<toff_t>(target);
}

int closeMemory(thandle_t) {
    return 0;
}

toff_t sizeOfMemory(thandle_t handle) {
    return static_cast<toff_t>(memoryOf(handle).bytes.size());
}

int mapMemory(thandle_t, void**, toff_t*) {
    return 0;
} // no mapping: libtiff reads instead

void unmapMemory(thandle_t, void*, toff_t) {}

} // namespace

TiffHandle openTiff(TiffMemory& memory, const char* mode) {
    memory.position = 0;
    return TiffHandle(TIFFClientOpen("memory", mode, &memory, readMemory, writeMemory, seekMemory,
                                     closeMemory, sizeOfMemory, mapMemory, unmapMemory));
}

} // namespace camcore
