#pragma once

#include <QByteArray>
#include <QString>

class ThumbnailLibrary;

// What every capture command shares when it reports to the user and fills the strip.
namespace capture_messages {

QString text(int language, const char* chinese, const char* english);
// There is no work folder to save into.
void sayNoFolder(int language);
// Nothing was written at `path`.
void sayUnsaved(int language, const QByteArray& path);

} // namespace capture_messages

// A new file as the last, checked entry of the strip. A PDF shows through `thumb`, a JPEG of
// its picture; a document already listed (multi-page PDF) keeps its one entry, which the strip
// checks itself.
void addToStrip(ThumbnailLibrary& strip, const QByteArray& path, const QByteArray& thumb = {});
