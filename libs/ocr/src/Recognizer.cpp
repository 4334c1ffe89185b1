#include "Recognizer.h"

#include <tesseract/resultiterator.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <vector>

#ifdef _OPENMP
#include <omp.h>
#endif

namespace quilocr {

namespace {

// One recognition thread: on these two shared cores Tesseract's OpenMP loops run a page several
// times slower on all cores than on one (11.2 s against 1.6 s for the first English page, with
// the engine's start). OMP_THREAD_LIMIT would have to be set before the OpenMP runtime starts,
// which is before the program's main. Tesseract asks for its thread counts in the loops
// themselves, so the number of threads alone does not hold them (that gave 11.2 s as well);
// allowing no active parallel level does. Both are settings of the calling thread, so they
// are made on each call, on whichever thread reads.
void useOneThread() {
#ifdef _OPENMP
    omp_set_num_threads(1);
    omp_set_max_active_levels(0);
#endif
}

// Below this Tesseract's orientation guess is no better than chance on a page of pictures or a
// few words; measured on the generated pages (tests/ocr), text pages score far above it.
constexpr float kMinOrientationConfidence = 2.0F;
// Below this a page taken for Latin is still read in every language. Tesseract's script
// confidence compares the two scripts seen most. Measured on the generated pages (tests/ocr, all
// 72 turned pages, and the pages of the book tests and bench): English pages scored 0.9 to 43,
// the two mixed pages taken for Latin 0.1 (Chinese nearly as often seen), Chinese pages were Han.
constexpr float kMinLatinConfidence = 0.5F;

// Tesseract keeps some settings in globals, which starting an engine writes (the debug file among
// them) and recognition reads: an engine starts while no other engine recognizes.
std::shared_mutex g_starting;

// Every recognizer made, for the exit handler; they are never destroyed.
std::mutex g_allLock;
std::vector<Recognizer*>& allRecognizers() {
    static auto* const all = new std::vector<Recognizer*>;
    return *all;
}

} // namespace

Recognizer::Recognizer() {
    const std::lock_guard lock(g_allLock);
    allRecognizers().push_back(this);
}

void Recognizer::setProgramDir(const std::string& programDir) {
    if (programDir == m_programDir || m_all.api || m_latin.api || m_orientation.api)
        return;
    m_programDir = programDir;
    m_data = findLanguageData(programDir);
    m_all.failed = m_latin.failed = m_orientation.failed = false;
}

// Tesseract keeps the models in a cache that is a static made during Init; the engines must end
// before that static goes, or the cache reports its entries as leaked. Exit handlers run in the
// reverse order of their registration, so one registered after each start runs first.
void Recognizer::endEngines() {
    const std::lock_guard lock(g_allLock);
    for (Recognizer* recognizer : allRecognizers()) {
        recognizer->m_all.api.reset();
        recognizer->m_latin.api.reset();
        recognizer->m_orientation.api.reset();
    }
}

tesseract::TessBaseAPI* Recognizer::start(Engine& engine, const std::string& languages,
                                          tesseract::OcrEngineMode mode,
                                          tesseract::PageSegMode layout) {
    if (engine.api || engine.failed)
        return engine.api.get();
    engine.failed = true;
    if (m_data.folder.empty())
        return nullptr;
    const std::unique_lock alone(g_starting);
    TesseractHandle owned(new tesseract::TessBaseAPI);
    tesseract::TessBaseAPI& api = *owned.get();
    // Tesseract's messages would land on the program's terminal; failures show as empty text.
    api.SetVariable("debug_file", "/dev/null");
    if (api.Init(m_data.folder.c_str(), languages.c_str(), mode) != 0)
        return nullptr;
    // Chinese is written without spaces; Tesseract would otherwise put one between them.
    api.SetVariable("preserve_interword_spaces", "1");
    api.SetPageSegMode(layout);
    engine.api = std::move(owned);
    engine.failed = false;
    std::atexit(endEngines);
    return engine.api.get();
}

tesseract::TessBaseAPI* Recognizer::reader(bool latinOnly) {
    return start(latinOnly ? m_latin : m_all, latinOnly ? "eng" : m_data.languages,
                 tesseract::OEM_LSTM_ONLY, tesseract::PSM_AUTO);
}

tesseract::TessBaseAPI* Recognizer::orientationEngine() {
    return start(m_orientation, "osd", tesseract::OEM_TESSERACT_ONLY, tesseract::PSM_OSD_ONLY);
}

PageLook Recognizer::look(Pix& picture) {
    tesseract::TessBaseAPI* api = orientationEngine();
    if (!api)
        return {};
    const std::shared_lock recognizing(g_starting);
    useOneThread();
    api->SetImage(&picture);
    api->SetSourceResolution(300);
    int degrees = 0;
    float confidence = 0, scriptConfidence = 0;
    const char* script = nullptr;
    const bool found =
        api->DetectOrientationScript(&degrees, &confidence, &script, &scriptConfidence);
    api->Clear();
    PageLook look;
    if (!found)
        return look;
    // Tesseract reports how far the text is turned counter-clockwise... as seen by the reader.
    if (confidence >= kMinOrientationConfidence)
        look.turn = ((360 - degrees) % 360 + 360) % 360;
    look.latin =
        script && std::strcmp(script, "Latin") == 0 && scriptConfidence >= kMinLatinConfidence;
    return look;
}

bool Recognizer::read(tesseract::TessBaseAPI& api, Pix& picture) {
    useOneThread();
    api.SetImage(&picture);
    // A photograph's file has no density worth reading; the prepared text is about the size of
    // print scanned at 300 dpi, and Tesseract's layout analysis sizes its searches by it.
    api.SetSourceResolution(300);
    return api.Recognize(nullptr) == 0;
}

std::string Recognizer::text(Pix& picture) {
    tesseract::TessBaseAPI* api = reader(false);
    if (!api)
        return {};
    const std::shared_lock recognizing(g_starting);
    if (!read(*api, picture))
        return {};
    const TextHandle text(api->GetUTF8Text());
    std::string result = text ? text.get() : "";
    api->Clear();
    return result;
}

std::vector<Word> Recognizer::words(Pix& picture, bool latinOnly) {
    tesseract::TessBaseAPI* api = reader(latinOnly);
    std::vector<Word> words;
    if (!api)
        return words;
    const std::shared_lock recognizing(g_starting);
    if (!read(*api, picture))
        return words;
    const std::unique_ptr<tesseract::ResultIterator> it(api->GetIterator());
    int line = -1;
    if (it && !it->Empty(tesseract::RIL_WORD)) {
        do {
            if (it->IsAtBeginningOf(tesseract::RIL_TEXTLINE))
                ++line;
            const TextHandle text(it->GetUTF8Text(tesseract::RIL_WORD));
            Word word;
            if (!text || !it->BoundingBox(tesseract::RIL_WORD, &word.left, &word.top, &word.right,
                                          &word.bottom))
                continue;
            word.text = text.get();
            word.confidence = it->Confidence(tesseract::RIL_WORD);
            word.line = std::max(line, 0);
            words.push_back(std::move(word));
        } while (it->Next(tesseract::RIL_WORD));
    }
    api->Clear();
    return words;
}

} // namespace quilocr
