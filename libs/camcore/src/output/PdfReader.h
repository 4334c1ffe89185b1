#pragma once

#include <QByteArray>
#include <QSize>

#include <optional>

namespace camcore {

// The image of a single-page PDF as appendPage() (PdfSections.h) writes it, taken out of the
// file so that an ordinary decoder can read it: the JPEG bytes of a /DCTDecode image as they
// are, a /CCITTFaxDecode image wrapped in a TIFF of one Group 4 strip. Only our own layout is
// understood; a document of other pages or from another writer is refused.
struct PdfImageData {
    QSize size;
    int dpi = 0; // from the page's width: MediaBox width = pixels * 72 / dpi
    bool isTiff = false;
    QByteArray file; // left empty when not asked for
};

std::optional<PdfImageData> singlePdfImage(const QByteArray& pdf, bool withData = true);

} // namespace camcore
