#include "CodeSamples.h"

#include <ZXing/BitMatrix.h>
#include <ZXing/CharacterSet.h>
#include <ZXing/MultiFormatWriter.h>

#include <QPainter>

namespace barcode_test {

const std::vector<Sample>& samples() {
    using F = ZXing::BarcodeFormat;
    static const std::vector<Sample> all = {
        {F::QRCode, "QRCode", "https://example.org/doc/42"},
        {F::DataMatrix, "DataMatrix", "DM-0042-LOT7"},
        {F::PDF417, "PDF417", "PDF417 SAMPLE 0042"},
        {F::Aztec, "Aztec", "AZTEC-0042"},
        {F::Code128, "Code128", "C128-0042-x"},
        {F::Code39, "Code39", "CODE39-42"},
        {F::Code93, "Code93", "CODE93-42"},
        {F::EAN13, "EAN-13", "5901234123457"},
        {F::EAN8, "EAN-8", "96385074"},
        {F::UPCA, "UPC-A", "036000291452"},
        {F::UPCE, "UPC-E", "01234565"},
        {F::ITF, "ITF", "00123456789012"},
        {F::Codabar, "Codabar", "A40156B"},
    };
    return all;
}

QImage drawCode(ZXing::BarcodeFormat format, const std::string& value, int modulePixels,
                int barHeight) {
    ZXing::MultiFormatWriter writer(format);
    // Only the QR writer takes UTF-8 here; this version's Data Matrix and Aztec writers then make
    // symbols that no reader decodes.
    if (format == ZXing::BarcodeFormat::QRCode)
        writer.setEncoding(ZXing::CharacterSet::UTF8);
    const ZXing::BitMatrix modules = writer.setMargin(0).encode(value, 0, 0);
    const bool linear = ZXing::BarcodeFormats(ZXing::BarcodeFormat::LinearCodes).testFlag(format);
    const int quiet = linear ? 10 : 4; // modules of white around the code
    const int columns = modules.width() + 2 * quiet;
    const int width = columns * modulePixels;
    const int codeHeight =
        linear ? (barHeight > 0 ? barHeight : width / 3) : modules.height() * modulePixels;
    const int height = codeHeight + 2 * quiet * modulePixels;
    QImage image(width, height, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int y = 0; y < (linear ? 1 : modules.height()); ++y)
        for (int x = 0; x < modules.width(); ++x)
            if (modules.get(x, y))
                painter.fillRect((quiet + x) * modulePixels,
                                 quiet * modulePixels + y * modulePixels, modulePixels,
                                 linear ? codeHeight : modulePixels, Qt::black);
    return image;
}

} // namespace barcode_test
