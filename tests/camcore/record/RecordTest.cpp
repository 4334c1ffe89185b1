#include "../api/EngineFixture.h"
#include "CamCoreTesting.h"
#include "ZoApi.h"
#include "support/ForkedProgram.h"
#include "support/Mp4Probe.h"
#include "support/SoundServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <array>

#include <gtest/gtest.h>

using testing_support::Mp4Facts;
using testing_support::probeMp4;

namespace {

// Camera 0 streams 3264 x 2448, camera 1 640 x 480, both without a window, with this process's
// own sound server, whose only microphone plays a tone.
class EngineRecordTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_sound = new testing_support::SoundServer; }
    static void TearDownTestSuite() {
        delete s_sound;
        s_sound = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(s_sound->running()) << s_sound->error().toStdString();
        ZoInit();
        ZoSetDefaultResolution(0, 0);
        ZoSetDefaultResolution(1, 5);
    }
    void TearDown() override {
        ZoCloseCamera(0);
        ZoCloseCamera(1);
    }
    QByteArray path(const QString& name) const {
        return QFile::encodeName(dir.path() + "/" + name);
    }

    static testing_support::SoundServer* s_sound;
    QTemporaryDir dir;
};

testing_support::SoundServer* EngineRecordTest::s_sound = nullptr;

void expectCovers(const Mp4Facts& facts, double seconds) {
    EXPECT_NEAR(facts.videoSeconds, seconds, seconds * 0.1);
    EXPECT_NEAR(facts.audioSeconds, seconds, seconds * 0.1);
    EXPECT_EQ(facts.decodeErrors, 0);
    EXPECT_EQ(facts.corruptPackets, 0);
}

// The microphone list holds the tone and not the output's monitor; both cameras record at the
// same time, each an H.264 picture no larger than 1080p and the tone as AAC, as long as the
// recording ran.
TEST_F(EngineRecordTest, MainAndSubRecordPictureAndToneAtOnce) {
    ASSERT_EQ(ZoGetAudioCount(), 1);
    EXPECT_EQ(QString::fromLocal8Bit(ZoGetAudioName(0)).contains("Sine"), true)
        << ZoGetAudioName(0);
    ZoSetAudioDev(0);
    ASSERT_EQ(ZoOpenCamera(0, 0), 1);
    ASSERT_EQ(ZoOpenCamera(1, 0), 1);
    // The cameras stream before the recordings start: the first 8 MP picture takes seconds to
    // draw under the sanitizers on a busy machine, and a video is as long as its pictures.
    ASSERT_TRUE(QTest::qWaitFor(
        [] {
            return camcore::testing::frameCounts(0).frames > 0 &&
                   camcore::testing::frameCounts(1).frames > 0;
        },
        60000));
    QElapsedTimer mainTimer;
    QElapsedTimer subTimer;
    ASSERT_EQ(ZoStartRecordEx(0, path("main.mp4").constData(), true), 1);
    mainTimer.start();
    ASSERT_EQ(ZoStartRecordEx(1, path("sub.mp4").constData(), true), 1);
    subTimer.start();
    QTest::qWait(3000); // the recording runs meanwhile
    // Each recording ran at least from its start's return to its stop's call.
    const double subSeconds = subTimer.elapsed() / 1000.0;
    EXPECT_EQ(ZoStopRecordEx(1), 1);
    const double mainSeconds = mainTimer.elapsed() / 1000.0;
    EXPECT_EQ(ZoStopRecordEx(0), 1);

    const Mp4Facts main = probeMp4(dir.path() + "/main.mp4");
    const Mp4Facts sub = probeMp4(dir.path() + "/sub.mp4");
    for (const Mp4Facts& facts : {main, sub}) {
        ASSERT_TRUE(facts.opened);
        EXPECT_EQ(facts.videoStreams, 1);
        EXPECT_EQ(facts.audioStreams, 1);
        EXPECT_EQ(facts.videoCodec, "h264");
        EXPECT_EQ(facts.audioCodec, "aac");
        EXPECT_GT(facts.audioRms, 0.1); // the tone, not silence
    }
    expectCovers(main, mainSeconds);
    expectCovers(sub, subSeconds);
    EXPECT_EQ(main.videoSize, QSize(1440, 1080));
    EXPECT_EQ(sub.videoSize, QSize(640, 480));
}

// What the caller gets wrong is refused with nothing left on disk; closing the camera completes
// the file behind it; without sound the file has the picture alone.
TEST_F(EngineRecordTest, RefusalsAndEndings) {
    EXPECT_EQ(ZoStartRecordEx(1, path("closed.mp4").constData(), true), 0);
    ASSERT_EQ(ZoOpenCamera(1, 0), 1);
    EXPECT_EQ(ZoStartRecordEx(1, path("no/such/folder.mp4").constData(), true), 0);
    EXPECT_EQ(ZoStartRecordEx(1, "", true), 0);
    EXPECT_EQ(ZoStartRecordEx(9, path("none.mp4").constData(), true), 0);
    EXPECT_EQ(ZoStopRecordEx(1), 0);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());

    ASSERT_EQ(ZoStartRecordEx(1, path("silent.mp4").constData(), false), 1);
    EXPECT_EQ(ZoStartRecordEx(1, path("twice.mp4").constData(), true), 0);
    // The recording runs meanwhile, for twenty frames of the camera's (the sanitizers slow them).
    const std::uint64_t until = camcore::testing::frameCounts(1).frames + 20;
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return camcore::testing::frameCounts(1).frames >= until; }, 30000));
    ZoCloseCamera(1);
    EXPECT_EQ(ZoStopRecordEx(1), 0);
    ASSERT_TRUE(QTest::qWaitFor([] { return ZoRecordingsFinishing() == 0; }, 30000));
    const Mp4Facts facts = probeMp4(dir.path() + "/silent.mp4");
    ASSERT_TRUE(facts.opened);
    EXPECT_EQ(facts.videoStreams, 1);
    EXPECT_EQ(facts.audioStreams, 0);
    EXPECT_GT(facts.videoFrames, 10);
    EXPECT_FALSE(QFile::exists(dir.path() + "/twice.mp4"));
}

