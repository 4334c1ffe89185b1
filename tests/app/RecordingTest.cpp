#include "CameraFixture.h"

#include "CamCoreTesting.h"
#include "ThumbnailApi.h"
#include "ThumbnailLibrary.h"
#include "ZoApi.h"
#include "support/Mp4Probe.h"
#include "support/SoundServer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPrintDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

namespace {

using namespace app_test;
using testing_support::probeMp4;

// The window records with the suite's own sound server, whose only microphone plays a tone.
class RecordingTest : public CameraTest {
protected:
    static void SetUpTestSuite() { s_sound = new testing_support::SoundServer; }
    static void TearDownTestSuite() {
        delete s_sound;
        s_sound = nullptr;
    }
    void SetUp() override {
        CameraTest::SetUp();
        ASSERT_TRUE(s_sound->running()) << s_sound->error().toStdString();
    }
    std::unique_ptr<MainForm> start(const QByteArray& settings) {
        auto form = makeFormWith(2, "WorkPath=" + QFile::encodeName(work.path()) + "\n" + settings);
        return form;
    }
    QStringList recordings() const {
        return QDir(work.path()).entryList({"*.mp4"}, QDir::Files, QDir::Name);
    }
    // Every file stopped has been completed, and the window told.
    static bool waitForFiles() {
        return QTest::qWaitFor([] { return ZoRecordingsFinishing() == 0; }, 60000);
    }
    // The strip's entries: path, and whether it is checked.
    static QList<QPair<QString, bool>> strip(MainForm& form) {
        ThumbnailLibrary& library = form.thumbnails();
        const auto count = library.entry<GetImgCountFn>("GetImgCount");
        const auto path = library.entry<GetImageFilePathFn>("GetImageFilePath");
        const auto checked = library.entry<IsCheckedFn>("IsChecked");
        QList<QPair<QString, bool>> entries;
        for (int i = 0; count != nullptr && i < count(); ++i)
            entries.append({QString::fromLocal8Bit(path(i)), checked(i) != 0});
        return entries;
    }

    static testing_support::SoundServer* s_sound;
    QTemporaryDir work;
};

testing_support::SoundServer* RecordingTest::s_sound = nullptr;

// The stored microphone is chosen at start. Each button shows the stop text exactly while its
// recording runs, whatever the language, and stops the camera it started even after main and
// sub changed roles; recordings started in the same second get distinct names, and each file
// holds the picture and the tone.
TEST_F(RecordingTest, ButtonsFollowTheirOwnRecordings) {
    const int from = traceLines().size();
    auto form = start("DevIndex=0\nResolution=5\nOpenSub=1\nAudioIndex=0\n");
    EXPECT_TRUE(callsSince(from).contains("ZoSetAudioDev(0)"));
    QAbstractButton* mainButton = button(*form, "pushButtonRec");
    QAbstractButton* subButton = button(*form, "pushButtonSubRec");
    ASSERT_EQ(subButton->text(), "Record");

    const int started = traceLines().size();
    subButton->click();
    mainButton->click();
    EXPECT_EQ(subButton->text(), "Stop");
    EXPECT_EQ(mainButton->text(), "Stop");
    const QStringList names = recordings();
    ASSERT_EQ(names.size(), 2) << callsSince(started).join(' ').toStdString();
    for (const QString& name : names)
        EXPECT_TRUE(QRegularExpression("^\\d{14}(_2)?\\.mp4$").match(name).hasMatch())
            << name.toStdString();

    form->applyLanguage(0);
    EXPECT_EQ(subButton->text(), QStringLiteral("停止录像"));
    button(*form, "pushButtonSwitchMainSub")->click();
    ASSERT_EQ(form->subCamera(), 0);
    QTest::qWait(2000); // the recording runs meanwhile

    const int stopped = traceLines().size();
    subButton->click();
    EXPECT_EQ(subButton->text(), QStringLiteral("开始录像"));
    EXPECT_EQ(mainButton->text(), QStringLiteral("停止录像"));
    mainButton->click();
    EXPECT_EQ(mainButton->text(), QStringLiteral("开始录像"));
    QStringList stops;
    for (const QString& call : callsSince(stopped))
        if (call.startsWith("ZoStopRecord") && !call.contains(" done"))
            stops << call.section(',', 0, 0);
    EXPECT_EQ(stops, QStringList({"ZoStopRecordQueued(1", "ZoStopRecordQueued(0"}));
    ASSERT_TRUE(waitForFiles());
    for (const QString& name : names) {
        const auto facts = probeMp4(work.path() + "/" + name);
        EXPECT_EQ(facts.videoCodec, "h264") << name.toStdString();
        EXPECT_EQ(facts.audioCodec, "aac") << name.toStdString();
        EXPECT_GT(facts.audioRms, 0.1) << name.toStdString();
    }
}

// Turning the sub camera off while it records completes its file and puts the button back; a
// recording that cannot start is not shown as running, and a message says so.
TEST_F(RecordingTest, ClosedCameraAndFailedStart) {
    auto form = start("DevIndex=0\nResolution=5\nOpenSub=1\n");
    QAbstractButton* subButton = button(*form, "pushButtonSubRec");
    subButton->click();
    ASSERT_EQ(subButton->text(), "Stop");
    // The recording runs for twenty of the sub camera's frames (the sanitizers slow them).
    const int sub = form->subCamera();
    const std::uint64_t until = camcore::testing::frameCounts(sub).frames + 20;
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return camcore::testing::frameCounts(sub).frames >= until; }, 30000));
    button(*form, "checkBoxPIP")->click(); // the sub camera's switch
    ASSERT_FALSE(button(*form, "checkBoxPIP")->isChecked());
    EXPECT_EQ(subButton->text(), "Record");
    ASSERT_EQ(recordings().size(), 1);
    // Its file is completed behind the window, and listed like one stopped by its button.
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip(*form).size() == 1; }, 60000));
    EXPECT_EQ(strip(*form).front().first, work.path() + "/" + recordings().front());
    const auto facts = probeMp4(work.path() + "/" + recordings().front());
    EXPECT_EQ(facts.videoCodec, "h264");
    EXPECT_GT(facts.videoFrames, 5);

    QAbstractButton* mainButton = button(*form, "pushButtonRec");
    ASSERT_TRUE(QDir(work.path()).removeRecursively());
    mainButton->click();
    EXPECT_EQ(mainButton->text(), "Record");
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().front().second.startsWith("The recording could not start"));
}

