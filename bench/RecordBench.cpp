// Recording cost: MJPEG frames of 1920 x 1080 and 3264 x 2448 handed to the recorder at 15 frames
// a second for 4 seconds, as a camera would, against ffmpeg encoding the same frames with the
// same preset, read at their frame rate (-re). Reported: the share of one core the process used
// while recording, and the frames the recorder dropped.

#include "BenchMain.h"
#include "record/Recorder.h"

#include <QFile>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <random>
#include <thread>
#include <vector>

using namespace camcore;

namespace {

constexpr int kRate = 15;
constexpr int kFrames = 60;

// A page with lines of text, a photo and sensor noise, encoded as a camera sends it.
std::vector<std::uint8_t> cameraFrame(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    QPainter painter(&image);
    QLinearGradient lamp(0, 0, width, height);
    lamp.setColorAt(0, QColor(238, 236, 228));
    lamp.setColorAt(1, QColor(120, 118, 112));
    painter.fillRect(image.rect(), lamp);
    QFont font("DejaVu Serif");
    font.setPixelSize(height / 70);
    painter.setFont(font);
    painter.setPen(QColor(35, 35, 40));
    for (int y = height / 15; y < height - height / 15; y += height / 47)
        painter.drawText(width / 16, y,
                         "The committee reviewed the quarterly figures and agreed "
                         "to extend the trial to three more sites.");
    painter.fillRect(width / 2, height / 2, width / 3, height / 3, QColor(40, 90, 160));
    painter.end();
    std::mt19937 random(3);
    std::normal_distribution<float> noise(0, 3);
    for (int y = 0; y < height; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < width * 3; ++x)
            line[x] = uchar(std::clamp(line[x] + noise(random), 0.0f, 255.0f));
    }
    std::unique_ptr<void, int (*)(void*)> tj(tjInitCompress(), tjDestroy);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    tjCompress2(tj.get(), image.constBits(), width, static_cast<int>(image.bytesPerLine()), height,
                TJPF_RGB, &out, &size, TJSAMP_420, 85, 0);
    std::vector<std::uint8_t> bytes(out, out + size);
    tjFree(out);
    return bytes;
}

double cpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) {
        return t.tv_sec + t.tv_usec / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The arguments are the frame size.
void BM_Record(benchmark::State& state) {
    const int width = int(state.range(0)), height = int(state.range(1));
    const auto bytes =
        std::make_shared<const std::vector<std::uint8_t>>(cameraFrame(width, height));
    QTemporaryDir dir;
    double share = 0, dropped = 0;
    for (auto _ : state) {
        std::string error;
        auto recorder =
            Recorder::start({dir.filePath("bench.mp4"), QSize(width, height), std::nullopt}, error);
        if (!recorder) {
            state.SkipWithError(error.c_str());
            return;
        }
        const double cpuBefore = cpuSeconds(RUSAGE_SELF);
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kFrames; ++i) {
            std::this_thread::sleep_until(start + i * std::chrono::microseconds(1'000'000 / kRate));
            recorder->push(Frame{bytes, PixelFormat::Mjpeg, width, height, 0, std::uint64_t(i)});
        }
        recorder->finish();
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
        share = (cpuSeconds(RUSAGE_SELF) - cpuBefore) / wall.count();
        dropped = double(recorder->framesDropped());
        state.SetIterationTime(wall.count());
    }
    state.counters["core_share"] = share;
    state.counters["dropped"] = dropped;
}
BENCHMARK(BM_Record)
    ->Args({1920, 1080})
    ->Args({3264, 2448})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The peer: ffmpeg decodes the same MJPEG frames at their rate and encodes them with libx264
// ultrafast/zerolatency on one thread, scaled to fit 1920 x 1080, into an MP4.
void BM_FfmpegRecord(benchmark::State& state) {
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) {
        state.SkipWithError("ffmpeg is not on PATH (Debian package ffmpeg); peer not measured");
        return;
    }
    const int width = int(state.range(0)), height = int(state.range(1));
    const std::vector<std::uint8_t> bytes = cameraFrame(width, height);
    QTemporaryDir dir;
    QFile file(dir.filePath("frames.mjpg"));
    if (!file.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot write frames.mjpg");
        return;
    }
    for (int i = 0; i < kFrames; ++i)
        file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    file.close();
    const std::string command =
        "ffmpeg -hide_banner -loglevel error -nostdin -y -re -f mjpeg -framerate " +
        std::to_string(kRate) + " -i '" + file.fileName().toStdString() +
        "' -vf 'scale=w=1920:h=1080:force_original_aspect_ratio=decrease' -c:v libx264 "
        "-preset ultrafast -tune zerolatency -threads 1 -pix_fmt yuv420p '" +
        dir.filePath("peer.mp4").toStdString() + "'";
    double share = 0;
    for (auto _ : state) {
        const double cpuBefore = cpuSeconds(RUSAGE_CHILDREN);
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("ffmpeg failed");
            return;
        }
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
        share = (cpuSeconds(RUSAGE_CHILDREN) - cpuBefore) / wall.count();
        state.SetIterationTime(wall.count());
    }
    state.counters["core_share"] = share;
}
BENCHMARK(BM_FfmpegRecord)
    ->Args({1920, 1080})
    ->Args({3264, 2448})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    bench::preferOffscreen();
    QGuiApplication application(argc, argv); // fonts for the generated page
    return bench::runBenchmarks(argc, argv);
}
