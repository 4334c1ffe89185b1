#pragma once

// What the soak suites share: their size, and the figures of this process they watch.

#include <QString>

#include <cstdint>

namespace soak {

// The CI size, or with CAMCORE_SOAK_FULL=1 the full one.
int sized(int ci, int full);

// Resident memory of this process in bytes (/proc/self/statm).
std::int64_t residentBytes();
// Bytes the program holds from malloc, in every arena and in mapped blocks: unlike resident
// memory, blind to what the allocator keeps for later after it was freed.
std::int64_t heapInUse();
// Open file descriptors of this process (/proc/self/fd).
int openDescriptors();

// True when `path` is a whole picture of `size`, read to its end.
bool wholePicture(const QString& path, int width, int height);

} // namespace soak