// Stop gives the window back at once: the button starts again while the sign beside it says the
// video is being finished (and while recording, showed a red mark and the time in mm:ss), in the
// window's language. The finished video then joins the strip unchecked, with its path, and the
// sign goes. Closing the program right after a stop waits behind the saving notice until the
// file is complete.
TEST_F(RecordingTest, StopReturnsAtOnceAndTheVideoJoinsTheStrip) {
    auto form = start("DevIndex=0\nResolution=5\nAudioIndex=0\nLanguage=1\n");
    QAbstractButton* mainButton = button(*form, "pushButtonRec");
    auto* sign = control<QLabel>(*form, "labelRecSign");
    ASSERT_NE(sign, nullptr);
    EXPECT_TRUE(sign->isHidden());
    const int main = form->mainCamera();
    const auto recordTwentyFrames = [&](const QString& stopText) {
        mainButton->click();
        ASSERT_EQ(mainButton->text(), stopText);
        const std::uint64_t until = camcore::testing::frameCounts(main).frames + 20;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return camcore::testing::frameCounts(main).frames >= until; }, 30000));
    };
    recordTwentyFrames("Stop");
    ASSERT_EQ(recordings().size(), 1);
    const QString first = work.path() + "/" + recordings().front();
    EXPECT_FALSE(sign->isHidden());
    const QRegularExpression clock("\\d\\d:\\d\\d$");
    EXPECT_TRUE(clock.match(sign->text()).hasMatch()) << sign->text().toStdString();
    const QString shown = sign->text(); // the clock goes on
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return sign->text() != shown && clock.match(sign->text()).hasMatch(); }, 30000));

    const int before = strip(*form).size();
    mainButton->click();
    EXPECT_EQ(mainButton->text(), "Record");
    EXPECT_EQ(sign->text(), "Finishing the video");
    form->applyLanguage(0);
    EXPECT_EQ(sign->text(), QStringLiteral("正在完成视频"));
    EXPECT_EQ(mainButton->text(), QStringLiteral("开始录像"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip(*form).size() == before + 1; }, 60000));
    EXPECT_EQ(strip(*form).back(), qMakePair(first, false));
    EXPECT_TRUE(sign->isHidden());
    EXPECT_TRUE(messages().isEmpty());

    recordTwentyFrames(QStringLiteral("停止录像"));
    const QString second = work.path() + "/" + recordings().back();
    ASSERT_NE(second, first);
    mainButton->click();
    form->close();
    const auto* notice = control<QLabel>(*form, "labelSavingPages");
    ASSERT_NE(notice, nullptr); // the file is told complete on the event loop, not run since
    EXPECT_EQ(notice->text(), QStringLiteral("正在保存视频"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 60000));
    EXPECT_EQ(ZoRecordingsFinishing(), 0);
    for (const QString& file : {first, second}) {
        const auto facts = probeMp4(file);
        EXPECT_EQ(facts.videoCodec, "h264") << file.toStdString();
        EXPECT_GT(facts.videoFrames, 5) << file.toStdString();
        EXPECT_GT(facts.videoSeconds, 0.0) << file.toStdString();
        EXPECT_EQ(facts.corruptPackets, 0) << file.toStdString();
        EXPECT_EQ(facts.decodeErrors, 0) << file.toStdString();
    }
}

