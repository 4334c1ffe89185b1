#include "Recognizer.h"

#include <tesseract/resultiterator.h>

#include <cstdlib>

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

} // namespace

Recognizer& Recognizer::instance() {
    // Never destroyed as a static: the engine is ended by the exit handler below instead.
    static Recognizer* const recognizer = new Recognizer;
    return *recognizer;
}

bool Recognizer::setProgramDir(const std::string& programDir) {
    if (!m_api) {
        m_data = findLanguageData(programDir);
        m_failed = false;
    }
    return !m_data.folder.empty();
}

tesseract::TessBaseAPI* Recognizer::engine() {
    if (m_api || m_failed)
        return m_api.get();
    m_failed = true;
    if (m_data.folder.empty())
        return nullptr;
    TesseractHandle api(new tesseract::TessBaseAPI);
    // Tesseract's messages would land on the program's terminal; failures show as empty text.
    api->SetVariable("debug_file", "/dev/null");
    if (api->Init(m_data.folder.c_str(), m_data.languages.c_str(), tesseract::OEM_LSTM_ONLY) != 0)
        return nullptr;
    // Chinese is written without spaces; Tesseract would otherwise put one between characters.
    api->SetVariable("preserve_interword_spaces", "1");
    api->SetPageSegMode(tesseract::PSM_AUTO);
    m_api = std::move(api);
    m_failed = false;
    // Tesseract keeps the models in a cache that is a static made during Init; the engine must
    // end before that static goes, or the cache reports its entries as leaked. Exit handlers
    // run in the reverse order of their registration, so one registered now runs first.
    std::atexit([] { instance().m_api.reset(); });
    return m_api.get();
}

tesseract::TessBaseAPI* Recognizer::orientationEngine() {
    if (m_orientation || m_orientationFailed)
        return m_orientation.get();
    m_orientationFailed = true;
    if (m_data.folder.empty())
        return nullptr;
    TesseractHandle api(new tesseract::TessBaseAPI);
    api->SetVariable("debug_file", "/dev/null");
    if (api->Init(m_data.folder.c_str(), "osd", tesseract::OEM_TESSERACT_ONLY) != 0)
        return nullptr;
    api->SetPageSegMode(tesseract::PSM_OSD_ONLY);
    m_orientation = std::move(api);
    m_orientationFailed = false;
    std::atexit([] { instance().m_orientation.reset(); }); // as for the main engine
    return m_orientation.get();
}

int Recognizer::uprightTurn(Pix& picture) {
    tesseract::TessBaseAPI* api = orientationEngine();
    if (!api)
        return -1;
    useOneThread();
    api->SetImage(&picture);
    api->SetSourceResolution(300);
    int degrees = 0;
    float confidence = 0, scriptConfidence = 0;
    const char* script = nullptr;
    const bool found =
        api->DetectOrientationScript(&degrees, &confidence, &script, &scriptConfidence);
    api->Clear();
    if (!found || confidence < kMinOrientationConfidence)
        return -1;
    // Tesseract reports how far the text is turned counter-clockwise... as seen by the reader.
    return ((360 - degrees) % 360 + 360) % 360;
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
    tesseract::TessBaseAPI* api = engine();
    if (!api || !read(*api, picture))
        return {};
    const TextHandle text(api->GetUTF8Text());
    std::string result = text ? text.get() : "";
    api->Clear();
    return result;
}

std::vector<Word> Recognizer::words(Pix& picture) {
    tesseract::TessBaseAPI* api = engine();
    std::vector<Word> words;
    if (!api || !read(*api, picture))
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