struct Reported {
    QString path;
    int complete = -1;
    int frames = 0;
    QImage picture;
};

void report(const ZoRecordResult* result, void* user) {
    auto& reports = *static_cast<QList<Reported>*>(user);
    QImage picture;
    if (result->pictureRgb != nullptr)
        picture = QImage(result->pictureRgb, result->pictureWidth, result->pictureHeight,
                         result->pictureBytesPerLine, QImage::Format_RGB888)
                      .copy();
    reports.push_back(
        {QString::fromLocal8Bit(result->path), result->complete, result->frames, picture});
}

// Mean grey levels of each channel.
std::array<double, 3> channelMeans(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    std::array<double, 3> sums{};
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            for (int c = 0; c < 3; ++c)
                sums[c] += rgb.constScanLine(y)[x * 3 + c];
    for (double& sum : sums)
        sum /= double(rgb.width()) * rgb.height();
    return sums;
}

// A queued stop returns while its file is still being completed, and the camera can record
// again meanwhile. Each callback then brings a file that plays, with its first picture, also
// for the recording whose camera was closed right after its stop; stopping a camera that does
// not record answers 0 and never calls back.
TEST_F(EngineRecordTest, QueuedStopCompletesTheFileBehindTheCaller) {
    ZoSetAudioDev(0);
    ASSERT_EQ(ZoOpenCamera(1, 0), 1);
    ASSERT_EQ(ZoCapture(1, path("page.jpg").constData()), 1);
    const std::array<double, 3> captured = channelMeans(QImage(dir.path() + "/page.jpg"));
    QList<Reported> reports;
    const auto recordTwentyFrames = [&](const QString& name) {
        ASSERT_EQ(ZoStartRecordEx(1, path(name).constData(), true), 1);
        const std::uint64_t until = camcore::testing::frameCounts(1).frames + 20;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return camcore::testing::frameCounts(1).frames >= until; }, 30000));
    };
    recordTwentyFrames("first.mp4");
    ASSERT_EQ(ZoStopRecordQueued(1, &report, &reports), 1);
    EXPECT_EQ(ZoRecordingsFinishing(), 1); // told on the event loop, which has not run since
    recordTwentyFrames("second.mp4");
    ASSERT_EQ(ZoStopRecordQueued(1, &report, &reports), 1);
    ZoCloseCamera(1);
    EXPECT_EQ(ZoStopRecordQueued(1, &report, &reports), 0);

    ASSERT_TRUE(QTest::qWaitFor([&] { return reports.size() == 2; }, 60000));
    EXPECT_EQ(ZoRecordingsFinishing(), 0);
    EXPECT_EQ(reports[0].path, dir.path() + "/first.mp4");
    EXPECT_EQ(reports[1].path, dir.path() + "/second.mp4");
    for (const Reported& reported : reports) {
        EXPECT_EQ(reported.complete, 1) << reported.path.toStdString();
        EXPECT_EQ(reported.picture.size(), QSize(640, 480)) << reported.path.toStdString();
        // The video shows the page in the capture's colours and levels.
        const std::array<double, 3> shown = channelMeans(reported.picture);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(shown[c], captured[c], 3.0) << "channel " << c;
        const Mp4Facts facts = probeMp4(reported.path);
        ASSERT_TRUE(facts.opened) << reported.path.toStdString();
        EXPECT_GT(facts.videoSeconds, 0.0);
        EXPECT_GT(facts.audioSeconds, 0.0);
        EXPECT_EQ(facts.videoFrames, reported.frames);
        EXPECT_GT(facts.videoFrames, 5); // of the twenty, whatever the sanitizers drop
        EXPECT_EQ(facts.decodeErrors, 0);
        EXPECT_EQ(facts.corruptPackets, 0);
    }
}

// A recording process killed mid-way leaves a file that plays up to its last second.
TEST_F(EngineRecordTest, FileOfKilledRecordingPlays) {
    const QString file = dir.path() + "/killed.mp4";
    testing_support::ForkedProgram::Options options;
    options.readOutput = true;
    testing_support::ForkedProgram child(CAMCORE_RECORD_CHILD, {"1", "5", file}, options);
    ASSERT_EQ(child.readLine(20000).value_or("(nothing)"), "recording");
    // Three key frames, a second apart, have put at least two fragments on disk.
    const auto written = [&] {
        return probeMp4(file).videoSeconds >= 2.0;
    };
    ASSERT_TRUE(QTest::qWaitFor(written, 20000));
    child.kill();
    const Mp4Facts facts = probeMp4(file);
    ASSERT_TRUE(facts.opened);
    EXPECT_EQ(facts.videoCodec, "h264");
    EXPECT_EQ(facts.audioCodec, "aac");
    EXPECT_GE(facts.videoSeconds, 2.0);
    EXPECT_EQ(facts.decodeErrors, 0);
    EXPECT_LE(facts.corruptPackets, 2); // at most the fragment being written when it was killed
}

} // namespace