// The print button prints the main camera's picture through the print dialog; without a printer
// the dialog prints to a PDF file in the work folder: one landscape page holding the picture.
// Another camera leaving renumbers the list: the stop still reaches the recording camera. The
// recording camera leaving completes its file, and its button starts again.
TEST_F(RecordingTest, RecordingsFollowTheirCameraThroughUnplugs) {
    auto form = start("DevIndex=1\nResolution=5\n");
    QAbstractButton* mainButton = button(*form, "pushButtonRec");
    mainButton->click();
    ASSERT_EQ(mainButton->text(), "Stop");
    QTest::qWait(1000); // the recording runs meanwhile
    const int from = traceLines().size();
    ASSERT_TRUE(camcore::testing::unplugVirtualCamera(0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->mainCamera() == 0; }));
    mainButton->click();
    const QStringList stops = callsSince(from).filter("ZoStopRecordQueued(");
    ASSERT_EQ(stops.size(), 1);
    EXPECT_TRUE(stops.front().startsWith("ZoStopRecordQueued(0,")) << stops.front().toStdString();
    EXPECT_EQ(mainButton->text(), "Record");

    mainButton->click();
    ASSERT_EQ(mainButton->text(), "Stop");
    QTest::qWait(1000); // the recording runs meanwhile
    ASSERT_TRUE(camcore::testing::unplugVirtualCamera(1));
    EXPECT_TRUE(QTest::qWaitFor([&] { return mainButton->text() == "Record"; }));
    ASSERT_TRUE(waitForFiles());
    ASSERT_EQ(recordings().size(), 2);
    for (const QString& name : recordings())
        EXPECT_GT(probeMp4(work.path() + "/" + name).videoFrames, 5) << name.toStdString();
}

TEST_F(RecordingTest, PrintWithoutPrinterMakesPdf) {
    auto form = start("DevIndex=0\nResolution=5\n");
    bool asked = false;
    QTimer answer; // the dialog opens once the picture is made behind the window
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
            asked = true;
            dialog->accept();
        }
    });
    answer.start(10);
    button(*form, "pushButtonPrint")->click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return asked && !QDir(work.path()).entryList({"*.pdf"}).isEmpty(); }, 30000));
    const QStringList pdfs = QDir(work.path()).entryList({"*.pdf"}, QDir::Files);
    ASSERT_EQ(pdfs.size(), 1);
    const QString pdf = work.path() + "/" + pdfs.front();

    QProcess info;
    info.start("pdfinfo", {pdf});
    ASSERT_TRUE(info.waitForFinished());
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QRegularExpression("Pages:\\s+1\\n"))) << text.toStdString();
    const auto size = QRegularExpression("Page size:\\s+([\\d.]+) x ([\\d.]+)").match(text);
    ASSERT_TRUE(size.hasMatch()) << text.toStdString();
    EXPECT_GT(size.captured(1).toDouble(), size.captured(2).toDouble()); // landscape

    QProcess images;
    images.start("pdfimages", {"-list", pdf});
    ASSERT_TRUE(images.waitForFinished());
    const QStringList lines =
        QString::fromUtf8(images.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << lines.join('\n').toStdString(); // two heading lines, one image
    const QStringList columns = lines[2].simplified().split(' ');
    EXPECT_EQ(columns.value(3), "640");
    EXPECT_EQ(columns.value(4), "480");
}

} // namespace
