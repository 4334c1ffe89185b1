// The processing switches through the flat API: automatic crop, cleaning, split capture, the
// card copy mode, and the outline over the preview. Camera 2 streams its document scene (a
// landscape A4 page lying askew on a dark desk) at 640 x 480; the page is then about 538 x 380.
#include "EngineFixture.h"
#include "EngineTestSupport.h"
#include "ZoApi.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using namespace engine_test;
using camcore_test::pdfPages;

namespace {

class EngineProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZoInit();
        ZoSetDefaultResolution(cam, 5);
        ASSERT_EQ(ZoOpenCamera(cam, 0), 1);
    }
    void TearDown() override {
        ZoEnableAutoRotate(cam, false);
        ZoDelBackColor(cam, false);
        ZoEnableSplitCap(cam, false);
        ZoEnableDewarp(cam, false);
        ZoSetCaptureMode(cam, 0);
        ZoSetPDFMode(cam, 1);
        ZoCloseCamera(cam);
    }
    QString path(const QString& name) const { return dir.path() + "/" + name; }
    int capture(const QString& name) const {
        return ZoCapture(cam, QFile::encodeName(path(name)).constData());
    }
    QImage picture(const QString& name) const {
        return QImage(path(name)).convertToFormat(QImage::Format_RGB888);
    }

    const int cam = 2;
    QTemporaryDir dir;
};

// Mean grey level of a picture's four 12 x 12 corners: the dark desk, or paper once cut out.
double cornerLevel(const QImage& image) {
    const int s = 12;
    double sum = 0;
    for (const QPoint origin :
         {QPoint(0, 0), QPoint(image.width() - s, 0), QPoint(0, image.height() - s),
          QPoint(image.width() - s, image.height() - s)})
        sum += meanLevel(image.copy(QRect(origin, QSize(s, s))));
    return sum / 4;
}

// Share of pixels with every channel at 245 or above.
double whiteShare(const QImage& rgb) {
    qint64 white = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* line = rgb.constScanLine(y);
        for (int x = 0; x < rgb.width(); ++x)
            white += line[3 * x] >= 245 && line[3 * x + 1] >= 245 && line[3 * x + 2] >= 245;
    }
    return double(white) / (double(rgb.width()) * rgb.height());
}

} // namespace

TEST_F(EngineProcessTest, AutoCropCutsThePageOutAndStraightensIt) {
    ASSERT_EQ(capture("frame.png"), 1);
    EXPECT_LT(cornerLevel(picture("frame.png")), 110); // the desk shows in the corners

    EXPECT_EQ(ZoEnableAutoRotate(cam, true), 1);
    EXPECT_TRUE(traceLines().contains("ZoEnableAutoRotate(2, true) -> 1"));
    ASSERT_EQ(capture("page.png"), 1);
    const QImage page = picture("page.png");
    EXPECT_NEAR(page.width(), 538, 538 * 0.03);
    EXPECT_NEAR(page.height(), 380, 380 * 0.03);
    EXPECT_GT(cornerLevel(page), 150); // paper to the corners
    EXPECT_EQ(ZoEnableAutoRotate(9, true), 0);
}

TEST_F(EngineProcessTest, CleaningWhitensThePaperInEveryColourMode) {
    ZoEnableAutoRotate(cam, true);
    ASSERT_EQ(capture("plain.png"), 1);
    ZoDelBackColor(cam, true);
    ASSERT_EQ(capture("clean.png"), 1);
    EXPECT_LT(whiteShare(picture("plain.png")), 0.1);
    EXPECT_GT(whiteShare(picture("clean.png")), 0.6);
    for (const int mode : {1, 2}) {
        ASSERT_EQ(ZoSetDevColor(cam, mode), 1);
        ASSERT_EQ(capture(QString("mode%1.png").arg(mode)), 1);
        EXPECT_GT(whiteShare(picture(QString("mode%1.png").arg(mode))), 0.6) << mode;
    }
    ZoSetDevColor(cam, 0);
}

TEST_F(EngineProcessTest, SplitCaptureWritesTheRightPageBesideTheLeft) {
    ZoEnableSplitCap(cam, true);
    EXPECT_TRUE(traceLines().contains("ZoEnableSplitCap(2, true)"));
    EXPECT_EQ(capture("book.jpg"), 2);
    const QImage left = picture("book.jpg");
    const QImage right = picture("book_split.jpg");
    ASSERT_FALSE(left.isNull());
    ASSERT_FALSE(right.isNull());
    EXPECT_EQ(left.width() + right.width(), 640);
    EXPECT_EQ(left.height(), 480);

    // Collected into one PDF, the two pages follow each other in it.
    ASSERT_EQ(ZoSetPDFMode(cam, 0), 1);
    EXPECT_EQ(capture("book.pdf"), 2);
    EXPECT_EQ(pdfPages(path("book.pdf")).count, 2);
    EXPECT_FALSE(QFile::exists(path("book_split.pdf")));

    // Back to JPG with the PDF mode left as it was: each half still has a file of its own.
    EXPECT_EQ(capture("after.jpg"), 2);
    EXPECT_EQ(picture("after.jpg").width() + picture("after_split.jpg").width(), 640);
}

