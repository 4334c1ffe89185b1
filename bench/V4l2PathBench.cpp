// A V4L2 camera's frames through the engine's path, from the driver's buffer: what the capture
// thread spends on one frame (copy out of the buffer, find the JPEG's end, decode for the view
// or in full, colour mode), and how long after its dequeue a frame is painted in a window. The
// frames are recorded ones (the virtual camera's document scene), placed in buffers the way a
// UVC driver fills them; the V4L2 test machine runs under software emulation, where times are
// 10 to 20 times longer and say nothing about a real machine.

#include "BenchMain.h"
#include "device/v4l2/Capture.h"
#include "device/virtual/SceneEncoder.h"
#include "pipeline/ColorMode.h"
#include "pipeline/FrameDecoder.h"
#include "pipeline/ViewTransform.h"
#include "render/VideoSurface.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>

using namespace camcore;
using namespace camcore::v4l2;

namespace {

// The window the preview draws into, and the width the engine decodes for it.
constexpr QSize kWindow(1280, 720);

// A frame as it sits in the driver's buffer after a dequeue.
struct Recorded {
    std::vector<std::uint8_t> buffer; // the whole mapped buffer
    StreamFormat format;
};

// UVC drivers size each buffer for the largest frame of the format: two bytes a pixel. Many
// report the whole buffer as used for MJPEG, the worst case for finding the JPEG's end.
const Recorded& recorded(PixelFormat format, QSize size) {
    static std::map<std::tuple<int, int, int>, Recorded> cache;
    Recorded& r = cache[{static_cast<int>(format), size.width(), size.height()}];
    if (!r.buffer.empty())
        return r;
    SceneEncoder scene(size, std::nullopt);
    const auto jpeg = scene.frame(1, Tone{}, std::chrono::microseconds(0));
    r.buffer.assign(static_cast<std::size_t>(size.width()) * size.height() * 2, 0);
    r.format = {format, size.width(), size.height(),
                format == PixelFormat::Yuyv ? size.width() * 2 : 0};
    if (format == PixelFormat::Mjpeg) {
        std::copy(jpeg->begin(), jpeg->end(), r.buffer.begin());
        return r;
    }
    // The same scene as YUYV, BT.601 limited range.
    const QImage rgb = FrameDecoder().decodeJpeg(*jpeg).convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < size.height(); ++y) {
        const std::uint8_t* in = rgb.constScanLine(y);
        std::uint8_t* out = r.buffer.data() + static_cast<std::size_t>(y) * size.width() * 2;
        for (int x = 0; x < size.width(); ++x, in += 3) {
            const int luma = (66 * in[0] + 129 * in[1] + 25 * in[2] + 128) / 256 + 16;
            const int u = (-38 * in[0] - 74 * in[1] + 112 * in[2] + 128) / 256 + 128;
            const int v = (112 * in[0] - 94 * in[1] - 18 * in[2] + 128) / 256 + 128;
            out[x * 2] = static_cast<std::uint8_t>(luma);
            out[x * 2 + 1] = static_cast<std::uint8_t>(x % 2 == 0 ? u : v);
        }
    }
    return r;
}

QSize sizeOf(const benchmark::State& state) {
    return {static_cast<int>(state.range(1)), static_cast<int>(state.range(2))};
}

PixelFormat formatOf(const benchmark::State& state) {
    return state.range(0) == 0 ? PixelFormat::Mjpeg : PixelFormat::Yuyv;
}

// The decode width the engine asks for in kWindow: the width of the video rectangle.
int viewWidth(QSize source) {
    ViewTransform view;
    view.setSourceSize(source);
    return view.videoRect(kWindow).width();
}

