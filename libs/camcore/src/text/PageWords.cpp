#include "text/PageWords.h"

#include "output/CaptureWriter.h"
#include "output/ImageFormat.h"
#include "output/JpegWriter.h"
#include "text/OcrLibrary.h"

#include <QByteArray>
#include <QDir>
#include <QTemporaryFile>

#include <atomic>

namespace camcore {
namespace {

// The OCR reads a copy this wide: enough for body text of a page photographed at 8 MP.
constexpr int kRecognitionWidth = 1600;

std::atomic<bool> g_readerHidden{false};

} // namespace

bool canRecogniseWords() {
    return !g_readerHidden && ocrLibrary().words != nullptr;
}

void hideWordReader(bool hidden) {
    g_readerHidden = hidden;
}

std::vector<PdfWord> recognisePageWords(const OutputImage& image, bool latin) {
    const auto words = ocrLibrary().words;
    if (!canRecogniseWords() || !isWritable(image))
        return {};
    // The OCR library reads files; the copy is private to this user and removed at once.
    const QByteArray bytes =
        image.bilevel ? encodeCapture(ImageFormat::Tiff, image) : jpegBytes(image);
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/camcore-words-XXXXXX") +
                        (image.bilevel ? ".tif" : ".jpg"));
    if (bytes.isEmpty() || !file.open() || file.write(bytes) != bytes.size() || !file.flush())
        return {};

    const QuilOcrWord* found = nullptr;
    const int count = words(QFile::encodeName(file.fileName()).constData(), kRecognitionWidth,
                            latin ? QUILOCR_LATIN_ONLY : QUILOCR_ALL_SCRIPTS, &found);
    std::vector<PdfWord> result;
    for (int i = 0; i < count && found; ++i)
        result.push_back({QString::fromUtf8(found[i].text),
                          QRect(found[i].left, found[i].top, found[i].width, found[i].height)});
    return result;
}

} // namespace camcore
