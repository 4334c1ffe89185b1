#pragma once

#include <QImage>
#include <QString>

#include <string>

namespace camcore {

// The first picture of a video file as a player shows it, at most `maxWidth` pixels wide
// (RGB888); null with `error` set when the file does not open, has no picture or the picture does
// not decode. Reading it back is also how a finished recording is known to play.
QImage readFirstFrame(const QString& path, int maxWidth, std::string& error);

} // namespace camcore
