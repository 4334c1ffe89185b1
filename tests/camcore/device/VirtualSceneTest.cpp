// Reads zxing-cpp results as UTF-8 std::string.
#define ZX_USE_UTF8 1

#include "FrameCollector.h"
#include "device/virtual/DocumentScene.h"
#include "device/virtual/VirtualCamera.h"
#include "device/virtual/VirtualEnvironment.h"
#include "support/QtMessages.h"

#include <QColor>
#include <QFile>
#include <QTemporaryDir>

#include <ZXing/ReadBarcode.h>

#include <gtest/gtest.h>

#include <linux/videodev2.h>

#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>

namespace {

using namespace camcore;
using device_test::decodeFrame;
using device_test::FrameCollector;

// One frame of a camera showing its current page at `size`.
Frame oneFrame(VirtualCamera& camera, Resolution size) {
    FrameCollector frames;
    if (!camera.start(size, frames.onFrame(), frames.onLost()))
        return {};
    const Frame frame = frames.frameAfterChange();
    camera.stop();
    return frame;
}

// The text of every QR code and Code 128 barcode in the frame, by format.
std::map<ZXing::BarcodeFormat, std::string> readCodes(const Frame& frame) {
    const QImage grey = decodeFrame(frame);
    const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(),
                                ZXing::ImageFormat::Lum, static_cast<int>(grey.bytesPerLine()));
    // Downscaling trips an assertion in this zxing-cpp version on some large frames.
    const auto hints = ZXing::DecodeHints()
                           .setFormats(ZXing::BarcodeFormat::QRCode | ZXing::BarcodeFormat::Code128)
                           .setTryDownscale(false);
    std::map<ZXing::BarcodeFormat, std::string> codes;
    for (const ZXing::Result& result : ZXing::ReadBarcodes(view, hints))
        if (result.isValid())
            codes[result.format()] = result.text();
    return codes;
}

TEST(VirtualSceneTest, CodesCarryThePageAndTurningThePageChangesThem) {
    VirtualCamera camera(1);
    EXPECT_EQ(camera.page(), 1);
    FrameCollector frames;
    ASSERT_TRUE(camera.start({1280, 960}, frames.onFrame(), frames.onLost()));
    const Frame first = frames.frameAfterChange();
    auto codes = readCodes(first);
    EXPECT_EQ(codes[ZXing::BarcodeFormat::QRCode], "DOCSCAN-PAGE-1");
    EXPECT_EQ(codes[ZXing::BarcodeFormat::Code128], "PAGE1-12345");

    camera.turnPage();
    EXPECT_EQ(camera.page(), 2);
    const Frame second = frames.frameAfterChange();
    ASSERT_FALSE(first.empty() || second.empty());
    EXPECT_NE(*second.bytes, *first.bytes);
    codes = readCodes(second);
    EXPECT_EQ(codes[ZXing::BarcodeFormat::QRCode], "DOCSCAN-PAGE-2");
    EXPECT_EQ(codes[ZXing::BarcodeFormat::Code128], "PAGE2-12345");
    camera.stop();
}

TEST(VirtualSceneTest, PageLiesAskewOnADarkerDesk) {
    const QSize size(640, 480);
    for (int page = 1; page <= 6; ++page) {
        const DocumentLayout layout = documentLayout(size, page);
        ASSERT_EQ(layout.corners.size(), 4);
        EXPECT_TRUE(std::abs(layout.angle) >= 3.0 && std::abs(layout.angle) <= 6.0);
        double area = 0; // shoelace formula
        for (int i = 0; i < 4; ++i) {
            const QPointF a = layout.corners[i], b = layout.corners[(i + 1) % 4];
            EXPECT_TRUE(QRectF(QPointF(0, 0), QSizeF(size)).contains(a)) << "page " << page;
            area += a.x() * b.y() - b.x() * a.y();
        }
        const double coverage = std::abs(area) / 2 / (size.width() * size.height());
        EXPECT_TRUE(coverage > 0.60 && coverage < 0.75) << coverage;
    }

    // The picture agrees with the layout: paper inside the corners, desk outside them.
    VirtualCamera camera(1);
    const QImage grey = decodeFrame(oneFrame(camera, {640, 480}));
    ASSERT_FALSE(grey.isNull());
    const QPolygonF corners = documentLayout(size, 1).corners;
    const QPointF centre = (corners[0] + corners[2]) / 2;
    const QPointF nearCorner = corners[0] + (centre - corners[0]) * 0.04;
    const QPointF outsideCorner = corners[0] - (centre - corners[0]) * 0.04;
    EXPECT_GT(qGray(grey.pixel(nearCorner.toPoint())), 170);
    EXPECT_LT(qGray(grey.pixel(outsideCorner.toPoint())), 120);
    EXPECT_LT(qGray(grey.pixel(3, 3)), 120);
}

