#include "CaptureChild.h"
#include "EngineFixture.h"
#include "EngineTestSupport.h"
#include "ZoApi.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <sys/mount.h>

using namespace engine_test;
using camcore_test::pdfPages;
using camcore_test::readAll;

namespace {

QSize pictureSize(const QString& path) {
    return QImageReader(path).size();
}

// x and y density of the JFIF APP0 segment, when its unit is dots per inch.
QPair<int, int> jfifDensity(const QByteArray& jpeg) {
    if (jpeg.size() < 18 || jpeg.mid(2, 2) != QByteArray("\xFF\xE0", 2) ||
        jpeg.mid(6, 5) != QByteArray("JFIF\0", 5) || jpeg[13] != 1)
        return {0, 0};
    const auto* bytes = reinterpret_cast<const uchar*>(jpeg.constData());
    return {qFromBigEndian<quint16>(bytes + 14), qFromBigEndian<quint16>(bytes + 16)};
}

// The value of a short tag in the first directory of a little-endian TIFF.
int tiffTag(const QByteArray& tiff, quint16 wanted) {
    if (!tiff.startsWith("II*"))
        return -1;
    const auto* bytes = reinterpret_cast<const uchar*>(tiff.constData());
    const quint32 directory = qFromLittleEndian<quint32>(bytes + 4);
    if (directory + 2 > quint32(tiff.size()))
        return -1;
    const quint16 entries = qFromLittleEndian<quint16>(bytes + directory);
    for (quint16 i = 0; i < entries; ++i) {
        const uchar* entry = bytes + directory + 2 + 12 * i;
        if (entry + 12 > bytes + tiff.size())
            return -1;
        if (qFromLittleEndian<quint16>(entry) == wanted)
            return qFromLittleEndian<quint16>(entry + 8);
    }
    return -1;
}

// Camera 1 streams 640 x 480 without a window; captures go to a fresh folder.
class EngineCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZoInit();
        ZoSetDefaultResolution(cam, 5);
        ASSERT_EQ(ZoOpenCamera(cam, 0), 1);
        ASSERT_EQ(ZoSetDPI(cam, 300), 1);
    }
    void TearDown() override {
        ZoSetRotate(cam, 0);
        ZoResetVideo(cam);
        ZoSetDevColor(cam, 0);
        ZoSetResize(cam, false, 1.0F);
        ZoSetPDFMode(cam, 1);
        ZoSetJpgQuality(cam, 75);
        ZoCloseCamera(cam);
    }
    QString path(const QString& name) const { return dir.path() + "/" + name; }
    int capture(const QString& name) const {
        return ZoCapture(cam, QFile::encodeName(path(name)).constData());
    }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

    const int cam = 1;
    QTemporaryDir dir;
};

TEST_F(EngineCaptureTest, EveryFormatCarriesItsResolution) {
    for (const QString name : {"a.jpg", "b.JPEG", "c.png", "d.bmp", "e.tif", "f.tiff", "g.pdf"})
        ASSERT_EQ(capture(name), 1) << name.toStdString();
    EXPECT_EQ(jfifDensity(readAll(path("a.jpg"))), qMakePair(300, 300));
    EXPECT_EQ(jfifDensity(readAll(path("b.JPEG"))), qMakePair(300, 300));
    for (const QString name : {"a.jpg", "c.png", "d.bmp", "e.tif", "f.tiff"}) {
        const QImage image(path(name));
        EXPECT_EQ(image.size(), QSize(640, 480)) << name.toStdString();
        EXPECT_EQ(image.dotsPerMeterX(), 11811) << name.toStdString();
    }
    EXPECT_EQ(pdfPages(path("g.pdf")).sizes, QStringList({"153.6 x 115.2"}));
    EXPECT_EQ(ZoGetImageWidth(QFile::encodeName(path("c.png")).constData()), 640);
    EXPECT_EQ(ZoGetImageHeight(QFile::encodeName(path("e.tif")).constData()), 480);
    EXPECT_EQ(ZoGetImageWidth(QFile::encodeName(path("missing.png")).constData()), 0);
    EXPECT_EQ(ZoGetImageHeight(nullptr), 0);
}