// The scene's page lies flat: flattening keeps it as it was, alone, after the crop and on both
// halves of a split.
TEST_F(EngineProcessTest, FlatteningLeavesAFlatPageAsItIs) {
    ZoCloseCamera(cam);
    ZoSetDefaultResolution(cam, 3); // 1600 x 1200: the page is measured about 1000 wide
    ASSERT_EQ(ZoOpenCamera(cam, 0), 1);
    ZoEnableAutoRotate(cam, true);
    ASSERT_EQ(capture("cut.png"), 1);
    ZoEnableDewarp(cam, true);
    EXPECT_TRUE(traceLines().contains("ZoEnableDewarp(2, true)"));
    ASSERT_EQ(capture("kept.png"), 1);
    const QImage cut = picture("cut.png");
    const QImage kept = picture("kept.png");
    ASSERT_EQ(kept.size(), cut.size());
    double difference = 0;
    for (int y = 0; y < cut.height(); ++y)
        for (int x = 0; x < cut.width(); ++x)
            difference += std::abs(qGray(cut.pixel(x, y)) - qGray(kept.pixel(x, y)));
    // Sensor noise alone between two frames; a resampled page would differ along every edge.
    EXPECT_LT(difference / (cut.width() * cut.height()), 4);

    ZoEnableAutoRotate(cam, false);
    ZoEnableSplitCap(cam, true);
    EXPECT_EQ(capture("book.jpg"), 2);
    EXPECT_EQ(picture("book.jpg").width() + picture("book_split.jpg").width(), 1600);
    EXPECT_EQ(picture("book_split.jpg").height(), 1200);
}

TEST_F(EngineProcessTest, CardCopyModeCutsOutTheOneDocumentItFinds) {
    ZoSetCaptureMode(cam, 1);
    ZoSetCaptureMode(cam, 7);
    EXPECT_TRUE(traceLines().contains("ZoSetCaptureMode(2, 7) [no such mode]"));
    ASSERT_EQ(capture("card.png"), 1); // still mode 1
    const QImage card = picture("card.png");
    EXPECT_NEAR(card.width(), 538, 538 * 0.03);
    EXPECT_GT(cornerLevel(card), 150);
}

// A page turned in the view (as a page laid sideways or upside down would be) comes out as the
// upright capture does; the text must be legible, so the camera streams at 1600 x 1200.
TEST_F(EngineProcessTest, UprightTurnsAPageLyingSidewaysOrUpsideDownBack) {
    ZoCloseCamera(cam);
    ZoSetDefaultResolution(cam, 3); // 1600 x 1200
    ASSERT_EQ(ZoOpenCamera(cam, 0), 1);
    ZoEnableAutoRotate(cam, true);
    ZoEnableAutoOrient(cam, true);
    const auto thumbnail = [&](const QString& name) {
        return picture(name).scaled(64, 48, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    const auto difference = [](const QImage& a, const QImage& b) {
        double sum = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
        return sum / (a.width() * a.height());
    };
    ASSERT_EQ(capture("upright.jpg"), 1);
    const QImage upright = thumbnail("upright.jpg");
    const QImage upsideDown = upright.transformed(QTransform().rotate(180));
    for (int code : {1, 2, 3}) {
        ZoSetRotate(cam, code);
        const QString name = QString("turned%1.jpg").arg(code);
        ASSERT_EQ(capture(name), 1);
        const QImage turned = thumbnail(name);
        EXPECT_GT(picture(name).width(), picture(name).height()) << code;
        EXPECT_LT(difference(turned, upright), difference(turned, upsideDown) / 3) << code;
    }
    ZoSetRotate(cam, 0);
    ZoEnableAutoOrient(cam, false);
}

TEST_F(EngineProcessTest, PreviewOutlinesThePageWhileAutoCropIsOn) {
    auto window = makeWindow(640, 480);
    ASSERT_EQ(ZoSetHwnd(cam, handleOf(*window)), 1);
    ASSERT_TRUE(waitForPicture(*window));
    // The outline is drawn in green; the scene itself has none.
    auto outlinePixels = [&] {
        const QImage shot = grabVideo(*window, cam);
        int count = 0;
        for (int y = 0; y < shot.height(); ++y) {
            const uchar* line = shot.constScanLine(y);
            for (int x = 0; x < shot.width(); ++x)
                count += line[3 * x + 1] > 150 && line[3 * x] < 90 && line[3 * x + 2] < 150;
        }
        return count;
    };
    EXPECT_EQ(outlinePixels(), 0);
    ZoEnableAutoRotate(cam, true);
    // About the page's perimeter (1840 window pixels) times the pen's width.
    EXPECT_TRUE(QTest::qWaitFor([&] { return outlinePixels() > 1500; }, 10000));
    ZoEnableAutoRotate(cam, false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return outlinePixels() == 0; }, 10000));
    ZoSetHwnd(cam, 0);
}
