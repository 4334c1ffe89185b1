// The virtual camera playing motion (CAMCORE_VIRTUAL_SOURCE as a video file or as a folder with
// a timing list), frame by frame under the stepped clock: nothing here depends on the machine's
// speed.

#include "FrameCollector.h"
#include "device/virtual/VirtualCamera.h"
#include "record/Mp4Muxer.h"
#include "record/VideoEncoder.h"
#include "support/QtMessages.h"

#include <QColor>
#include <QFile>
#include <QMutex>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using namespace camcore;
using device_test::decodeFrame;
using device_test::FrameCollector;

constexpr Resolution kVga{640, 480};

const QColor kRed(220, 30, 30), kGreen(30, 200, 30), kBlue(30, 30, 220);

// Writes an H.264 MP4 with the engine's recorder: each colour filling a picture of `size` from
// its millisecond on, the last one the video's last picture.
bool writeVideo(const QString& path, QSize size, const std::vector<std::pair<QColor, int>>& shown) {
    VideoEncoder encoder;
    Mp4Muxer muxer;
    if (!encoder.open(size) || !muxer.create(path))
        return false;
    const int stream = muxer.addStream(encoder.context());
    if (stream < 0 || !muxer.start())
        return false;
    const auto sink = [&](AVPacket& packet) {
        muxer.write(packet, stream, encoder.timeBase());
    };
    for (const auto& [colour, milliseconds] : shown) {
        QImage picture(size, QImage::Format_RGB888);
        picture.fill(colour);
        if (!encoder.encode(picture, milliseconds, sink))
            return false;
    }
    encoder.flush(sink);
    return muxer.finish();
}

bool writePicture(const QString& path, const QColor& colour) {
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(colour);
    return picture.save(path);
}

