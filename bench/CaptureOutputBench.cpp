// Cost of writing one 3264 x 2448 capture in each format, as ZoCapture does it (compression,
// metadata, temporary file, fsync, rename), the cost of adding a page to a collected PDF as it
// grows, and peer commands for the same output where they are installed.

#include "BenchMain.h"
#include "device/virtual/DocumentScene.h"
#include "output/AtomicFile.h"
#include "output/CaptureWriter.h"
#include "output/JpegWriter.h"
#include "output/PdfDocument.h"
#include "output/QtImageEncoder.h"
#include "pipeline/FrameDecoder.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <opencv2/imgproc.hpp>

#include <map>
#include <memory>

using namespace camcore;

namespace {

constexpr int kWidth = 3264, kHeight = 2448;

QTemporaryDir& folder() {
    static QTemporaryDir dir(QDir::tempPath() + "/capture-output-bench-XXXXXX");
    return dir;
}

// The virtual camera's document scene: a page with text and codes askew on a desk.
const QImage& colourScene() {
    static const QImage scene =
        renderDocumentScene(QSize(kWidth, kHeight), 1).convertToFormat(QImage::Format_RGB888);
    return scene;
}

// The scene binarised with a local mean threshold, like a black-and-white capture.
const QImage& bilevelScene() {
    static const QImage bilevel = [] {
        const QImage grey = colourScene().convertToFormat(QImage::Format_Grayscale8);
        QImage out(grey.size(), QImage::Format_Grayscale8);
        const cv::Mat in(grey.height(), grey.width(), CV_8UC1, const_cast<uchar*>(grey.constBits()),
                         static_cast<size_t>(grey.bytesPerLine()));
        cv::Mat result(out.height(), out.width(), CV_8UC1, out.bits(),
                       static_cast<size_t>(out.bytesPerLine()));
        cv::adaptiveThreshold(in, result, 255, cv::ADAPTIVE_THRESH_MEAN_C, cv::THRESH_BINARY, 31,
                              15);
        return out;
    }();
    return bilevel;
}

OutputImage colourCapture(bool fromCamera) {
    OutputImage image;
    image.picture = colourScene();
    image.jpegQuality = 90;
    if (fromCamera) {
        // The camera's MJPEG frame of the same picture at its usual quality.
        static const QByteArray camera = encodeJpeg(colourScene(), 85);
        image.cameraJpeg =
            std::make_shared<std::vector<std::uint8_t>>(camera.begin(), camera.end());
    }
    return image;
}

OutputImage bilevelCapture() {
    OutputImage image;
    image.picture = bilevelScene();
    image.bilevel = true;
    return image;
}

void writeCaptureBench(benchmark::State& state, const QString& name, const OutputImage& image) {
    const QString path = folder().filePath(name);
    for (auto _ : state) {
        if (writeCapture(path, image) != 1) {
            state.SkipWithError("writeCapture failed");
            return;
        }
    }
    state.counters["bytes"] = static_cast<double>(QFile(path).size());
}

void BM_JpegReencoded(benchmark::State& state) {
    writeCaptureBench(state, "re.jpg", colourCapture(false));
}
void BM_JpegPassThrough(benchmark::State& state) {
    writeCaptureBench(state, "pass.jpg", colourCapture(true));
}
// PNG of the colour scene (0), its grey copy (1) and the black-and-white page (2).
OutputImage pngCapture(std::int64_t kind) {
    if (kind == 2)
        return bilevelCapture();
    OutputImage image = colourCapture(false);
    if (kind == 1)
        image.picture = image.picture.convertToFormat(QImage::Format_Grayscale8);
    return image;
}

void BM_Png(benchmark::State& state) {
    writeCaptureBench(state, QString("png-%1.png").arg(state.range(0)), pngCapture(state.range(0)));
}

// The same PNG through Qt's writer at zlib level 3 with its adaptive filters, as captures were
// written before encodePng: encoded and written the way writeCapture does.
void BM_PngQtWriter(benchmark::State& state) {
    const OutputImage image = pngCapture(state.range(0));
    const QString path = folder().filePath(QString("qt-%1.png").arg(state.range(0)));
    for (auto _ : state) {
        const QByteArray bytes = encodeWithQt(image, "png");
        if (bytes.isEmpty() || !writeFileAtomically(path, bytes)) {
            state.SkipWithError("Qt's PNG writer failed");
            return;
        }
    }
    state.counters["bytes"] = static_cast<double>(QFile(path).size());
}
void BM_TiffColour(benchmark::State& state) {
    writeCaptureBench(state, "c.tif", colourCapture(false));
}
void BM_TiffGroup4(benchmark::State& state) {
    writeCaptureBench(state, "bw.tif", bilevelCapture());
}
void BM_PdfSinglePage(benchmark::State& state) {
    writeCaptureBench(state, "single.pdf", colourCapture(false));
}
void BM_PdfSinglePagePassThrough(benchmark::State& state) {
    writeCaptureBench(state, "single-pass.pdf", colourCapture(true));
}

// A JPEG capture of a frame the capture leaves as the camera made it (no turn, crop, colour
// change, mark or resize), from the camera's 8 MP MJPEG frame to the file: /0 as such a capture
// used to go (the whole frame decoded, then its JPEG stored as it came), /1 as it goes now (only
// the 408-pixel picture for the list decoded, the camera's JPEG stored without decoding it).
void BM_CameraJpegCapture(benchmark::State& state) {
    static const QByteArray camera = encodeJpeg(colourScene(), 85);
    Frame frame;
    frame.bytes = std::make_shared<std::vector<std::uint8_t>>(camera.begin(), camera.end());
    frame.width = kWidth;
    frame.height = kHeight;
    const QString path = folder().filePath("camera.jpg");
    FrameDecoder decoder;
    for (auto _ : state) {
        bool written = false;
        if (state.range(0) == 0) {
            OutputImage image;
            image.picture = decoder.decode(frame);
            image.cameraJpeg = frame.bytes;
            image.jpegQuality = 90;
            written = writeCapture(path, image) == 1;
        } else {
            benchmark::DoNotOptimize(decoder.decode(frame, 400));
            const QByteArray file = cameraJpegFile(*frame.bytes, 90, 300);
            written = !file.isEmpty() && writeFileAtomically(path, file);
        }
        if (!written) {
            state.SkipWithError("the capture was not written");
            return;
        }
    }
}

// Adding page N (N = range(0)) to a collected document, with the camera's JPEG passed through
// so that only the PDF work is measured. The application deletes the file before each capture.
// The document is built to N-1 pages before timing; each timed iteration adds one more page,
// so "page 50" means pages 50 to 50 + iterations - 1. Page 1 starts a new document each time.
void BM_PdfAddPage(benchmark::State& state) {
    const int page = static_cast<int>(state.range(0));
    static std::map<int, std::unique_ptr<PdfDocument>> documents;
    std::unique_ptr<PdfDocument>& document = documents[page];
    if (!document)
        document = std::make_unique<PdfDocument>();
    const QString path = folder().filePath(QString("book-%1.pdf").arg(page));
    const OutputImage image = colourCapture(true);
    while (page > 1 && document->pageCount() < page - 1) {
        if (!document->append(image, path)) {
            state.SkipWithError("append failed while building the document");
            return;
        }
    }
    for (auto _ : state) {
        if (page == 1)
            document->close();
        QFile::remove(path);
        if (!document->append(image, path)) {
            state.SkipWithError("append failed");
            return;
        }
    }
    state.counters["pages"] = document->pageCount();
}

// Whether `program` is the real peer: its version text names `signature`. A stand-in script
// of the same name does not count.
bool peerInstalled(const QString& program, const QString& versionArgument,
                   const QString& signature) {
    if (QStandardPaths::findExecutable(program).isEmpty())
        return false;
    QProcess process;
    process.start(program, {versionArgument});
    process.waitForFinished(10000);
    return process.exitCode() == 0 && process.readAll().contains(signature.toUtf8());
}

// Peers: each run is a process reading a prepared input file, so process start and decoding
// the input are part of their cost.
void runPeer(benchmark::State& state, const QString& program, const QStringList& arguments) {
    for (auto _ : state) {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(120000) || process.exitCode() != 0) {
            const std::string message = (program + " failed").toStdString();
            state.SkipWithError(message.c_str()); // copied by the library
            return;
        }
    }
}

