#pragma once

#include "output/ImageFormat.h"
#include "output/OutputImage.h"

#include <QByteArray>
#include <QSize>
#include <QString>

#include <optional>

namespace camcore {

class PdfDocument;

// Writes one capture to `path` in the format its extension names, with the DPI in the file's
// metadata, atomically (AtomicFile.h). A PDF is one page per file, or with `multiPage` the
// next page of that collected document. Returns the number of files written: 1, or 0 when
// nothing was written (unknown extension, a picture the writers refuse, folder missing or
// not writable, disk full); a file already at `path` is then left as it was.
int writeCapture(const QString& path, const OutputImage& image, PdfDocument* multiPage = nullptr);

// The complete file of `image` in `format` (a single-page PDF for ImageFormat::Pdf). Empty
// when !isWritable(image) or compression fails.
QByteArray encodeCapture(ImageFormat format, const OutputImage& image);

// A picture file's size in pixels, read from its header without decoding it (JPEG, PNG, BMP,
// TIFF, and the single-image PDFs the writers make). Empty for a missing, unreadable or
// non-picture file.
std::optional<QSize> imageFileSize(const QString& path);

} // namespace camcore
