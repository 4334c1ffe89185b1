#include "text/PageWords.h"

#include "output/CaptureWriter.h"
#include "output/ImageFormat.h"
#include "output/JpegWriter.h"

#include "QuilOcr.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <dlfcn.h>

namespace camcore {
namespace {

// The OCR reads a copy this wide: enough for body text of a page photographed at 8 MP.
constexpr int kRecognitionWidth = 1600;

using InitEntry = int (*)(int, const char*);
using WordsEntry = int (*)(const char*, int, const QuilOcrWord**);

// The folder this code was loaded from: the engine library, or a test program that links the
// engine statically; the OCR library is built and installed beside both.
QString ownFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&recognisePageWords), &info) == 0 || !info.dli_fname)
        return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
}

// Loaded once, kept for the life of the process (the program links it anyway).
WordsEntry wordsEntry() {
    static const WordsEntry entry = []() -> WordsEntry {
        const QString folder = ownFolder();
        void* library = nullptr;
        if (!folder.isEmpty())
            library = dlopen(QFile::encodeName(folder + "/libQuilOCR.so").constData(),
                             RTLD_NOW | RTLD_LOCAL);
        if (!library) // already loaded by the program, or on the library path
            library = dlopen("libQuilOCR.so", RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            qWarning("camcore: the OCR library is missing; PDF pages are saved without text");
            return nullptr;
        }
        const auto init = reinterpret_cast<InitEntry>(dlsym(library, "fnInit"));
        const auto words = reinterpret_cast<WordsEntry>(dlsym(library, "fnQuilOCRWords"));
        if (!init || !words) {
            qWarning("camcore: the OCR library lacks its word entry; PDF pages are saved "
                     "without text");
            return nullptr;
        }
        init(0, QFile::encodeName(folder).constData());
        return words;
    }();
    return entry;
}

} // namespace

std::vector<PdfWord> recognisePageWords(const OutputImage& image) {
    const WordsEntry words = wordsEntry();
    if (!words || !isWritable(image))
        return {};
    // The OCR library reads files; the copy is private to this user and removed at once.
    const QByteArray bytes =
        image.bilevel ? encodeCapture(ImageFormat::Tiff, image) : jpegBytes(image);
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/camcore-words-XXXXXX") +
                        (image.bilevel ? ".tif" : ".jpg"));
    if (bytes.isEmpty() || !file.open() || file.write(bytes) != bytes.size() || !file.flush())
        return {};

    const QuilOcrWord* found = nullptr;
    const int count =
        words(QFile::encodeName(file.fileName()).constData(), kRecognitionWidth, &found);
    std::vector<PdfWord> result;
    for (int i = 0; i < count && found; ++i)
        result.push_back({QString::fromUtf8(found[i].text),
                          QRect(found[i].left, found[i].top, found[i].width, found[i].height)});
    return result;
}

} // namespace camcore
