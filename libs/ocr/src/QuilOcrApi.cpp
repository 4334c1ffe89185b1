#include "QuilOcr.h"

#include "Prepare.h"
#include "RecognizerPool.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using quilocr::RecognizerPool;

namespace {

constexpr int kDefaultWordsWidth = 1600;

// The results the entries hand out, one set per calling thread.
thread_local std::string g_text;
thread_local std::vector<std::string> g_wordTexts;
thread_local std::vector<QuilOcrWord> g_words;

// Tesseract reports trouble it cannot recover from by exception in a few places; a C caller
// must never see one.
template <typename Work> void guarded(Work&& work) {
    try {
        work();
    } catch (...) {
    }
}

} // namespace

extern "C" {

int fnInit(int, const char* programDir) {
    return RecognizerPool::instance().setProgramDir(programDir ? programDir : "") ? 1 : 0;
}

const char* fnQuilOCREx(const char* imagePath, int, int, float, float, float, float, bool, bool) {
    g_text.clear();
    guarded([&] {
        const quilocr::PixHandle picture = quilocr::readPicture(imagePath ? imagePath : "");
        if (!picture)
            return;
        const quilocr::Prepared prepared = quilocr::prepare(*picture.get(), 0, true);
        if (prepared.pix)
            g_text = RecognizerPool::instance().borrow()->text(*prepared.pix.get());
    });
    return g_text.c_str();
}

int fnQuilOCROrientation(const char* imagePath) {
    return fnQuilOCROrientationScripts(imagePath, nullptr);
}

int fnQuilOCROrientationScripts(const char* imagePath, int* scripts) {
    quilocr::PageLook look;
    guarded([&] {
        const quilocr::PixHandle picture = quilocr::readPicture(imagePath ? imagePath : "");
        if (!picture)
            return;
        const quilocr::Prepared prepared = quilocr::prepare(*picture.get(), 0, false);
        if (prepared.pix)
            look = RecognizerPool::instance().borrow()->look(*prepared.pix.get());
    });
    if (scripts)
        *scripts = look.latin ? QUILOCR_LATIN_ONLY : QUILOCR_ALL_SCRIPTS;
    return look.turn;
}

int fnQuilOCRWords(const char* imagePath, int maxWidth, const QuilOcrWord** words) {
    return fnQuilOCRWordsIn(imagePath, maxWidth, QUILOCR_ALL_SCRIPTS, words);
}

int fnQuilOCRWordsIn(const char* imagePath, int maxWidth, int scripts, const QuilOcrWord** words) {
    g_words.clear();
    g_wordTexts.clear();
    guarded([&] {
        const quilocr::PixHandle picture = quilocr::readPicture(imagePath ? imagePath : "");
        if (!picture)
            return;
        const int width = pixGetWidth(picture.get()), height = pixGetHeight(picture.get());
        const quilocr::Prepared prepared =
            quilocr::prepare(*picture.get(), maxWidth > 0 ? maxWidth : kDefaultWordsWidth, true);
        if (!prepared.pix)
            return;
        const quilocr::BoxToFile toFile(prepared, width, height);
        const bool latinOnly = scripts == QUILOCR_LATIN_ONLY;
        std::vector<quilocr::Word> read =
            RecognizerPool::instance().borrow()->words(*prepared.pix.get(), latinOnly);
        for (quilocr::Word& word : read) {
            const auto [left, top, right, bottom] =
                toFile(word.left, word.top, word.right, word.bottom);
            g_wordTexts.push_back(std::move(word.text));
            g_words.push_back(
                {nullptr, left, top, right - left, bottom - top, word.confidence, word.line});
        }
        // The texts are in place only now: the vector may have moved them while it grew.
        for (std::size_t i = 0; i < g_words.size(); ++i)
            g_words[i].text = g_wordTexts[i].c_str();
    });
    if (words)
        *words = g_words.empty() ? nullptr : g_words.data();
    return int(g_words.size());
}

} // extern "C"