TEST_F(EngineCaptureTest, UnchangedFramePassesTheCameraJpegIntoJpgAndPdf) {
    ASSERT_EQ(capture("frame.jpg"), 1);
    ASSERT_EQ(capture("frame.pdf"), 1);
    const QByteArray jpeg = readAll(path("frame.jpg"));
    ASSERT_FALSE(jpeg.isEmpty());
    EXPECT_TRUE(readAll(path("frame.pdf")).contains(jpeg))
        << "the PDF does not hold the JPEG file's bytes unchanged";
}

TEST_F(EngineCaptureTest, BlackAndWhiteTiffIsOneBitG4) {
    ASSERT_EQ(ZoSetDevColor(cam, 2), 1);
    ASSERT_EQ(capture("bw.tif"), 1);
    const QByteArray tiff = readAll(path("bw.tif"));
    EXPECT_EQ(tiffTag(tiff, 259), 4); // compression: CCITT group 4
    EXPECT_EQ(tiffTag(tiff, 258), 1); // one bit per sample
    EXPECT_EQ(QImage(path("bw.tif")).size(), QSize(640, 480));
}

TEST_F(EngineCaptureTest, ViewAndSizeSettingsShapeTheCapture) {
    ZoSetRotate(cam, 1);
    ASSERT_EQ(capture("turned.jpg"), 1);
    EXPECT_EQ(pictureSize(path("turned.jpg")), QSize(480, 640));
    ZoSetRotate(cam, 0);

    ZoSetResize(cam, true, 0.5F);
    ASSERT_EQ(capture("half.png"), 1);
    EXPECT_EQ(pictureSize(path("half.png")), QSize(320, 240));
    ZoSetResize(cam, false, 1.0F);

    ZoZoom(cam, 2.0F);
    ASSERT_EQ(capture("zoomed.jpg"), 1);
    EXPECT_EQ(pictureSize(path("zoomed.jpg")), QSize(320, 240));
    ZoResetVideo(cam);

    ZoSetRotate(cam, 2); // a re-encoded picture: the quality decides its size
    ZoSetJpgQuality(cam, 95);
    ASSERT_EQ(capture("fine.jpg"), 1);
    ZoSetJpgQuality(cam, 30);
    ASSERT_EQ(capture("coarse.jpg"), 1);
    EXPECT_GT(QFile(path("fine.jpg")).size(), QFile(path("coarse.jpg")).size() * 3 / 2);
}

TEST_F(EngineCaptureTest, DrawnRectangleCutsTheCapture) {
    auto window = makeWindow(640, 480);
    ASSERT_EQ(ZoSetHwnd(cam, handleOf(*window)), 1);
    ZoSetMouseMode(cam, 1);
    ZoOnLMousePress(handleOf(*window), 100, 100);
    ZoOnLMouseRelease(handleOf(*window), 300, 200);
    ZoSetMouseMode(cam, 0);
    ASSERT_EQ(capture("cut.png"), 1);
    EXPECT_EQ(pictureSize(path("cut.png")), QSize(200, 100));
    ZoSetHwnd(cam, 0);
}

TEST_F(EngineCaptureTest, MultiPagePdfCollectsPagesAcrossCaptures) {
    // pdfinfo runs last, on copies: under ThreadSanitizer nothing may run on the capture threads
    // after the test has started a process.
    QTemporaryDir copies;
    auto keep = [&](const QString& name, const QString& as) {
        QFile::copy(path(name), copies.filePath(as));
    };
    ASSERT_EQ(ZoSetPDFMode(cam, 0), 1);
    for (int page = 1; page <= 3; ++page) {
        QFile::remove(path("book.pdf")); // the application deletes the file before each capture
        ASSERT_EQ(capture("book.pdf"), 1);
        keep("book.pdf", QStringLiteral("book%1.pdf").arg(page));
    }
    ASSERT_EQ(capture("other.pdf"), 1);
    keep("other.pdf", "other1.pdf");
    ASSERT_EQ(ZoSetPDFMode(cam, 1), 1);
    QFile::remove(path("other.pdf"));
    ASSERT_EQ(capture("other.pdf"), 1);
    EXPECT_EQ(files(), QStringList({"book.pdf", "other.pdf"})); // no working files left

    for (int page = 1; page <= 3; ++page)
        EXPECT_EQ(pdfPages(copies.filePath(QStringLiteral("book%1.pdf").arg(page))).count, page);
    EXPECT_EQ(pdfPages(copies.filePath("other1.pdf")).count, 1);
    EXPECT_EQ(pdfPages(path("book.pdf")).count, 3);
    EXPECT_EQ(pdfPages(path("other.pdf")).count, 1);
}

