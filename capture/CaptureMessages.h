#pragma once

#include "platform/Language.h"

#include <QByteArray>
#include <QString>

class QImage;
class ThumbnailLibrary;
class QWidget;

// What every capture command shares when it reports to the user and fills the strip.
namespace capture_messages {

using platform::text;
// There is no work folder to save into.
void sayNoFolder(int language);
// The program's private temporary folder cannot be made: no picture is taken or handed over.
void sayNoPrivateFolder(int language);
// Nothing was written at `path`.
void sayUnsaved(int language, const QByteArray& path);
// Nothing (or not everything) was written at `path`, for the engine's reason ZO_CAPTURE_*.
void sayFailed(int language, int reason, const QByteArray& path);
// Why, in a few words: the reason as the user reads it.
QString reasonText(int language, int reason);
// The engine is still saving the pictures before: said for a moment beside `near`, without a box
// to close.
void sayBusy(int language, QWidget* near);

} // namespace capture_messages

// A new file as the last, checked entry of the strip. A PDF shows through `thumb`, a JPEG of
// its picture; a document already listed (multi-page PDF) keeps its one entry, which the strip
// checks itself.
void addToStrip(ThumbnailLibrary& strip, const QByteArray& path, const QByteArray& thumb = {});
// A PDF written page by page as the checked entry of the strip, shown through `picture`, a page
// of it, kept beside the program's other temporary pictures until the next document is listed.
void addDocumentToStrip(ThumbnailLibrary& strip, const QByteArray& path, const QImage& picture);
