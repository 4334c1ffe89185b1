#pragma once

// What the soak suites share: their size, and the figures of this process they watch.

#include <QString>

#include <cstdint>

namespace soak {

// The CI size, or with CAMCORE_SOAK_FULL=1 the full one.
int sized(int ci, int full);

// Resident memory of this process in bytes (/proc/self/statm).
std::int64_t residentBytes();
// Open file descriptors of this process (/proc/self/fd).
int openDescriptors();

// True when `path` is a whole picture of `size`, read to its end.
bool wholePicture(const QString& path, int width, int height);

} // namespace soak
