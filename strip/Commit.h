#pragma once

#include <QString>

class ThumbnailLibrary;

// "ZoCommit.txt" in the temporary folder: what the waiting driver program reads.
QString commitFilePath();

// Hands the checked items of the strip to the driver program: their paths, in strip order, each
// followed by the two bytes "@@", replace the file at `path`; then the strip is emptied.
// Returns true when the hand-over is done or there is nothing to hand over because the strip or
// one of its queries is missing (`written` tells whether the file was written), and false when
// the strip is empty or the file could not be written; in the last case the strip keeps its items
// so that the hand-over can be repeated.
struct CommitResult {
    bool ok = true;
    bool written = false;
};
CommitResult commitCheckedItems(ThumbnailLibrary& strip, const QString& path);

// The hand-over a closing window makes: once the file is written, the driver program starts its
// next batch from the first name, so `nameCounter` goes back to 0. Returns what the commit did.
bool handOverToDriver(ThumbnailLibrary& strip, int& nameCounter);
