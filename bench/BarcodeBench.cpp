// Reading the codes of a 3264 x 2448 page: the engine's reader beside the zbarimg command, on the
// pages of the barcode quality corpus (tests/camcore/barcode/quality). Codes are counted on the
// formats both read; zbar reads neither Data Matrix nor Aztec, and its PDF417 decoder is off.

#include "BenchMain.h"
#include "CodePages.h"
#include "CodeScore.h"
#include "barcode/BarcodeReader.h"

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <sys/resource.h>

#include <chrono>
#include <map>
#include <set>

using namespace barcode_corpus;

namespace {

const std::set<std::string> kShared = {"QRCode", "Code128", "Code39", "Code93", "EAN-13",
                                       "EAN-8",  "UPC-A",   "UPC-E",  "ITF",    "Codabar"};

struct Corpus {
    std::vector<Page> pages;
    QTemporaryDir dir;
    QStringList files; // the pages as PGM, which zbarimg reads without decompressing
};

const Corpus& corpus() {
    static Corpus* const all = [] {
        auto* made = new Corpus;
        for (Condition condition : kConditions)
            for (int index = 0; index < pagesPerCondition(); ++index) {
                made->pages.push_back(renderPage(condition, index));
                made->files.append(
                    made->dir.filePath(QString("page%1.pgm").arg(made->files.size())));
                made->pages.back().picture.save(made->files.back(), "PGM");
            }
        return made;
    }();
    return *all;
}

std::vector<PlacedCode> shared(const std::vector<PlacedCode>& codes) {
    std::vector<PlacedCode> kept;
    for (const PlacedCode& code : codes)
        if (kShared.count(code.format) != 0)
            kept.push_back(code);
    return kept;
}

// Seconds of CPU the process (`who` = RUSAGE_SELF) or its finished children have used.
double cpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Codes found and misread over the corpus, given each page's reports, and the wall and CPU
// time per frame (milliseconds) over all iterations.
void count(benchmark::State& state, const std::vector<std::vector<PlacedCode>>& reports,
           double wall, double cpu) {
    int placed = 0, found = 0, misread = 0;
    for (std::size_t i = 0; i < corpus().pages.size(); ++i) {
        const std::vector<PlacedCode> onPage = shared(corpus().pages[i].codes);
        const Score result = score(onPage, shared(reports[i]));
        placed += static_cast<int>(onPage.size());
        found += static_cast<int>(result.found.size());
        misread += static_cast<int>(result.misread.size());
    }
    const double frames = static_cast<double>(reports.size() * state.iterations());
    state.counters["frames"] = static_cast<double>(reports.size());
    state.counters["placed"] = placed;
    state.counters["found"] = found;
    state.counters["misread"] = misread;
    state.counters["wall_ms"] = 1000 * wall / frames;
    state.counters["cpu_ms"] = 1000 * cpu / frames;
}

void BM_Engine(benchmark::State& state) {
    std::vector<std::vector<PlacedCode>> reports;
    const auto start = std::chrono::steady_clock::now();
    // The reader's search runs in a child process, whose time counts too.
    const double cpuStart = cpuSeconds(RUSAGE_SELF) + cpuSeconds(RUSAGE_CHILDREN);
    for (auto _ : state) {
        reports.clear();
        for (const Page& page : corpus().pages) {
            reports.emplace_back();
            for (const camcore::FoundCode& code : camcore::readCodes(page.picture))
                reports.back().push_back({code.format, code.text});
        }
    }
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    count(state, reports, wall.count(),
          cpuSeconds(RUSAGE_SELF) + cpuSeconds(RUSAGE_CHILDREN) - cpuStart);
}
BENCHMARK(BM_Engine)->Iterations(3)->Unit(benchmark::kMillisecond);

// zbar's names for the shared formats; it reports UPC-A as EAN-13 unless told to keep it apart.
const std::map<QString, std::string> kZbarNames = {
    {"QR-Code", "QRCode"}, {"CODE-128", "Code128"}, {"CODE-39", "Code39"}, {"CODE-93", "Code93"},
    {"EAN-13", "EAN-13"},  {"EAN-8", "EAN-8"},      {"UPC-A", "UPC-A"},    {"UPC-E", "UPC-E"},
    {"I2/5", "ITF"},       {"CODABAR", "Codabar"},
};

// zbarimg's XML: one <source> per file in the order given, its <symbol>s with their <data>.
std::vector<std::vector<PlacedCode>> parseZbar(const QByteArray& xml) {
    std::vector<std::vector<PlacedCode>> reports;
    QXmlStreamReader reader(xml);
    std::string format;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (reader.name() == u"source") {
            reports.emplace_back();
        } else if (reader.name() == u"symbol") {
            const auto name = kZbarNames.find(reader.attributes().value("type").toString());
            format = name == kZbarNames.end() ? "other" : name->second;
        } else if (reader.name() == u"data" && !reports.empty()) {
            std::string value = reader.readElementText().toStdString();
            // zbar keeps Codabar's start and stop characters, which are not part of the value.
            if (format == "Codabar" && value.size() >= 2)
                value = value.substr(1, value.size() - 2);
            reports.back().push_back({format, value});
        }
    }
    return reports;
}

void BM_Peer_Zbarimg(benchmark::State& state) {
    QStringList arguments = {"--xml", "--nodbus", "-Supca.enable"};
    arguments += corpus().files;
    std::vector<std::vector<PlacedCode>> reports;
    double wall = 0;
    const double cpuStart = cpuSeconds(RUSAGE_CHILDREN);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QProcess zbar;
        zbar.start("zbarimg", arguments);
        if (!zbar.waitForFinished(-1) || zbar.exitStatus() != QProcess::NormalExit) {
            state.SkipWithError("zbarimg did not run (Debian package zbar-tools)");
            return;
        }
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
        wall += elapsed.count();
        reports = parseZbar(zbar.readAllStandardOutput());
    }
    if (reports.size() != corpus().pages.size()) {
        state.SkipWithError("zbarimg did not report on every page");
        return;
    }
    count(state, reports, wall, cpuSeconds(RUSAGE_CHILDREN) - cpuStart);
}
BENCHMARK(BM_Peer_Zbarimg)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // One core each: zbarimg runs on one, and OpenCV would spread the symbol search over both.
    cv::setNumThreads(1);
    return bench::runBenchmarks(argc, argv, [] {
        corpus(); // draw and write the pages before anything is timed
    });
}