// Pages finished behind the capture join the document in the order taken, before a page the
// capture then writes itself; a page that cannot be written is counted for the next wait.
TEST_F(EngineCaptureTest, QueuedPagesKeepTheirOrderAndLostOnesAreCounted) {
    ASSERT_EQ(ZoSetPDFMode(cam, 0), 1);
    ZoSetPdfText(cam, true);
    const auto queue = [this](const QString& name) {
        return ZoCaptureQueued(cam, QFile::encodeName(path(name)).constData(), nullptr, nullptr);
    };
    for (const int quarter : {0, 1, 0}) { // the order shows in the pages' sizes
        ZoSetRotate(cam, quarter);
        ASSERT_GT(queue("book.pdf"), 0);
    }
    ZoSetRotate(cam, 1);
    ASSERT_EQ(capture("book.pdf"), 1); // waits for the pages before it

    EXPECT_GT(queue("missing/lost.pdf"), 0); // taken; the folder is not there
    EXPECT_EQ(ZoWaitPdfPages(cam), 1);
    EXPECT_EQ(ZoWaitPdfPages(cam), 0);
    EXPECT_EQ(ZoWaitPdfPages(9), -1);
    ZoSetPdfText(cam, false);
    ASSERT_EQ(ZoSetPDFMode(cam, 1), 1);

    const camcore_test::PdfPages pages = pdfPages(path("book.pdf"));
    ASSERT_EQ(pages.count, 4);
    for (int i = 0; i < 4; ++i) {
        const QStringList sides = pages.sizes[i].split(" x ");
        ASSERT_EQ(sides.size(), 2);
        EXPECT_EQ(sides[0].toDouble() > sides[1].toDouble(), i % 2 == 0) << i;
    }
    EXPECT_EQ(files(), QStringList({"book.pdf"}));
}

TEST_F(EngineCaptureTest, DefaultResolutionWaitsForTheNextOpen) {
    EXPECT_EQ(ZoSetDefaultResolution(cam, 4), 1);
    ASSERT_EQ(capture("now.jpg"), 1);
    EXPECT_EQ(pictureSize(path("now.jpg")), QSize(640, 480)); // the stream is left as it is
    ZoCloseCamera(cam);
    ASSERT_EQ(ZoOpenCamera(cam, 0), 1);
    ASSERT_EQ(capture("next.jpg"), 1);
    EXPECT_EQ(pictureSize(path("next.jpg")), QSize(ZoGetResWidth(cam, 4), ZoGetResHeight(cam, 4)));
}

// The hidden files beside `name` (working files of a document, temporary files).
QStringList hiddenBeside(const QString& folder, const QString& name) {
    return QDir(folder).entryList({"." + name + ".*"}, QDir::Files | QDir::Hidden);
}

