#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

namespace camcore {

// A picture read back from a file the engine or the user saved, for operations that work on
// files rather than on a camera's frame.
struct StoredImage {
    QImage picture;       // RGB888 or Grayscale8
    int dpi = 0;          // from the file's metadata; 0 when it records none
    bool bilevel = false; // stored with one bit per pixel: picture holds only 0 and 255
};

// JPEG, PNG, BMP and TIFF, and the single-image PDFs the writers make (one page per file);
// empty for anything else, a collected document of several pages included.
std::optional<StoredImage> readImageFile(const QString& path);

// The size of the one image of a single-image PDF, read from its dictionary without decoding.
std::optional<QSize> pdfImageSize(const QString& path);

} // namespace camcore
