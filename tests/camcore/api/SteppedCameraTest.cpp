#include "CamCoreTesting.h"
#include "EngineFixture.h"
#include "ZoApi.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <utility>

using namespace engine_test;
using camcore::testing::frameCounts;
using camcore::testing::setVirtualCameraSource;
using camcore::testing::setVirtualClockStepped;
using camcore::testing::stepVirtualFrames;

namespace {

// 'r'ed, 'b'lue or '?' in the middle of a captured picture.
char middleShade(const QString& path) {
    const QImage image(path);
    if (image.isNull())
        return '?';
    const QRgb p = image.pixel(image.width() / 2, image.height() / 2);
    if (qRed(p) > 150 && qGreen(p) < 90 && qBlue(p) < 90)
        return 'r';
    if (qBlue(p) > 150 && qRed(p) < 90 && qGreen(p) < 90)
        return 'b';
    return '?';
}

} // namespace

// A scripted sequence through the engine's interface: a camera plays a timing list under the
// stepped clock, the engine receives exactly the frames stepped, and a capture after each step
// shows the picture of that moment of play, whatever the machine's speed.
TEST(EngineSteppedCameraTest, CapturesFollowATimingListFrameByFrame) {
    QTemporaryDir dir;
    for (const auto& [name, colour] :
         {std::pair{"red.png", QColor(220, 30, 30)}, std::pair{"blue.png", QColor(30, 30, 220)}}) {
        QImage picture(400, 300, QImage::Format_RGB32);
        picture.fill(colour);
        ASSERT_TRUE(picture.save(dir.filePath(name)));
    }
    QFile list(dir.filePath("timing.txt"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly) && list.write("red.png 0.5\nblue.png 1\n") > 0);
    list.close();

    ZoInit();
    const int cam = 0;
    const auto restore = qScopeGuard([&] {
        ZoCloseCamera(cam);
        setVirtualCameraSource(cam, nullptr);
        setVirtualClockStepped(cam, false);
        ZoSetDefaultResolution(cam, 0);
    });
    ASSERT_TRUE(setVirtualCameraSource(cam, QFile::encodeName(dir.path()).constData()));
    ASSERT_TRUE(setVirtualClockStepped(cam, true));
    ASSERT_EQ(ZoSetDefaultResolution(cam, 5), 1); // 640 x 480
    ASSERT_EQ(ZoOpenCamera(cam, 0), 1);
    const std::uint64_t before = frameCounts(cam).frames;

    std::string shown;
    int captures = 0;
    // Frames 1, 8 (0.467 s into play), 9 (0.533 s) and 39 (2.533 s, the last picture held).
    for (int frames : {1, 7, 1, 30}) {
        ASSERT_TRUE(stepVirtualFrames(cam, frames));
        const QString path = dir.filePath(QStringLiteral("capture-%1.png").arg(++captures));
        ASSERT_EQ(ZoCapture(cam, QFile::encodeName(path).constData()), 1);
        shown += middleShade(path);
    }
    EXPECT_EQ(shown, "rrbb");
    EXPECT_EQ(frameCounts(cam).frames, before + 39) << "a frame came unasked";
    EXPECT_FALSE(stepVirtualFrames(7, 1)) << "no such camera";
}
