// Cost of book mode per spread on one core: from a settled turn to both pages in the searchable
// PDF, through the engine's flat interface on a virtual camera showing an 8 MP open book (two
// pages of text bent into the spine as the flattening corpus bends them); and its parts, so the
// time can be placed: split + flattening + cleaning, orientation, the text layer's recognition.
// Beside them the peers that do the same jobs: `tesseract --psm 0` finding a page's orientation,
// and `unpaper` splitting and cleaning the spread.

#include "BenchMain.h"
#include "Curved.h"
#include "ZoApi.h"
#include "output/OutputImage.h"
#include "process/CaptureChain.h"
#include "process/MatImage.h"
#include "text/PageOrientation.h"
#include "text/PageWords.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <opencv2/imgproc.hpp>

#include <cstdlib>

using namespace camcore;

namespace {

constexpr int kPageWidth = 1632;
constexpr int kPageHeight = 2448;

QTemporaryDir& workDir() {
    static QTemporaryDir dir;
    return dir;
}

// Two pages of 12-point text curving into a shaded spine, 3264 x 2448, RGB.
const cv::Mat& spread() {
    static const cv::Mat picture = [] {
        std::vector<cv::Mat> pages;
        for (const bool spineRight : {true, false}) {
            const curved::TextPage page =
                curved::textPage({kPageWidth, kPageHeight}, 32, spineRight ? 1 : 2);
            curved::Bend bend;
            bend.depth = 0.08;
            bend.spineRight = spineRight;
            pages.push_back(curved::bent(page.page, curved::bendMaps(page.page.size(), bend),
                                         cv::Scalar(70, 60, 50)));
        }
        cv::Mat both;
        cv::hconcat(pages, both);
        for (int x = kPageWidth - 60; x < kPageWidth + 60; ++x)
            both.col(x) *= 0.55 + 0.45 * std::abs(x - kPageWidth + 0.5) / 60.0;
        return both;
    }();
    return picture;
}

QImage page(int which) {
    return imageOf(spread().colRange(which * kPageWidth, (which + 1) * kPageWidth).clone());
}

// The whole step: the capture a settled turn makes in book mode, appended to one PDF; /1 with the
// text layer, /0 without it, to show what the recognition costs (ZoCapture waits for its job).
// Book mode queues the spread and the camera's threads finish it behind the window (two spreads
// at once where there are two cores): /2 is what the window waits for, the queued call alone,
// with the spreads before finished outside the timing; /3 is the whole step that way.
void BM_BookSpread(benchmark::State& state) {
    const int cam = 0;
    if (ZoOpenCamera(cam, 0) != 1 || ZoSetResolution(cam, 0) != 1) {
        state.SkipWithError("no virtual camera");
        return;
    }
    ZoEnableSplitCap(cam, true);
    ZoEnableDewarp(cam, true);
    ZoDelBackColor(cam, true);
    ZoEnableAutoOrient(cam, true);
    ZoSetPDFMode(cam, 0);
    ZoSetPdfText(cam, state.range(0) >= 1);
    const bool queued = state.range(0) >= 2;
    const QByteArray path =
        QFile::encodeName(workDir().filePath(QStringLiteral("book%1.pdf").arg(state.range(0))));
    for (auto _ : state) {
        if (!queued && ZoCapture(cam, path.constData()) != 2)
            state.SkipWithError("the spread did not give two pages");
        if (queued && ZoCaptureQueued(cam, path.constData(), nullptr, nullptr) <= 0)
            state.SkipWithError("the spread was refused");
        if (state.range(0) == 2)
            state.PauseTiming();
        if (queued)
            ZoWaitPdfPages(cam);
        if (state.range(0) == 2)
            state.ResumeTiming();
    }
    ZoSetPDFMode(cam, 1);
    ZoCloseCamera(cam);
}
BENCHMARK(BM_BookSpread)
    ->Arg(1)
    ->Arg(0)
    ->Arg(2)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Split at the spine, each page flattened and cleaned.
void BM_SplitFlattenClean(benchmark::State& state) {
    ChainParams params;
    params.split = true;
    params.dewarp = true;
    params.clean = true;
    for (auto _ : state)
        benchmark::DoNotOptimize(ChainTask(params).run(spread()));
}
BENCHMARK(BM_SplitFlattenClean)->Unit(benchmark::kMillisecond);

void BM_Orientation(benchmark::State& state) {
    const QImage left = page(0);
    for (auto _ : state)
        benchmark::DoNotOptimize(lookAtPage(left));
}
BENCHMARK(BM_Orientation)->Unit(benchmark::kMillisecond);

// A page of ordinary English prose, 12-point at 300 dpi, 1632 x 2448: unlike the made-up words of
// the spread, its words are in the dictionary, which changes what the recogniser does.
QImage prosePage() {
    const QString sentences = QStringLiteral(
        "The committee met on Tuesday to review the figures for the year and to agree on a new "
        "budget. Most members felt that the library should stay open later in the evening, so "
        "that students who work during the day can still borrow books. The report also describes "
        "the repairs to the roof, which took longer than planned because of the heavy rain in "
        "March. ");
    QImage picture(kPageWidth, kPageHeight, QImage::Format_RGB888);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(40);
    painter.setFont(font);
    painter.drawText(QRect(120, 200, kPageWidth - 240, kPageHeight - 400),
                     Qt::TextWordWrap | Qt::AlignJustify, sentences.repeated(6));
    return picture;
}

// Reading one page's words for the text layer: /0 the spread's left page in every language,
// /1 in English alone, as a page found to be in Latin letters is read; /2 and /3 the same for
// the page of prose.
void BM_PageText(benchmark::State& state) {
    OutputImage output;
    output.picture = state.range(0) < 2 ? page(0) : prosePage();
    output.dpi = 300;
    for (auto _ : state)
        benchmark::DoNotOptimize(recognisePageWords(output, state.range(0) % 2 == 1));
}
BENCHMARK(BM_PageText)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

bool runPeer(benchmark::State& state, const QString& program, const QStringList& arguments) {
    QProcess peer;
    peer.start(program, arguments);
    if (!peer.waitForFinished(120000) || peer.exitStatus() != QProcess::NormalExit ||
        peer.exitCode() != 0) {
        state.SkipWithError(qPrintable(program + " failed or is missing"));
        return false;
    }
    return true;
}

// The peer of BM_Orientation: the command line's orientation and script detection on one page.
void BM_TesseractOsdPeer(benchmark::State& state) {
    const QString file = workDir().filePath("left.png");
    page(0).save(file);
    for (auto _ : state)
        if (!runPeer(state, "tesseract", {file, "-", "--psm", "0"}))
            break;
}
BENCHMARK(BM_TesseractOsdPeer)->Unit(benchmark::kMillisecond)->UseRealTime();

// The peer of BM_SplitFlattenClean (it does not flatten): the spread split into its two pages,
// each deskewed and cleaned.
void BM_UnpaperPeer(benchmark::State& state) {
    const QString in = workDir().filePath("spread.ppm");
    imageOf(spread()).save(in, "PPM");
    const QString out = workDir().filePath("page%d.ppm");
    for (auto _ : state)
        if (!runPeer(state, "unpaper",
                     {"--overwrite", "--layout", "double", "--output-pages", "2", in, out}))
            break;
}
BENCHMARK(BM_UnpaperPeer)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    bench::preferOffscreen();
    cv::setNumThreads(1); // one core; run with OMP_THREAD_LIMIT=1 for the recognition's

    QApplication application(argc, argv);
    // The virtual camera shows the spread; both variables are read when the engine starts.
    const QString folder = workDir().filePath("camera");
    QDir().mkpath(folder);
    imageOf(spread()).save(folder + "/spread.png");
    setenv("CAMCORE_VIRTUAL_CAMERAS", "1", 1);
    setenv("CAMCORE_VIRTUAL_SOURCE", QFile::encodeName(folder).constData(), 1);
    ZoInit();
    ZoGetCameraCount();
    return bench::runBenchmarks(argc, argv);
}