void BM_Peer_ConvertGroup4(benchmark::State& state) {
    if (!peerInstalled("convert", "-version", "ImageMagick")) {
        state.SkipWithError("ImageMagick is not installed (Debian package imagemagick)");
        return;
    }
    const QString input = folder().filePath("peer-bw.png");
    if (!QFile::exists(input))
        bilevelScene().save(input);
    runPeer(state, "convert",
            {input, "-monochrome", "-compress", "Group4", folder().filePath("peer-bw.tif")});
}

void BM_Peer_Img2pdf(benchmark::State& state) {
    if (!peerInstalled("img2pdf", "--version", "img2pdf")) {
        state.SkipWithError("img2pdf is not installed (Debian package img2pdf)");
        return;
    }
    const QString input = folder().filePath("peer.jpg");
    if (!QFile::exists(input))
        writeCapture(input, colourCapture(true));
    runPeer(state, "img2pdf", {input, "-o", folder().filePath("peer.pdf")});
}

} // namespace

BENCHMARK(BM_JpegReencoded)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegPassThrough)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CameraJpegCapture)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Png)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngQtWriter)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TiffColour)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TiffGroup4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Peer_ConvertGroup4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PdfSinglePage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PdfSinglePagePassThrough)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Peer_Img2pdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PdfAddPage)->Arg(1)->Arg(50)->Arg(200)->Iterations(4)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    bench::preferOffscreen();
    QGuiApplication application(argc, argv); // fonts for the document scene
    return bench::runBenchmarks(argc, argv);
}