TEST_F(EngineCaptureTest, DocumentsAtTheirPathAreContinuedAndNoOtherFileIsWrittenOver) {
    // pdfinfo runs last: under ThreadSanitizer a test that has started a QProcess must start no
    // thread after it, and opening a camera starts one. What it reads is kept in `copies`.
    QTemporaryDir copies;
    auto keep = [&](const QString& name, const QString& as) {
        QFile::copy(path(name), copies.filePath(as));
    };
    // Another process collects three pages and is killed, as by a crash.
    {
        camcore_test::CaptureChild child({cam, 5, 0, 3, path("book.pdf")});
        ASSERT_TRUE(child.waitForCaptures(3));
    }
    EXPECT_FALSE(hiddenBeside(dir.path(), "book.pdf").isEmpty()) << "no working files left";
    keep("book.pdf", "left.pdf");
    const QByteArray left = readAll(path("book.pdf"));

    // The next capture to that path appends to the document; the application deletes the
    // file first.
    ASSERT_EQ(ZoSetPDFMode(cam, 0), 1);
    QFile::remove(path("book.pdf"));
    ASSERT_EQ(capture("book.pdf"), 1);
    ASSERT_EQ(capture("book.pdf"), 1);
    keep("book.pdf", "continued.pdf");
    EXPECT_TRUE(readAll(path("book.pdf")).startsWith(left)) << "not an incremental update";

    // Closing the camera ends the document: its working files go, and the next capture to the
    // path continues the whole document there. A file that is no such document is never
    // written over: the pages go beside it.
    ZoCloseCamera(cam);
    EXPECT_TRUE(hiddenBeside(dir.path(), "book.pdf").isEmpty());
    ASSERT_EQ(ZoOpenCamera(cam, 0), 1);
    ASSERT_EQ(ZoSetPDFMode(cam, 0), 1);
    ASSERT_EQ(capture("book.pdf"), 1);
    {
        QFile foreign(path("report.pdf"));
        ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
        foreign.write("%PDF-1.4 someone else's document");
    }
    ASSERT_EQ(capture("report.pdf"), 1);
    ASSERT_EQ(capture("report.pdf"), 1);
    EXPECT_EQ(readAll(path("report.pdf")), QByteArray("%PDF-1.4 someone else's document"));

    // Working files that hold no whole document are removed by the next document there.
    {
        camcore_test::CaptureChild child({cam, 5, 0, 2, path("torn.pdf")});
        ASSERT_TRUE(child.waitForCaptures(2));
    }
    for (const QString& name : hiddenBeside(dir.path(), "torn.pdf"))
        ASSERT_TRUE(QFile::resize(path(name), 100));
    ASSERT_EQ(capture("torn.pdf"), 1);
    ASSERT_EQ(ZoSetPDFMode(cam, 1), 1);
    // The torn working files were linked at the path too: the broken file stays, untouched.
    EXPECT_EQ(files(),
              QStringList({"book.pdf", "report.pdf", "report_2.pdf", "torn.pdf", "torn_2.pdf"}));

    EXPECT_EQ(pdfPages(copies.filePath("left.pdf")).count, 3); // whole after the crash
    const camcore_test::PdfPages continued = pdfPages(copies.filePath("continued.pdf"));
    EXPECT_EQ(continued.count, 5);
    EXPECT_TRUE(continued.errors.isEmpty()) << continued.errors.toStdString();
    EXPECT_EQ(pdfPages(path("book.pdf")).count, 6);
    EXPECT_EQ(pdfPages(path("report_2.pdf")).count, 2);
    EXPECT_EQ(pdfPages(path("torn_2.pdf")).count, 1);
}

TEST_F(EngineCaptureTest, BadInputWritesNothing) {
    EXPECT_EQ(ZoCapture(cam, nullptr), 0);
    EXPECT_EQ(ZoCapture(cam, ""), 0);
    EXPECT_EQ(capture("picture.gif"), 0);
    EXPECT_EQ(capture("no-extension"), 0);
    EXPECT_EQ(capture("missing/folder/x.jpg"), 0);
    EXPECT_EQ(ZoCapture(9, QFile::encodeName(path("x.jpg")).constData()), 0);
    ZoCloseCamera(cam);
    EXPECT_EQ(capture("closed.jpg"), 0);
    EXPECT_TRUE(files().isEmpty()) << files().join(' ').toStdString();
    ASSERT_EQ(ZoOpenCamera(cam, 0), 1);
    EXPECT_EQ(capture("again.jpg"), 1); // the camera keeps working after refused captures
}

TEST_F(EngineCaptureTest, FullDiskWritesNothing) {
    const QString full = path("full");
    QDir().mkpath(full);
    if (::mount("tmpfs", QFile::encodeName(full).constData(), "tmpfs", 0, "size=8k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here";
    const auto unmount = qScopeGuard([&] { ::umount(QFile::encodeName(full).constData()); });
    EXPECT_EQ(capture("full/big.bmp"), 0);
    EXPECT_EQ(capture("full/big.pdf"), 0);
    EXPECT_TRUE(QDir(full).entryList(QDir::Files | QDir::Hidden).isEmpty());

    // A capture that fails to replace a file leaves the older one whole.
    QImage small(8, 8, QImage::Format_RGB888);
    small.fill(Qt::white);
    ASSERT_TRUE(small.save(path("full/old.bmp")));
    const QByteArray old = readAll(path("full/old.bmp"));
    EXPECT_EQ(capture("full/old.bmp"), 0);
    EXPECT_EQ(readAll(path("full/old.bmp")), old);
    EXPECT_EQ(QDir(full).entryList(QDir::Files | QDir::Hidden), QStringList({"old.bmp"}));
}

} // namespace
