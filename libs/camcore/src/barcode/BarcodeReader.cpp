// Results come from zxing-cpp as UTF-8 std::string.
#define ZX_USE_UTF8 1

#include "barcode/BarcodeReader.h"

#include "barcode/SymbolCandidates.h"

#include <ZXing/ReadBarcode.h>

#include <QtGlobal>

#include <algorithm>
#include <exception>

namespace camcore {
namespace {

constexpr ZXing::BarcodeFormats kCentredFormats =
    ZXing::BarcodeFormat::DataMatrix | ZXing::BarcodeFormat::Aztec;
constexpr ZXing::BarcodeFormats kFormats =
    ZXing::BarcodeFormat::QRCode | ZXing::BarcodeFormat::PDF417 | ZXing::BarcodeFormat::Code128 |
    ZXing::BarcodeFormat::Code39 | ZXing::BarcodeFormat::Code93 | ZXing::BarcodeFormat::EAN8 |
    ZXing::BarcodeFormat::EAN13 | ZXing::BarcodeFormat::UPCA | ZXing::BarcodeFormat::UPCE |
    ZXing::BarcodeFormat::ITF | ZXing::BarcodeFormat::Codabar;

// zxing-cpp 1.4.0 stops the process with a failed assertion on some large frames when it also
// searches a downscaled copy. Without that pass no abort has been seen on any frame size the
// cameras deliver (the engine's frame-size test reads each of them), and a document camera's
// modules are several pixels wide, so the full-size search finds them; the corpus holds that.
ZXing::DecodeHints hints(ZXing::BarcodeFormats formats) {
    return ZXing::DecodeHints()
        .setFormats(formats)
        .setTryHarder(true)
        .setTryRotate(true)
        .setTryDownscale(false);
}

QRect boxOf(const ZXing::Position& position, QPoint offset = {}) {
    int left = position[0].x, right = left, top = position[0].y, bottom = top;
    for (const ZXing::PointI& corner : position) {
        left = std::min(left, corner.x);
        right = std::max(right, corner.x);
        top = std::min(top, corner.y);
        bottom = std::max(bottom, corner.y);
    }
    return QRect(QPoint(left, top), QPoint(right, bottom)).translated(offset);
}

void add(std::vector<FoundCode>& codes, const ZXing::Result& result, QPoint offset = {}) {
    if (!result.isValid())
        return;
    FoundCode code{ZXing::ToString(result.format()), result.text(),
                   boxOf(result.position(), offset)};
    // Neighbouring windows find the same symbol.
    for (const FoundCode& known : codes)
        if (known.format == code.format && known.text == code.text &&
            known.box.intersects(code.box))
            return;
    codes.push_back(std::move(code));
}

// Each candidate place, cut out so that the symbol sits at the centre of what the decoder sees.
void readCentredSymbols(const QImage& grey, const ZXing::ImageView& view,
                        std::vector<FoundCode>& codes) {
    const cv::Mat mat(grey.height(), grey.width(), CV_8UC1, const_cast<uchar*>(grey.constBits()),
                      static_cast<std::size_t>(grey.bytesPerLine()));
    for (const QRect& place : symbolCandidates(mat)) {
        const QRect cut = place.intersected(grey.rect());
        for (const ZXing::Result& result : ZXing::ReadBarcodes(
                 view.cropped(cut.x(), cut.y(), cut.width(), cut.height()), hints(kCentredFormats)))
            add(codes, result, cut.topLeft());
    }
}

} // namespace

std::vector<FoundCode> readCodes(const QImage& picture) {
    if (picture.isNull())
        return {};
    const QImage grey = picture.format() == QImage::Format_Grayscale8
                            ? picture
                            : picture.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(),
                                ZXing::ImageFormat::Lum, static_cast<int>(grey.bytesPerLine()));
    std::vector<FoundCode> codes;
    try {
        for (const ZXing::Result& result : ZXing::ReadBarcodes(view, hints(kFormats)))
            add(codes, result);
        readCentredSymbols(grey, view, codes);
    } catch (const std::exception& error) { // zxing-cpp or OpenCV
        qWarning("camcore: reading barcodes failed (%s)", error.what());
        return {};
    }
    sortInReadingOrder(codes);
    return codes;
}

void sortInReadingOrder(std::vector<FoundCode>& codes) {
    std::sort(codes.begin(), codes.end(),
              [](const FoundCode& a, const FoundCode& b) { return a.box.top() < b.box.top(); });
    // Rows: a code whose top lies above the lowest bottom of the row so far joins it.
    auto rowStart = codes.begin();
    while (rowStart != codes.end()) {
        int rowBottom = rowStart->box.bottom();
        auto rowEnd = std::next(rowStart);
        while (rowEnd != codes.end() && rowEnd->box.top() <= rowBottom) {
            rowBottom = std::max(rowBottom, rowEnd->box.bottom());
            ++rowEnd;
        }
        std::stable_sort(rowStart, rowEnd, [](const FoundCode& a, const FoundCode& b) {
            return a.box.left() < b.box.left();
        });
        rowStart = rowEnd;
    }
}

} // namespace camcore
