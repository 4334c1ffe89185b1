#pragma once

#include <QString>

#include <cstdint>

namespace camcore {

// Why a file could not be written at a path, told after the fact from the folder it was to go
// into, so that the user reads the cause rather than only the path.
enum class WriteFailure {
    FolderMissing,
    FolderReadOnly,
    DiskFull,
    NameRefused, // the folder takes files, but not this name (too long, a folder of that name)
    Other,
};

// `bytes` is about how much the file needed; a disk with less than that free is full.
WriteFailure whyNotWritten(const QString& path, std::int64_t bytes);

} // namespace camcore
