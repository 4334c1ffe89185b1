// Long runs of the engine through its flat API with a virtual camera: many captures in a row,
// and the camera unplugged and replugged while it previews and captures.
#include "CamCoreTesting.h"
#include "EngineTestSupport.h"
#include "Soak.h"
#include "ZoApi.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <QWidget>
#include <QtTest/QTest>
#include <algorithm>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <iostream>
#include <thread>

namespace {

constexpr int kCam = 0;

std::unique_ptr<QWidget> shownWindow() {
    auto window = std::make_unique<QWidget>();
    window->resize(640, 480);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    return window;
}

ZoWindow handleOf(QWidget& window) {
    return static_cast<ZoWindow>(window.winId());
}

// What a file's first `length` bytes were, without holding them: a growing document read whole
// into the test each round would itself look like the engine's memory growing.
struct Prefix {
    std::int64_t length = 0;
    QByteArray digest;
};

Prefix prefixOf(const QString& path, std::int64_t length) {
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (length == 0 || !file.open(QIODevice::ReadOnly))
        return {};
    std::int64_t left = length;
    while (left > 0) {
        const QByteArray chunk = file.read(std::min<std::int64_t>(left, 1 << 20));
        if (chunk.isEmpty())
            return {};
        hash.addData(chunk);
        left -= chunk.size();
    }
    return {length, hash.result()};
}

TEST(EngineSoakTest, CapturesInARowKeepMemoryAndDescriptorsFlat) {
    const int total = soak::sized(200, 2000);
    constexpr int kWarmUp = 100;
    auto window = shownWindow();
    ZoInit();
    ASSERT_EQ(ZoSetDefaultResolution(kCam, 4), 1); // 1280 x 960
    ASSERT_EQ(ZoOpenCamera(kCam, handleOf(*window)), 1);
    QTemporaryDir dir;
    // Every format, and every other round a picture that is decoded, turned and re-encoded.
    const QStringList names{"a.jpg", "b.png", "c.tif", "d.pdf", "e.bmp"};
    // The heap in use rises by a frame or two while pictures are in flight, at no fixed moment;
    // its lowest reading in each half after the warm-up does not, and a leak lifts the second
    // half's above the first's. Resident memory also moves by a frame buffer or two as the
    // allocator keeps freed blocks or hands them back: its highest reading only has to stay near.
    const int middle = kWarmUp + (total - kWarmUp) / 2;
    std::int64_t heapBefore = INT64_MAX, heapAfter = INT64_MAX;
    std::int64_t residentBefore = 0, residentAfter = 0;
    int descriptorsBefore = 0;
    for (int i = 0; i < total; ++i) {
        if (i == kWarmUp)
            descriptorsBefore = soak::openDescriptors();
        ZoSetRotate(kCam, (i / names.size()) % 2 == 0 ? 0 : 2);
        const QString path = dir.filePath(names[i % names.size()]);
        ASSERT_EQ(ZoCapture(kCam, QFile::encodeName(path).constData()), 1) << i;
        QCoreApplication::processEvents(); // the preview keeps running
        if (i >= kWarmUp) {
            std::int64_t& heap = i < middle ? heapBefore : heapAfter;
            heap = std::min(heap, soak::heapInUse());
            std::int64_t& resident = i < middle ? residentBefore : residentAfter;
            resident = std::max(resident, soak::residentBytes());
        }
    }
    QCoreApplication::processEvents();
    const int descriptorsAfter = soak::openDescriptors();
    ZoSetRotate(kCam, 0);
    ZoCloseCamera(kCam);

    std::cout << total << " captures: heap in use at least " << heapBefore / 1024
              << " KiB in captures " << kWarmUp << " to " << middle << ", " << heapAfter / 1024
              << " KiB after; resident at most " << residentBefore / 1024 << " KiB, then "
              << residentAfter / 1024 << " KiB; descriptors " << descriptorsBefore << " -> "
              << descriptorsAfter << "\n";
    EXPECT_LT(heapAfter, heapBefore + heapBefore / 50);
    EXPECT_LT(residentAfter, residentBefore + residentBefore / 6);
    EXPECT_EQ(descriptorsAfter, descriptorsBefore);
}

// A capture either wrote a whole picture of the frame size, or said it wrote nothing.
void expectWholeOrReported(int written, const QString& path) {
    if (written == 1)
        EXPECT_TRUE(soak::wholePicture(path, 640, 480)) << path.toStdString();
    else
        EXPECT_FALSE(QFile::exists(path)) << path.toStdString();
    QFile::remove(path);
}

TEST(EngineSoakTest, UnplugAndReplugWhilePreviewingAndCapturing) {
    const int cycles = soak::sized(20, 100);
    auto window = shownWindow();
    ZoInit();
    ASSERT_EQ(ZoSetDefaultResolution(kCam, 5), 1); // 640 x 480
    ASSERT_EQ(ZoOpenCamera(kCam, handleOf(*window)), 1);
    QTemporaryDir dir;
    int captures = 0;
    auto capture = [&] {
        const QString path = dir.filePath(QStringLiteral("%1.jpg").arg(captures++));
        const int written = ZoCapture(kCam, QFile::encodeName(path).constData());
        expectWholeOrReported(written, path);
        return written;
    };
    int written = 0;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        // The camera goes at a random moment while pictures are taken one after another.
        std::atomic<bool> unplugged{false};
        const auto moment = std::chrono::microseconds(QRandomGenerator::global()->bounded(200000));
        std::thread unplugger([&] {
            std::this_thread::sleep_for(moment);
            camcore::testing::unplugVirtualCamera(kCam);
            unplugged = true;
        });
        while (!unplugged) {
            written += capture();
            QCoreApplication::processEvents();
        }
        unplugger.join();
        // Until the capture thread has seen the loss, the last frame is still a whole picture.
        EXPECT_TRUE(QTest::qWaitFor([&] { return capture() == 0; }, 10000)) << cycle;

        // What the application does on removal and arrival.
        ASSERT_EQ(ZoGetCameraCount(), 0);
        ASSERT_TRUE(camcore::testing::replugVirtualCamera(kCam));
        ASSERT_EQ(ZoGetCameraCount(), 1);
        ZoCloseCamera(kCam);
        ASSERT_EQ(ZoOpenCamera(kCam, handleOf(*window)), 1) << cycle;
        EXPECT_TRUE(QTest::qWaitFor([&] { return capture() == 1; }, 10000)) << cycle;
    }
    ZoCloseCamera(kCam);
    std::cout << cycles << " unplugs; " << captures << " captures, " << written
              << " of them written before an unplug\n";
}

