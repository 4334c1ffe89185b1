#include "text/OcrLibrary.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <dlfcn.h>

namespace camcore {
namespace {

// The folder this code was loaded from: the engine library, or a test program that links the
// engine statically; the OCR library is built and installed beside both.
QString ownFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ocrLibrary), &info) == 0 || !info.dli_fname)
        return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
}

template <typename Entry> void find(void* library, const char* name, Entry& entry) {
    entry = reinterpret_cast<Entry>(dlsym(library, name));
    if (!entry)
        qWarning("camcore: the OCR library lacks %s", name);
}

OcrLibrary load() {
    OcrLibrary entries;
    const QString folder = ownFolder();
    void* library = nullptr;
    if (!folder.isEmpty())
        library =
            dlopen(QFile::encodeName(folder + "/libQuilOCR.so").constData(), RTLD_NOW | RTLD_LOCAL);
    if (!library) // already loaded by the program, or on the library path
        library = dlopen("libQuilOCR.so", RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        qWarning("camcore: the OCR library is missing; pages are saved without text or turning");
        return entries;
    }
    int (*init)(int, const char*) = nullptr;
    find(library, "fnInit", init);
    if (!init)
        return entries;
    init(0, QFile::encodeName(folder).constData());
    find(library, "fnQuilOCRWordsIn", entries.words);
    find(library, "fnQuilOCROrientationScripts", entries.orientation);
    return entries;
}

} // namespace

const OcrLibrary& ocrLibrary() {
    static const OcrLibrary entries = load();
    return entries;
}

} // namespace camcore
