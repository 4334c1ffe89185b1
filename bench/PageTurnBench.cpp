// Cost of watching for page turns, per preview frame, on one core: the detector alone on its
// 160-pixel grey copy; the whole watch of a camera frame (scaled decode of the MJPEG frame, grey
// copy, detector) at 1280 x 960 and at 3264 x 2448; and the watch fed with the preview's picture,
// as it is while a window shows the camera; and a settling, whose last frame compares the page's
// print with every page taken so far. The aim is under 2 ms a frame.

#include "BenchMain.h"
#include "device/virtual/DocumentScene.h"
#include "device/virtual/JpegEncoder.h"
#include "pipeline/FrameDecoder.h"
#include "process/pageturn/PageTurnDetector.h"
#include "process/pageturn/PageWatch.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>
#include <opencv2/imgproc.hpp>

#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace camcore;

namespace {

// The virtual camera's page as MJPEG frames, with two pages so that frames differ.
std::vector<Frame> sceneFrames(QSize size) {
    JpegEncoder encoder;
    std::vector<Frame> frames;
    for (int page = 1; page <= 2; ++page) {
        Frame frame;
        frame.bytes = std::make_shared<const std::vector<std::uint8_t>>(
            encoder.encode(renderDocumentScene(size, page)));
        frame.width = size.width();
        frame.height = size.height();
        frames.push_back(frame);
    }
    return frames;
}

// The detector on the copy it is given: a page, then the next page, alternating every frame
// (the dearest case, as every frame is motion).
void BM_PageTurnDetector(benchmark::State& state) {
    std::vector<cv::Mat> copies;
    for (int page = 1; page <= 2; ++page) {
        const QImage picture = renderDocumentScene(QSize(PageWatch::kWidth, 120), page)
                                   .convertToFormat(QImage::Format_Grayscale8);
        copies.emplace_back(picture.height(), picture.width(), CV_8UC1,
                            const_cast<uchar*>(picture.constBits()), picture.bytesPerLine());
        copies.back() = copies.back().clone();
    }
    PageTurnDetector detector;
    std::size_t n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(detector.feed(copies[n++ % copies.size()]));
}
BENCHMARK(BM_PageTurnDetector)->Unit(benchmark::kMillisecond);

// A page of prose at the 160-pixel copy's scale: a line every 3 pixels, paragraphs ending where
// page `page`'s do.
cv::Mat prosePage(int page) {
    cv::Mat copy(120, PageWatch::kWidth, CV_8UC1, cv::Scalar(70));
    cv::rectangle(copy, cv::Rect(14, 12, 132, 96), cv::Scalar(225), cv::FILLED);
    std::mt19937 layout(static_cast<unsigned>(page));
    std::uniform_int_distribution<int> ends(0, 2);
    for (int y = 18; y < 102; y += 3) {
        const int length = ends(layout) == 0 ? 10 + static_cast<int>(layout() % 100) : 116;
        cv::line(copy, {22, y}, {22 + length, y}, cv::Scalar(150), 1);
    }
    return copy;
}

// A page that settles again after motion, with `range(0)` pages taken: a frame of the empty desk,
// then the page for as many frames as it takes to settle; the last compares its print with every
// page taken and finds it is the last of them (the dearest case of a page seen again).
void BM_PageTurnSettling(benchmark::State& state) {
    const int taken = static_cast<int>(state.range(0));
    std::vector<cv::Mat> copies;
    for (int page = 1; page <= taken; ++page)
        copies.push_back(prosePage(page));
    const PageTurnSettings settings;
    PageTurnDetector detector(settings);
    const cv::Mat desk(copies.front().size(), CV_8UC1, cv::Scalar(70));
    for (const cv::Mat& copy : copies) {
        detector.feed(desk); // the motion of a turn
        for (int i = 0; i <= settings.settleFrames; ++i)
            detector.feed(copy);
    }
    if (detector.pages() != taken)
        state.SkipWithError(("took " + std::to_string(detector.pages()) + " pages").c_str());
    const cv::Mat& last = copies.back();
    for (auto _ : state) {
        detector.feed(desk);
        for (int i = 0; i <= settings.settleFrames; ++i)
            benchmark::DoNotOptimize(detector.feed(last));
    }
    state.SetLabel(std::to_string(settings.settleFrames + 2) + " frames");
}
BENCHMARK(BM_PageTurnSettling)->Arg(30)->Arg(300)->Unit(benchmark::kMillisecond);

// What the capture thread adds per frame while automatic capture is on.
void BM_PageWatchFrame(benchmark::State& state) {
    const std::vector<Frame> frames =
        sceneFrames(QSize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
    FrameDecoder decoder;
    PageWatch watch;
    std::size_t n = 0;
    for (auto _ : state) {
        const QImage picture = decoder.decode(frames[n++ % frames.size()], PageWatch::kWidth);
        benchmark::DoNotOptimize(watch.feed(picture, 1));
    }
}
BENCHMARK(BM_PageWatchFrame)->Args({1280, 960})->Args({3264, 2448})->Unit(benchmark::kMillisecond);

// The same when the preview has decoded the frame already: grey copy and detector only. 1/4 of an
// 8-megapixel frame (816 x 612) is what a 640-pixel view decodes.
void BM_PageWatchFromPreview(benchmark::State& state) {
    const std::vector<Frame> frames = sceneFrames(QSize(3264, 2448));
    FrameDecoder decoder;
    std::vector<QImage> previews;
    for (const Frame& frame : frames)
        previews.push_back(decoder.decode(frame, 640));
    PageWatch watch;
    std::size_t n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(watch.feed(previews[n++ % previews.size()], 1));
}
BENCHMARK(BM_PageWatchFromPreview)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    bench::preferOffscreen();
    QGuiApplication application(argc, argv); // fonts for the page's text
    cv::setNumThreads(1);
    return bench::runBenchmarks(argc, argv);
}
