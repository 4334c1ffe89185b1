#include "output/PdfReader.h"

#include "output/TiffMemory.h"

#include <cctype>
#include <cmath>

namespace camcore {

namespace {

// The number after `key` inside `text`, e.g. "/Width 640"; -1 when missing.
double numberAfter(QByteArrayView text, QByteArrayView key) {
    const qsizetype at = text.indexOf(key);
    if (at < 0)
        return -1;
    qsizetype end = at + key.size();
    while (end < text.size() && text[end] == ' ')
        ++end;
    const qsizetype start = end;
    while (end < text.size() &&
           (std::isdigit(static_cast<unsigned char>(text[end])) != 0 || text[end] == '.'))
        ++end;
    bool ok = false;
    const double value = text.sliced(start, end - start).toDouble(&ok);
    return ok ? value : -1;
}

QByteArray group4Tiff(const QByteArray& strip, QSize size) {
    TiffMemory memory;
    {
        const TiffHandle tiff = openTiff(memory, "w");
        const auto width = static_cast<std::uint32_t>(size.width());
        const auto height = static_cast<std::uint32_t>(size.height());
        if (!tiff || !TIFFSetField(tiff.get(), TIFFTAG_IMAGEWIDTH, width) ||
            !TIFFSetField(tiff.get(), TIFFTAG_IMAGELENGTH, height) ||
            !TIFFSetField(tiff.get(), TIFFTAG_BITSPERSAMPLE, 1) ||
            !TIFFSetField(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, 1) ||
            // The strip was cut out of a WhiteIsZero TIFF (TiffEncoder.h).
            !TIFFSetField(tiff.get(), TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE) ||
            !TIFFSetField(tiff.get(), TIFFTAG_FILLORDER, FILLORDER_MSB2LSB) ||
            !TIFFSetField(tiff.get(), TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4) ||
            !TIFFSetField(tiff.get(), TIFFTAG_ROWSPERSTRIP, height) ||
            TIFFWriteRawStrip(tiff.get(), 0, const_cast<char*>(strip.constData()),
                              static_cast<tmsize_t>(strip.size())) < 0 ||
            !TIFFFlush(tiff.get()))
            return {};
    }
    return memory.bytes;
}

} // namespace

std::optional<PdfImageData> singlePdfImage(const QByteArray& pdf, bool withData) {
    const QByteArrayView whole(pdf);
    const qsizetype image = whole.indexOf("/Subtype /Image");
    if (image < 0 || whole.indexOf("/Subtype /Image", image + 1) >= 0 ||
        whole.indexOf("/Type /Page ") != whole.lastIndexOf("/Type /Page "))
        return std::nullopt;
    const qsizetype stream = whole.indexOf(">>\nstream\n", image);
    const qsizetype mediaBox = whole.indexOf("/MediaBox [0 0 ");
    if (stream < 0 || mediaBox < 0)
        return std::nullopt;
    const QByteArrayView dictionary = whole.sliced(image, stream - image);

    PdfImageData data;
    data.size = QSize(static_cast<int>(numberAfter(dictionary, "/Width")),
                      static_cast<int>(numberAfter(dictionary, "/Height")));
    const double pageWidth = numberAfter(whole.sliced(mediaBox), "/MediaBox [0 0");
    const double length = numberAfter(dictionary, "/Length");
    const qsizetype start = stream + 10;
    if (data.size.isEmpty() || pageWidth <= 0 || length <= 0 || start + length > whole.size())
        return std::nullopt;
    data.dpi = static_cast<int>(std::lround(data.size.width() * 72.0 / pageWidth));
    data.isTiff = dictionary.contains("/CCITTFaxDecode");
    if (!data.isTiff && !dictionary.contains("/DCTDecode"))
        return std::nullopt;
    if (!withData)
        return data;
    const QByteArray content = pdf.sliced(start, static_cast<qsizetype>(length));
    data.file = data.isTiff ? group4Tiff(content, data.size) : content;
    if (data.file.isEmpty())
        return std::nullopt;
    return data;
}

} // namespace camcore
