#pragma once

#include <QString>

class ThumbnailLibrary;

// "ZoCommit.txt" in the temporary folder: what the waiting driver program reads.
QString commitFilePath();

// Hands the checked items of the strip to the driver program: their paths, in strip order, each
// followed by the two bytes "@@", replace the file at `path`, and the strip is emptied. The file
// is written on every call, empty when nothing is checked or the strip or one of its queries is
// missing, so a driver never takes an earlier batch again. When the file cannot be written the
// strip keeps its items and the hand-over can be repeated.
struct CommitResult {
    bool written = false;
    int items = 0; // entries the strip held
};
CommitResult commitCheckedItems(ThumbnailLibrary& strip, const QString& path);
