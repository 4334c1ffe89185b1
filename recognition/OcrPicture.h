#pragma once

#include <QString>

namespace ocr {

// The width the OCR library reads a photographed page best at.
inline constexpr int kMaxWidth = 1200;

// Scales the picture at `path` down to `maxWidth` pixels wide, keeping its aspect ratio, and
// saves it back under the same path (format from the extension). A picture that is no wider, or
// that cannot be read, is left as it is.
void limitWidth(const QString& path, int maxWidth = kMaxWidth);

// The full-size picture the last recognition read, kept before it was scaled down for reading;
// empty when the last press took no picture.
QString readPicture();
// Keeps the picture at `path` as the one readPicture() names.
void keepReadPicture(const QString& path);

// The text the OCR library reads from the picture at `path`; empty when there is none.
QString recognise(const QString& path);

} // namespace ocr