bool writeText(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// 'r'ed, 'g'reen, 'b'lue, 'd'ark background or '?' at a point of a frame.
char shade(const Frame& frame, QPoint at) {
    const QImage image = decodeFrame(frame, true);
    if (image.isNull())
        return '?';
    const QRgb p = image.pixel(at);
    const auto dominant = [](int main, int a, int b) {
        return main > 150 && a < 90 && b < 90;
    };
    if (dominant(qRed(p), qGreen(p), qBlue(p)))
        return 'r';
    if (dominant(qGreen(p), qRed(p), qBlue(p)))
        return 'g';
    if (dominant(qBlue(p), qRed(p), qGreen(p)))
        return 'b';
    return qGray(p) < 40 ? 'd' : '?';
}

// Steps the camera one frame at a time, `count` times, and returns each frame.
std::vector<Frame> stepEach(VirtualCamera& camera, FrameCollector& frames, int count) {
    std::vector<Frame> made;
    for (int i = 0; i < count; ++i) {
        if (!camera.stepFrames(1))
            break;
        made.push_back(frames.last());
    }
    return made;
}

std::string shadesAt(const std::vector<Frame>& made, QPoint at) {
    std::string result;
    for (const Frame& frame : made)
        result += shade(frame, at);
    return result;
}

// Every qWarning of the process while it lives, from any thread, passed on to the handler before
// it (which fails the test on a warning not expected).
class Warnings {
public:
    Warnings() {
        s_self = this;
        s_previous = qInstallMessageHandler(&Warnings::handle);
    }
    ~Warnings() {
        qInstallMessageHandler(s_previous);
        s_self = nullptr;
    }
    // The warnings that contain `text`.
    QStringList containing(const QString& text) {
        const QMutexLocker lock(&m_mutex);
        return m_said.filter(text);
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (type == QtWarningMsg && s_self != nullptr) {
            const QMutexLocker lock(&s_self->m_mutex);
            s_self->m_said << message;
        }
        if (s_previous != nullptr)
            s_previous(type, context, message);
    }
    static inline Warnings* s_self = nullptr;
    static inline QtMessageHandler s_previous = nullptr;
    QMutex m_mutex;
    QStringList m_said;
};

// Frame k of a stepped stream shows the video at k/15 s: red from 0, green from 0.5 s, blue from
// 1.1 s on, its last picture, held. 16:9 fits a 4:3 frame with dark bands above and below. A new
// stream plays from the start again.
TEST(VirtualMotionTest, VideoPlaysInStepsAtItsTimesAndHoldsItsLastPicture) {
    QTemporaryDir dir;
    const QString video = dir.filePath("pages.mp4");
    ASSERT_TRUE(writeVideo(video, {320, 180}, {{kRed, 0}, {kGreen, 500}, {kBlue, 1100}}));

    VirtualCamera camera(1, video);
    camera.setSteppedClock(true);
    EXPECT_FALSE(camera.stepFrames(1)) << "not streaming";
    FrameCollector frames;
    ASSERT_TRUE(camera.start(kVga, frames.onFrame(), frames.onLost()));
    const std::vector<Frame> made = stepEach(camera, frames, 30);
    ASSERT_EQ(made.size(), 30u);
    EXPECT_EQ(frames.count(), 30) << "a frame came unasked";
    // 0 .. 0.467 s red, 0.533 .. 1.067 s green, 1.133 s on blue.
    EXPECT_EQ(shadesAt(made, {320, 240}),
              std::string(8, 'r') + std::string(9, 'g') + std::string(13, 'b'));
    EXPECT_EQ(shadesAt({made.front(), made.back()}, {320, 20}), "dd");
    EXPECT_EQ(shadesAt({made.front(), made.back()}, {320, 460}), "dd");
    EXPECT_EQ(shadesAt({made.front(), made.back()}, {4, 240}), "rb") << "fills the width";

    ASSERT_TRUE(camera.stepFrames(15)); // many at once: all made before it returns
    EXPECT_EQ(frames.count(), 45);
    EXPECT_EQ(shade(frames.last(), {320, 240}), 'b');
    camera.stop();
    EXPECT_FALSE(camera.stepFrames(1)) << "stopped";

    frames.newStream();
    ASSERT_TRUE(camera.start(kVga, frames.onFrame(), frames.onLost()));
    EXPECT_EQ(shadesAt(stepEach(camera, frames, 9), {320, 240}), "rrrrrrrrg");
    camera.stop();
    EXPECT_TRUE(frames.inSequence());
    EXPECT_EQ(frames.lost(), 0);
}

// Each line of timing.txt shows its picture for its seconds, in the list's order (a picture may
// come twice, a name may hold spaces), and the last one holds; turning the page changes nothing.
TEST(VirtualMotionTest, TimingListShowsEachPictureForItsTime) {
    QTemporaryDir dir;
    ASSERT_TRUE(writePicture(dir.filePath("a.png"), kRed));
    ASSERT_TRUE(writePicture(dir.filePath("b.png"), kBlue));
    ASSERT_TRUE(writePicture(dir.filePath("page c.png"), kGreen));
    ASSERT_TRUE(writeText(dir.filePath("timing.txt"), "# the book, page by page\n"
                                                      "a.png 0.5\n"
                                                      "\n"
                                                      "  b.png\t 1\n"
                                                      "a.png 0.25\n"
                                                      "page c.png   1\n"));

    VirtualCamera camera(1, dir.path());
    camera.setSteppedClock(true);
    FrameCollector frames;
    ASSERT_TRUE(camera.start(kVga, frames.onFrame(), frames.onLost()));
    std::vector<Frame> made = stepEach(camera, frames, 20);
    camera.turnPage();
    const std::vector<Frame> more = stepEach(camera, frames, 12);
    made.insert(made.end(), more.begin(), more.end());
    ASSERT_EQ(made.size(), 32u);
    // Until 0.5 s red, until 1.5 s blue, until 1.75 s red, then green.
    EXPECT_EQ(shadesAt(made, {320, 240}), std::string(8, 'r') + std::string(15, 'b') +
                                              std::string(4, 'r') + std::string(5, 'g'));
    camera.stop();
}

// A file that is no video, and a timing list with a missing picture and bad seconds: the camera
// streams all the same, says why once, naming the file (and the line), and plays what it can:
// the missing picture's time shows the document.
TEST(VirtualMotionTest, BrokenVideoOrTimingListStillStreamsAndSaysWhyOnce) {
    Warnings warnings;
    const testing_support::ExpectQtWarning expected("virtual camera: ");
    VirtualCamera plain(1);
    plain.setSteppedClock(true);
    FrameCollector frames;
    ASSERT_TRUE(plain.start(kVga, frames.onFrame(), frames.onLost()));
    ASSERT_TRUE(plain.stepFrames(1));
    const Frame document = frames.last();
    plain.stop();
    ASSERT_FALSE(document.empty());

    QTemporaryDir dir;
    const QString video = dir.filePath("clip.mp4");
    ASSERT_TRUE(writeText(video, "not a video at all"));
    VirtualCamera camera(2, video);
    camera.setSteppedClock(true);
    for (int stream = 0; stream < 2; ++stream) {
        frames.newStream();
        ASSERT_TRUE(camera.start(kVga, frames.onFrame(), frames.onLost()));
        ASSERT_TRUE(camera.stepFrames(3));
        ASSERT_FALSE(frames.last().empty());
        EXPECT_TRUE(*frames.last().bytes == *document.bytes) << "not the document";
        camera.stop();
    }
    EXPECT_EQ(warnings.containing(video).size(), 1)
        << warnings.containing(video).join('\n').toStdString();

    ASSERT_TRUE(writePicture(dir.filePath("a.png"), kRed));
    ASSERT_TRUE(writePicture(dir.filePath("b.png"), kBlue));
    const QString list = dir.filePath("timing.txt");
    ASSERT_TRUE(writeText(list, "a.png 0.5\n"
                                "missing.png 1\n"
                                "b.png soon\n"
                                "b.png\n"
                                "b.png -1\n"
                                "b.png 1\n"));
    camera.setSource(dir.path());
    frames.newStream();
    ASSERT_TRUE(camera.start(kVga, frames.onFrame(), frames.onLost()));
    const std::vector<Frame> made = stepEach(camera, frames, 25);
    camera.stop();
    ASSERT_EQ(made.size(), 25u);
    EXPECT_EQ(shadesAt({made[0], made[7], made[23], made[24]}, {320, 240}), "rrbb");
    for (int k = 8; k <= 22; ++k)
        EXPECT_TRUE(*made[k].bytes == *document.bytes) << "frame " << k << " not the document";
    for (int line = 2; line <= 5; ++line) {
        const QStringList said = warnings.containing(QStringLiteral("%1:%2:").arg(list).arg(line));
        EXPECT_EQ(said.size(), 1) << "line " << line;
    }
    EXPECT_EQ(warnings.containing("missing.png").size(), 1);
    EXPECT_TRUE(warnings.containing(QStringLiteral("%1:6:").arg(list)).isEmpty());
}

} // namespace
