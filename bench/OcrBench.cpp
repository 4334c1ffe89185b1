// Reading the generated pages (tests/ocr/PageCorpus: English, Chinese and mixed pages as the
// program hands them over, 1200 pixels wide) through libQuilOCR.so and through the `tesseract`
// command, with the time per page and the character accuracy of each language; and what
// starting the engine costs, which the library puts off until the first recognition.

#include "BenchMain.h"
#include "PageCorpus.h"
#include "QuilOcr.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <tesseract/baseapi.h>

#include <map>

namespace {

const std::vector<ocrcorpus::Page>& pages() {
    static QTemporaryDir dir(QDir::tempPath() + "/ocr-bench-XXXXXX");
    static const std::vector<ocrcorpus::Page> corpus =
        ocrcorpus::writePages(dir.path(), ocrcorpus::fullCorpusWanted());
    return corpus;
}

// Each iteration reads the next page, so the reported time is the mean time per page; the
// counters are the mean accuracy per language.
template <typename Read> void readCorpus(benchmark::State& state, Read&& read) {
    std::map<ocrcorpus::Language, std::pair<double, int>> sums;
    std::size_t next = 0;
    for (auto _ : state) {
        const ocrcorpus::Page& page = pages()[next++ % pages().size()];
        QString text;
        if (!read(page.file, text)) {
            state.SkipWithError("the reader failed");
            return;
        }
        state.PauseTiming();
        sums[page.language].first += ocrcorpus::accuracy(text, page.truth);
        ++sums[page.language].second;
        state.ResumeTiming();
    }
    for (const auto& [language, sum] : sums)
        state.counters[ocrcorpus::languageName(language)] = sum.first / sum.second;
}

void BM_Library(benchmark::State& state) {
    // The engine starts on the first page (BM_EngineStart); start it before anything is timed.
    fnQuilOCREx(QFile::encodeName(pages().front().file).constData(), 50, 0, 0.6f, 0.3f, 3.0f, 2.0f,
                false, false);
    readCorpus(state, [](const QString& file, QString& text) {
        text = QString::fromUtf8(fnQuilOCREx(QFile::encodeName(file).constData(), 50, 0, 0.6f, 0.3f,
                                             3.0f, 2.0f, false, false));
        return true;
    });
}

// The peer, as a user runs it: `tesseract page.jpg - -l chi_sim+eng`. Argument 0 leaves its
// OpenMP threads at their default (one per core), 1 sets OMP_THREAD_LIMIT=1 for it.
void BM_Peer_TesseractCommand(benchmark::State& state) {
    if (QStandardPaths::findExecutable("tesseract").isEmpty()) {
        state.SkipWithError("tesseract is not on PATH (Debian package tesseract-ocr)");
        return;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (state.range(0) == 1)
        environment.insert("OMP_THREAD_LIMIT", "1");
    else
        environment.remove("OMP_THREAD_LIMIT");
    readCorpus(state, [&](const QString& file, QString& text) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start("tesseract", {file, "-", "-l", "chi_sim+eng"});
        if (!process.waitForFinished(300000) || process.exitCode() != 0)
            return false;
        text = QString::fromUtf8(process.readAllStandardOutput());
        return true;
    });
}

// What fnInit costs the program's start-up: finding the language data (it runs before the
// engine has started, so each call searches again).
void BM_FnInit(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(fnInit(4, nullptr));
}

// What the library's first recognition adds: loading both language models into an engine.
void BM_EngineStart(benchmark::State& state) {
    for (auto _ : state) {
        tesseract::TessBaseAPI api;
        api.SetVariable("debug_file", "/dev/null");
        if (api.Init(nullptr, "chi_sim+eng", tesseract::OEM_LSTM_ONLY) != 0) {
            state.SkipWithError("no chi_sim+eng language data");
            return;
        }
        api.End();
    }
}

} // namespace

int main(int argc, char** argv) {
    bench::preferOffscreen();
    QGuiApplication application(argc, argv); // fonts for the generated pages
    return bench::runBenchmarks(argc, argv, [] {
        // Registered here: the corpus needs the application's fonts, so its size is known only now.
        const int pageCount = int(pages().size());
        benchmark::RegisterBenchmark("BM_FnInit", BM_FnInit)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("BM_EngineStart", BM_EngineStart)
            ->Iterations(5)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_Library", BM_Library)
            ->Iterations(pageCount)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_Peer_TesseractCommand", BM_Peer_TesseractCommand)
            ->Arg(0)
            ->Arg(1)
            ->Iterations(pageCount)
            ->Unit(benchmark::kMillisecond);
    });
}