// What the folder test's pictures show at each point: 'r'ed, 'b'lue, 'd'ark background or '?'.
std::string shades(const QImage& image, std::initializer_list<QPoint> points) {
    std::string result;
    for (QPoint at : points) {
        const QRgb p = image.pixel(at);
        const bool red = qRed(p) > 180 && qGreen(p) < 80 && qBlue(p) < 80;
        const bool blue = qBlue(p) > 180 && qRed(p) < 80 && qGreen(p) < 80;
        result += red ? 'r' : blue ? 'b' : qGray(p) < 40 ? 'd' : '?';
    }
    return result;
}

TEST(VirtualSceneTest, FolderPicturesAreShownInNameOrderScaledAndCentred) {
    QTemporaryDir dir;
    QImage wide(400, 300, QImage::Format_RGB32), tall(150, 300, QImage::Format_RGB32);
    wide.fill(QColor(220, 30, 30));
    tall.fill(QColor(30, 30, 220));
    ASSERT_TRUE(tall.save(dir.filePath("b-tall.png")) && wide.save(dir.filePath("a-wide.PNG")));
    QFile(dir.filePath("notes.txt")).open(QIODevice::WriteOnly);

    VirtualCamera camera(1, dir.path());
    FrameCollector frames;
    ASSERT_TRUE(camera.start({640, 480}, frames.onFrame(), frames.onLost()));
    // 4:3 fills the frame; 1:2 is scaled to 240 x 480 in the middle.
    EXPECT_EQ(
        shades(decodeFrame(frames.frameAfterChange(), true), {{320, 240}, {4, 4}, {635, 475}}),
        "rrr");
    camera.turnPage();
    EXPECT_EQ(shades(decodeFrame(frames.frameAfterChange(), true),
                     {{320, 240}, {210, 10}, {430, 470}, {190, 240}, {450, 240}}),
              "bbbdd");

    camera.turnPage(); // wraps around; controls apply to pictures too
    ASSERT_TRUE(camera.setControl(V4L2_CID_BRIGHTNESS, -64));
    const QRgb centre = decodeFrame(frames.frameAfterChange(), true).pixel(320, 240);
    EXPECT_TRUE(qRed(centre) > 130 && qRed(centre) < 180 && qBlue(centre) < 30);
    camera.stop();
}

// The scene is drawn the same every time, so a folder without pictures must give the very
// frame a camera without a folder gives.
TEST(VirtualSceneTest, FolderWithoutPicturesShowsTheDocument) {
    VirtualCamera plain(1);
    const Frame document = oneFrame(plain, {640, 480});
    ASSERT_FALSE(document.empty());

    const testing_support::ExpectQtWarning missing("virtual camera: there is no folder or file");
    QTemporaryDir empty, broken;
    QFile file(broken.filePath("scan.jpg"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("not a picture") > 0);
    file.close();
    for (const QString& folder : {empty.path(), broken.path(), empty.filePath("missing")}) {
        VirtualCamera camera(2, folder);
        const Frame frame = oneFrame(camera, {640, 480});
        ASSERT_FALSE(frame.empty()) << folder.toStdString();
        EXPECT_EQ(*frame.bytes, *document.bytes) << folder.toStdString();
    }
}

TEST(VirtualSceneTest, EnvironmentChoosesTheCameras) {
    for (auto [text, count] : {std::pair{"", 0}, {" 3\n", 3}, {"-1", 0}, {"2x", 0}, {"1000", 8}})
        EXPECT_EQ(parseVirtualCameraCount(text), count) << text;
    EXPECT_FALSE(parseVirtualSource(""));

    // Read once: later changes of the variable make no difference.
    setenv("CAMCORE_VIRTUAL_CAMERAS", "2", 1);
    unsetenv("CAMCORE_VIRTUAL_SOURCE");
    VirtualDeviceSource& source = VirtualDeviceSource::instance();
    setenv("CAMCORE_VIRTUAL_CAMERAS", "5", 1);
    ASSERT_EQ(source.all().size(), 2u);
    source.all()[0]->unplug();
    const auto present = source.devices();
    ASSERT_EQ(present.size(), 1u);
    EXPECT_EQ(present[0]->identity().key, "virtual:2");
    source.all()[0]->replug();
    EXPECT_EQ(source.devices().size(), 2u);
    unsetenv("CAMCORE_VIRTUAL_CAMERAS");
}

} // namespace
