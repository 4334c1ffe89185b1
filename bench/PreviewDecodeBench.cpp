// Preview cost of one 3264 x 2448 MJPEG frame: a decode sized for a 1280-pixel view against a
// full decode, black and white on the preview picture, and ffmpeg decoding the same frames.

#include "BenchMain.h"
#include "pipeline/ColorMode.h"
#include "pipeline/FrameDecoder.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

using namespace camcore;

namespace {

constexpr int kWidth = 3264, kHeight = 2448;
constexpr int kFfmpegFrames = 30;

// A page under a desk lamp: paragraphs of text, a colour photo, a lamp gradient and sensor noise.
QImage documentPicture() {
    QImage image(kWidth, kHeight, QImage::Format_RGB888);
    QPainter painter(&image);
    QLinearGradient lamp(0, 0, kWidth, kHeight);
    lamp.setColorAt(0, QColor(238, 236, 228));
    lamp.setColorAt(1, QColor(120, 118, 112));
    painter.fillRect(image.rect(), lamp);
    QFont font("DejaVu Serif");
    font.setPixelSize(34);
    painter.setFont(font);
    painter.setPen(QColor(35, 35, 40));
    for (int y = 160; y < kHeight - 160; y += 52)
        painter.drawText(200, y,
                         "The committee reviewed the quarterly figures and agreed to "
                         "extend the trial to three more sites in 2025.");
    QLinearGradient photo(0, 1300, 0, 2100);
    photo.setColorAt(0, QColor(40, 90, 160));
    photo.setColorAt(1, QColor(200, 150, 60));
    painter.fillRect(1900, 1300, 1100, 800, photo);
    painter.end();

    std::mt19937 random(3);
    std::normal_distribution<float> noise(0, 3);
    for (int y = 0; y < kHeight; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < kWidth * 3; ++x)
            line[x] = uchar(std::clamp(line[x] + noise(random), 0.0f, 255.0f));
    }
    return image;
}

std::vector<std::uint8_t> encode(const QImage& rgb) {
    std::unique_ptr<void, int (*)(void*)> tj(tjInitCompress(), tjDestroy);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    tjCompress2(tj.get(), rgb.constBits(), rgb.width(), static_cast<int>(rgb.bytesPerLine()),
                rgb.height(), TJPF_RGB, &out, &size, TJSAMP_420, 85, 0);
    std::vector<std::uint8_t> bytes(out, out + size);
    tjFree(out);
    return bytes;
}

const std::vector<std::uint8_t>& frame() {
    static const std::vector<std::uint8_t> jpeg = encode(documentPicture());
    return jpeg;
}

void BM_DecodeFull(benchmark::State& state) {
    FrameDecoder decoder;
    for (auto _ : state)
        benchmark::DoNotOptimize(decoder.decodeJpeg(frame()));
    state.counters["jpeg_kB"] = double(frame().size()) / 1024;
}
BENCHMARK(BM_DecodeFull)->Unit(benchmark::kMillisecond);

// The argument is the view width; 1280 decodes at 1/2 (1632 x 1224), 640 at 1/4.
void BM_DecodeForView(benchmark::State& state) {
    FrameDecoder decoder;
    QImage picture;
    for (auto _ : state)
        benchmark::DoNotOptimize(picture = decoder.decodeJpeg(frame(), int(state.range(0))));
    state.counters["width"] = picture.width();
}
BENCHMARK(BM_DecodeForView)->Arg(1280)->Arg(640)->Unit(benchmark::kMillisecond);

// An uncompressed 8 MP frame (YUYV, 16 MB) at full size and for a 1280-pixel view.
void BM_YuyvForView(benchmark::State& state) {
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(std::size_t(kWidth) * kHeight * 2);
    std::mt19937 random(5);
    for (std::uint8_t& b : *bytes)
        b = std::uint8_t(16 + random() % 220);
    const Frame raw{bytes, PixelFormat::Yuyv, kWidth, kHeight, kWidth * 2};
    FrameDecoder decoder;
    for (auto _ : state)
        benchmark::DoNotOptimize(decoder.decode(raw, int(state.range(0))));
}
BENCHMARK(BM_YuyvForView)->Arg(0)->Arg(1280)->Unit(benchmark::kMillisecond);

void BM_JpegLength(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(jpegLength(frame()));
}
BENCHMARK(BM_JpegLength)->Unit(benchmark::kMillisecond);

// The argument is the picture width: 1632 is the preview decode, 1280 a 1280 x 960 view.
void BM_BlackWhite(benchmark::State& state) {
    FrameDecoder decoder;
    QImage picture = decoder.decodeJpeg(frame(), 1280);
    if (picture.width() != state.range(0))
        picture = picture.scaledToWidth(int(state.range(0)), Qt::SmoothTransformation);
    for (auto _ : state)
        benchmark::DoNotOptimize(applyColorMode(picture, ColorMode::BlackWhite));
}
BENCHMARK(BM_BlackWhite)->Arg(1632)->Arg(1280)->Unit(benchmark::kMillisecond);

// The peer: ffmpeg decoding the same frame kFfmpegFrames times from an MJPEG file, per frame.
// The time includes starting the process, spread over the frames.
void BM_FfmpegDecodePerFrame(benchmark::State& state) {
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) {
        state.SkipWithError("ffmpeg is not on PATH (Debian package ffmpeg); peer not measured");
        return;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("frames.mjpg");
    QFile file(path);
    if (!dir.isValid() || !file.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot write frames.mjpg");
        return;
    }
    for (int i = 0; i < kFfmpegFrames; ++i)
        file.write(reinterpret_cast<const char*>(frame().data()), qint64(frame().size()));
    file.close();
    const std::string threads = state.range(0) ? " -threads " + std::to_string(state.range(0)) : "";
    const std::string command = "ffmpeg -hide_banner -loglevel error -nostdin" + threads +
                                " -f mjpeg -i '" + path.toStdString() + "' -f null -";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int status = std::system(command.c_str());
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        if (status != 0) {
            state.SkipWithError("ffmpeg failed");
            break;
        }
        state.SetIterationTime(elapsed.count() / kFfmpegFrames);
    }
}
// 0: ffmpeg's default threading (frame threads on every core); 1: one thread, like our decoder.
// Three runs of 30 frames each are enough: a run takes over a second.
BENCHMARK(BM_FfmpegDecodePerFrame)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    bench::preferOffscreen();
    QGuiApplication application(argc, argv); // fonts for the generated page
    return bench::runBenchmarks(argc, argv, [] {
        frame(); // generate and encode the page before anything is timed
    });
}