// The capture thread's work on one frame. Arguments: format (0 MJPEG, 1 YUYV), width, height,
// decode width (0 full, as a capture; 1 the view's, as the preview).
void BM_FramePath(benchmark::State& state) {
    const QSize size = sizeOf(state);
    const Recorded& frame = recorded(formatOf(state), size);
    const int width = state.range(3) == 0 ? 0 : viewWidth(size);
    FrameDecoder decoder;
    std::uint64_t sequence = 0;
    for (auto _ : state) {
        const std::optional<Frame> copied = frameFromBuffer(frame.buffer, frame.format, ++sequence);
        QImage picture = decoder.decode(*copied, width);
        benchmark::DoNotOptimize(applyColorMode(picture, ColorMode::Color));
    }
}
BENCHMARK(BM_FramePath)
    ->ArgNames({"mjpeg0_yuyv1", "w", "h", "view"})
    ->ArgsProduct({{0, 1}, {1920}, {1080}, {1, 0}})
    ->ArgsProduct({{0, 1}, {3264}, {2448}, {1, 0}})
    ->Unit(benchmark::kMillisecond);

// Only the copy out of the driver's buffer (with the search for the JPEG's end), which lets the
// buffer go back to the driver before the decode. Arguments: format, width, height.
void BM_CopyOut(benchmark::State& state) {
    const Recorded& frame = recorded(formatOf(state), sizeOf(state));
    std::uint64_t sequence = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(frameFromBuffer(frame.buffer, frame.format, ++sequence));
    state.counters["frame_KB"] =
        static_cast<double>(frameFromBuffer(frame.buffer, frame.format, 0)->bytes->size() / 1024);
}
BENCHMARK(BM_CopyOut)
    ->ArgNames({"mjpeg0_yuyv1", "w", "h"})
    ->ArgsProduct({{0, 1}, {1920}, {1080}})
    ->ArgsProduct({{0, 1}, {3264}, {2448}})
    ->Unit(benchmark::kMillisecond);

// Counts the paints of a widget.
class PaintCounter final : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// From a frame's dequeue to the end of its paint: the capture thread copies and decodes it for
// the view, the picture crosses to the GUI thread by queued call, the surface schedules an update
// and paints. Arguments: format (0 MJPEG, 1 YUYV), width, height.
void BM_DequeueToPaint(benchmark::State& state) {
    const QSize size = sizeOf(state);
    const Recorded& frame = recorded(formatOf(state), size);
    QWidget window;
    window.resize(kWindow);
    VideoSurface surface(&window);
    ViewTransform view;
    view.setSourceSize(size);
    surface.setView(view);
    window.show();
    PaintCounter counter;
    surface.installEventFilter(&counter);
    QApplication::processEvents();
    const int width = viewWidth(size);

    std::mutex mutex;
    std::condition_variable wake;
    bool go = false;
    bool quit = false;
    std::thread capture([&] {
        FrameDecoder decoder;
        std::uint64_t sequence = 0;
        for (;;) {
            {
                std::unique_lock lock(mutex);
                wake.wait(lock, [&] { return go || quit; });
                if (quit)
                    return;
                go = false;
            }
            const std::optional<Frame> copied =
                frameFromBuffer(frame.buffer, frame.format, ++sequence);
            const QImage picture = applyColorMode(decoder.decode(*copied, width), ColorMode::Color);
            QMetaObject::invokeMethod(
                &surface, [&surface, picture, size] { surface.setPicture(picture, size); },
                Qt::QueuedConnection);
        }
    });
    for (auto _ : state) {
        const int before = counter.paints;
        const auto start = std::chrono::steady_clock::now();
        {
            std::lock_guard lock(mutex);
            go = true;
        }
        wake.notify_one();
        while (counter.paints == before)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    {
        std::lock_guard lock(mutex);
        quit = true;
    }
    wake.notify_one();
    capture.join();
}
BENCHMARK(BM_DequeueToPaint)
    ->ArgNames({"mjpeg0_yuyv1", "w", "h"})
    ->ArgsProduct({{0, 1}, {1920}, {1080}})
    ->ArgsProduct({{0, 1}, {3264}, {2448}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    bench::preferOffscreen();
    QApplication application(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