// Captures in every format and both PDF modes, queued in bursts, with the camera closed and
// opened again, and unplugged and replugged, between rounds: every collected document holds one
// page for each capture that went to it, its earlier pages kept byte for byte, and memory stays
// flat.
TEST(EngineSoakTest, MixedFormatsKeepEveryPageThroughCameraChanges) {
    const int total = soak::sized(120, 2000);
    const int round = soak::sized(30, 200);
    auto window = shownWindow();
    ZoInit();
    ASSERT_EQ(ZoSetDefaultResolution(kCam, 5), 1); // 640 x 480
    ASSERT_EQ(ZoOpenCamera(kCam, handleOf(*window)), 1);
    QTemporaryDir dir;
    const QStringList singles{"jpg", "png", "tif", "bmp", "pdf"};
    const QString book = dir.filePath(QStringLiteral("book.pdf"));
    int bookPages = 0;
    Prefix bookBefore; // the document as the last round left it
    std::int64_t residentBefore = 0, residentAfter = 0;
    int written = 0;
    for (int i = 0; i < total; ++i) {
        if (i > 0 && i % round == 0) {
            ASSERT_EQ(ZoWaitPdfPages(kCam), 0) << i;
            EXPECT_EQ(prefixOf(book, bookBefore.length).digest, bookBefore.digest)
                << "earlier pages changed by round " << i;
            bookBefore = prefixOf(book, QFileInfo(book).size());
            if ((i / round) % 2 == 1) {
                ZoCloseCamera(kCam); // ends the collected document
            } else {
                ASSERT_TRUE(camcore::testing::unplugVirtualCamera(kCam));
                ASSERT_TRUE(QTest::qWaitFor([] { return ZoGetCameraCount() == 0; }, 10000));
                ASSERT_TRUE(camcore::testing::replugVirtualCamera(kCam));
                ASSERT_EQ(ZoGetCameraCount(), 1);
                ZoCloseCamera(kCam);
            }
            ASSERT_EQ(ZoOpenCamera(kCam, handleOf(*window)), 1) << i;
        }
        const bool collected = i % 3 == 0;
        ZoSetPDFMode(kCam, collected ? 0 : 1);
        const QString path =
            collected
                ? book
                : dir.filePath(QStringLiteral("%1.%2").arg(i).arg(singles[i % singles.size()]));
        const int job = ZoCaptureQueued(
            kCam, QFile::encodeName(path).constData(),
            [](const ZoCaptureResult* result, void* user) {
                *static_cast<int*>(user) += result->written;
            },
            &written);
        ASSERT_GT(job, 0) << i;
        bookPages += collected ? 1 : 0;
        if (i % 10 == 9) { // a burst of ten presses, then the window catches up
            ASSERT_EQ(ZoWaitPdfPages(kCam), 0) << i;
            QCoreApplication::processEvents();
            std::int64_t& peak = i < total / 2 ? residentBefore : residentAfter;
            if (i >= round)
                peak = std::max(peak, soak::residentBytes());
        }
    }
    ASSERT_EQ(ZoWaitPdfPages(kCam), 0);
    QCoreApplication::processEvents();
    ZoCloseCamera(kCam);
    QCoreApplication::processEvents();
    std::cout << total << " mixed captures, " << written << " pages written, " << bookPages
              << " of them in one document; resident at most " << residentBefore / 1024
              << " KiB, then " << residentAfter / 1024 << " KiB\n";
    EXPECT_EQ(written, total);
    // The short run's halves are too near its warm-up to tell a leak from the allocator's swings.
    if (total >= 1000) {
        EXPECT_LT(residentAfter, residentBefore + residentBefore / 20);
    }
    // pdfinfo runs last: a forked process must start no thread afterwards under ThreadSanitizer.
    EXPECT_EQ(camcore_test::pdfPages(book).count, bookPages);
}

} // namespace
