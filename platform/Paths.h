#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Folder of the running program with a trailing "/": the program and the libraries it loads
// at run time live there.
QString programDir();

// Folder for temporary files with a trailing "/".
QString tempDir();

// This process's own folder for the program's fixed temporary names, with a trailing "/": made
// on first use with mode 0700 under the temporary folder (never an existing folder or a link
// someone planted), and removed with its files when the program ends. Empty while it cannot be
// made: the shared temporary folder is no place for pictures that others could read or replace,
// so a caller refuses its work then, and says so.
QString privateTempDir();

// The user's documents folder, without a trailing "/".
QString documentsDir();

// Creates the file at `path`, or replaces what is there, with `content`. The bytes go to a new
// file in the same folder first, which is then renamed over the path: a symbolic link planted at
// the path is replaced, never followed, and readers never see a half-written file. Returns false
// with nothing changed at `path` when any step fails.
bool writeFileReplacing(const QString& path, const QByteArray& content);

} // namespace platform
