// Cost of the capture processing on one 3264 x 2448 frame, stage by stage and as a whole, on
// one core: finding the page and cutting it out straight, cleaning, black and white, splitting
// a book; the outline on a preview frame; and unpaper cleaning and straightening the same page.

#include "BenchMain.h"
#include "device/virtual/DocumentScene.h"
#include "pipeline/ColorMode.h"
#include "process/CaptureChain.h"
#include "process/MatImage.h"
#include "process/clean/BackgroundClean.h"
#include "process/crop/PerspectiveCrop.h"
#include "process/deskew/Deskew.h"
#include "process/detect/DocumentDetect.h"

#include <QDir>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <opencv2/imgproc.hpp>

#include <chrono>
#include <cstdlib>

using namespace camcore;

namespace {

constexpr int kWidth = 3264, kHeight = 2448;

// The virtual camera's document scene: a landscape A4 page with text and codes lying 4.5
// degrees askew on a wooden desk under a lamp, as the capture decodes it.
const cv::Mat& pageScene() {
    static const QImage scene =
        renderDocumentScene(QSize(kWidth, kHeight), 1).convertToFormat(QImage::Format_RGB888);
    static const cv::Mat pixels = matView(scene);
    return pixels;
}

// An open book: two pages of text darkening into the spine, 2600 pixels across, lying 3
// degrees askew and 200 pixels right of centre on a dark desk.
const cv::Mat& spreadScene() {
    static const cv::Mat pixels = [] {
        QImage image(kWidth, kHeight, QImage::Format_RGB888);
        image.fill(QColor(60, 48, 40));
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(kWidth / 2 + 200, kHeight / 2);
        painter.rotate(3);
        const QRectF spread(-1300, -900, 2600, 1800);
        QLinearGradient shade(spread.left(), 0, spread.right(), 0);
        shade.setColorAt(0, QColor(240, 238, 230));
        shade.setColorAt(0.44, QColor(235, 233, 225));
        shade.setColorAt(0.5, QColor(120, 118, 112));
        shade.setColorAt(0.56, QColor(235, 233, 225));
        shade.setColorAt(1, QColor(240, 238, 230));
        painter.fillRect(spread, shade);
        QFont font("DejaVu Serif");
        font.setPixelSize(34);
        painter.setFont(font);
        painter.setPen(QColor(30, 30, 35));
        for (const double left : {spread.left() + 120, 120.0})
            for (double y = spread.top() + 150; y < spread.bottom() - 100; y += 52)
                painter.drawText(QPointF(left, y), "The committee reviewed the figures and agreed");
        painter.end();
        return matView(image).clone();
    }();
    return pixels;
}

// The page cut out and straightened, as cleaning and black and white get it.
const cv::Mat& cutPage() {
    static const cv::Mat page = [] {
        ChainParams params;
        params.autoCrop = true;
        return ChainTask(params).run(pageScene()).pages.front().picture;
    }();
    return page;
}

const QImage& cleanedPage() {
    static const QImage page = imageOf(CleanTask().run(cutPage()).page);
    return page;
}

void BM_Detect(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(DetectTask().run(pageScene()));
}
BENCHMARK(BM_Detect)->Unit(benchmark::kMillisecond);

// Finding the page, measuring its text lines and resampling it out of the frame, straight.
void BM_DetectAndCut(benchmark::State& state) {
    ChainParams params;
    params.autoCrop = true;
    cv::Size size;
    for (auto _ : state)
        size = ChainTask(params).run(pageScene()).pages.front().picture.size();
    state.counters["page_width"] = size.width;
    state.counters["page_height"] = size.height;
}
BENCHMARK(BM_DetectAndCut)->Unit(benchmark::kMillisecond);

// Measuring the text lines of the cut page, on its 1000-pixel look as the chain does.
void BM_Deskew(benchmark::State& state) {
    cv::Mat look;
    cv::resize(cutPage(), look, {1000, cutPage().rows * 1000 / cutPage().cols}, 0, 0,
               cv::INTER_AREA);
    for (auto _ : state)
        benchmark::DoNotOptimize(DeskewTask().run(look));
}
BENCHMARK(BM_Deskew)->Unit(benchmark::kMillisecond);

void BM_Clean(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(CleanTask().run(cutPage()));
}
BENCHMARK(BM_Clean)->Unit(benchmark::kMillisecond);

void BM_BlackWhite(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(applyColorMode(cleanedPage(), ColorMode::BlackWhite));
}
BENCHMARK(BM_BlackWhite)->Unit(benchmark::kMillisecond);

void BM_Split(benchmark::State& state) {
    ChainParams params;
    params.split = true;
    params.autoCrop = state.range(0) != 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(ChainTask(params).run(spreadScene()));
}
// 0: cut straight down at the spine; 1: each page also cut out and straightened.
BENCHMARK(BM_Split)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One page as a capture with automatic crop and cleaning makes it: 0 in colour, 1 then in
// black and white.
void BM_WholeChain(benchmark::State& state) {
    ChainParams params;
    params.autoCrop = true;
    params.clean = true;
    for (auto _ : state) {
        const QImage page = imageOf(ChainTask(params).run(pageScene()).pages.front().picture);
        if (state.range(0) != 0)
            benchmark::DoNotOptimize(applyColorMode(page, ColorMode::BlackWhite));
    }
}
BENCHMARK(BM_WholeChain)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The outline on a preview frame. The arguments are the preview picture's width (1632 for a
// 1280-pixel view, 816 for a 640-pixel one) and the width the outline is found at (the camera
// uses 256).
void BM_PreviewOutline(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    cv::Mat preview;
    cv::resize(pageScene(), preview, {width, width * kHeight / kWidth}, 0, 0, cv::INTER_AREA);
    for (auto _ : state)
        benchmark::DoNotOptimize(DetectTask({1, static_cast<int>(state.range(1))}).run(preview));
}
BENCHMARK(BM_PreviewOutline)
    ->Args({1632, 256})
    ->Args({816, 256})
    ->Args({1632, 320})
    ->Unit(benchmark::kMillisecond);

// What unpaper does to the cut page, done by the engine: straighten by the text, then clean.
void BM_DeskewAndClean(benchmark::State& state) {
    for (auto _ : state) {
        const DeskewResult skew = DeskewTask().run(cutPage());
        const PageGeometry turned = wholePicture(cutPage().size()).rotated(-skew.angle);
        benchmark::DoNotOptimize(CleanTask().run(CropTask({turned}).run(cutPage()).page));
    }
}
BENCHMARK(BM_DeskewAndClean)->Unit(benchmark::kMillisecond);

// The peer: `unpaper --overwrite -q page.ppm out.ppm` on the same cut page, with its default
// filters (black, noise, blur and grey filters, masks, deskew). The time includes starting the
// process and reading and writing the files.
void BM_Peer_Unpaper(benchmark::State& state) {
    if (std::system("command -v unpaper >/dev/null 2>&1") != 0) {
        state.SkipWithError("unpaper is not on PATH (Debian package unpaper); peer not measured");
        return;
    }
    QTemporaryDir dir;
    const QString in = dir.filePath("page.ppm");
    if (!imageOf(cutPage()).save(in)) {
        state.SkipWithError("cannot write page.ppm");
        return;
    }
    const std::string command = "unpaper --overwrite -q '" + in.toStdString() + "' '" +
                                dir.filePath("out.ppm").toStdString() + "'";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int status = std::system(command.c_str());
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        if (status != 0) {
            state.SkipWithError("unpaper failed");
            break;
        }
        state.SetIterationTime(elapsed.count());
    }
}
BENCHMARK(BM_Peer_Unpaper)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    bench::preferOffscreen();
    QGuiApplication application(argc, argv); // fonts for the generated pages
    // One core: OpenCV would otherwise spread resizing and warping over both.
    cv::setNumThreads(1);
    return bench::runBenchmarks(argc, argv, [] {
        cleanedPage(); // render the scenes and cut the page before anything is timed
        spreadScene();
    });
}
