// Results come from zxing-cpp as UTF-8 std::string.
#define ZX_USE_UTF8 1

#include "barcode/BarcodeReader.h"

#include "barcode/IsolatedRead.h"
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

constexpr int kMinSplitSide = 400; // pixels: a smaller part that stops the decoder is given up
// A reading without a limit of its own: a decoder that hangs still ends.
constexpr std::chrono::milliseconds kNoHurry{30000};

// zxing-cpp 1.4.0 stops the process when it compares a linear code found twice (see
// IsolatedRead.h). Its downscaled search finds a linear code again in each smaller copy and
// stops on the first page of the quality corpus, so it stays off; a document camera's modules
// are several pixels wide, and the full-size search finds them.
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

void add(std::vector<FoundCode>& codes, FoundCode code) {
    // Neighbouring windows and overlapping parts find the same symbol.
    for (const FoundCode& known : codes)
        if (known.format == code.format && known.text == code.text &&
            known.box.intersects(code.box))
            return;
    codes.push_back(std::move(code));
}

void add(std::vector<FoundCode>& codes, const ZXing::Result& result, QPoint offset = {}) {
    if (result.isValid())
        add(codes, FoundCode{ZXing::ToString(result.format()), result.text(),
                             boxOf(result.position(), offset)});
}

// Every code of kFormats in `region`. The search runs in a child process (IsolatedRead.h); when
// it stops there, the region is read again as two halves along its longer side, overlapping by
// a fifth of it, until the two copies of a code that stop the decoder lie in different parts.
// A code that lies across the middle of a stopped part, wider than the overlap, is lost. A search
// still going at the deadline ends the whole reading: a hanging decoder would hang on the halves
// too.
struct RegionReading {
    const ZXing::ImageView& view;
    std::chrono::steady_clock::time_point deadline;
    CodeReading& reading;

    void read(const QRect& region) {
        if (reading.timedOut)
            return;
        const IsolatedCodes found = readIsolated(
            [&] {
                std::vector<FoundCode> inRegion;
                for (const ZXing::Result& result : ZXing::ReadBarcodes(
                         view.cropped(region.x(), region.y(), region.width(), region.height()),
                         hints(kFormats)))
                    add(inRegion, result, region.topLeft());
                return inRegion;
            },
            deadline);
        if (found.end == IsolatedCodes::End::Finished) {
            for (const FoundCode& code : found.codes)
                add(reading.codes, code);
            return;
        }
        if (found.end == IsolatedCodes::End::Overdue) {
            qWarning(
                "camcore: reading barcodes took too long; it ends with the codes found so far");
            reading.timedOut = true;
            return;
        }
        if (std::max(region.width(), region.height()) < kMinSplitSide) {
            qWarning("camcore: the barcode decoder stopped on a %dx%d part at %d,%d; its codes "
                     "are not read",
                     region.width(), region.height(), region.x(), region.y());
            return;
        }
        const bool across = region.width() >= region.height();
        const int length = across ? region.width() : region.height();
        const int half = length * 3 / 5;
        const int start = length - half;
        read(across ? QRect(region.x(), region.y(), half, region.height())
                    : QRect(region.x(), region.y(), region.width(), half));
        read(across ? QRect(region.x() + start, region.y(), length - start, region.height())
                    : QRect(region.x(), region.y() + start, region.width(), length - start));
    }
};

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
    return readCodesWithin(picture, kNoHurry).codes;
}

CodeReading readCodesWithin(const QImage& picture, std::chrono::milliseconds limit) {
    CodeReading reading;
    if (picture.isNull())
        return reading;
    const QImage grey = picture.format() == QImage::Format_Grayscale8
                            ? picture
                            : picture.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(),
                                ZXing::ImageFormat::Lum, static_cast<int>(grey.bytesPerLine()));
    try {
        RegionReading{view, std::chrono::steady_clock::now() + limit, reading}.read(grey.rect());
        if (!reading.timedOut)
            readCentredSymbols(grey, view, reading.codes);
    } catch (const std::exception& error) { // zxing-cpp or OpenCV
        qWarning("camcore: reading barcodes failed (%s)", error.what());
        return {};
    }
    sortInReadingOrder(reading.codes);
    return reading;
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
