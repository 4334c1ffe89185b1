#include "CamCoreTesting.h"
#include "CameraFixture.h"
#include "CommandServer.h"
#include "CommandSocket.h"
#include "SendCommand.h"
#include "platform/Message.h"

#include <QAbstractButton>
#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace {

using namespace app_test;

constexpr int kDone = 0;
constexpr int kFailed = 2;
constexpr int kIgnored = 3;
constexpr int kCaptureFailed = 4;

class CommandsTest : public CameraTest {
protected:
    void TearDown() override {
        form.reset();
        CameraTest::TearDown();
    }
    void start(const QByteArray& settings) {
        form = makeFormWith(2, settings);
        ASSERT_TRUE(waitForVideo(*form));
        from = traceLines().size();
    }
    // The engine calls since the last look, by name only.
    QStringList newCalls() {
        const QStringList calls = callsSince(from);
        from = traceLines().size();
        QStringList names;
        for (const QString& call : calls)
            names.append(call.section('(', 0, 0));
        return names;
    }
    int pictures() const {
        return QDir(papyraDir()).entryList({QStringLiteral("*.jpg")}, QDir::Files).size();
    }

    std::unique_ptr<MainForm> form;
    int from = 0;
};

TEST_F(CommandsTest, TheFirstWordOfTheTableDecidesAndOnlyTheWordsBeforeANulCount) {
    start("DevIndex=0\nOpenSub=1\n");
    QSignalSpy ending(qApp, &QCoreApplication::aboutToQuit);

    EXPECT_EQ(sendCommand("RotateRPhoto").exitCode, kDone);
    EXPECT_EQ(newCalls().filter(QRegularExpression("^Zo(RotateRight|Capture)$")),
              QStringList{"ZoRotateRight"});
    EXPECT_EQ(sendCommand("ZommOut").exitCode, kDone);
    EXPECT_TRUE(newCalls().contains("ZoZoomIn")) << "ZommOut enlarges";
    EXPECT_EQ(sendCommand("ZommIn").exitCode, kDone);
    EXPECT_TRUE(newCalls().contains("ZoZoomOut")) << "ZommIn reduces";

    for (const QByteArray& nothing :
         {QByteArray("FreeZeExit"), QByteArray("ab\0Exit", 7), QByteArray("RemoveCameraExit"),
          QByteArray("photo rotater"), QByteArray()}) {
        const SendResult result = sendCommand(nothing);
        EXPECT_EQ(result.exitCode, kIgnored) << nothing.toStdString();
        EXPECT_TRUE(result.error.contains("ignored")) << result.error.toStdString();
    }
    EXPECT_EQ(newCalls().filter(QRegularExpression("^Zo(Rotate|Zoom|Capture)")), QStringList{});
    EXPECT_EQ(ending.count(), 0) << "Exit after FreeZe or after a NUL ended the program";
    EXPECT_EQ(pictures(), 0);

    EXPECT_EQ(sendCommand("xxPhotoyy").exitCode, kDone);
    EXPECT_EQ(pictures(), 1) << "the answer comes once the picture is written";

    // Picture-in-picture owns the mouse: the zoom words change nothing.
    button(*form, "checkBoxInVideo")->click();
    ASSERT_FALSE(form->zoomEnabled());
    newCalls();
    EXPECT_EQ(sendCommand("ZommOut").exitCode, kIgnored);
    EXPECT_EQ(sendCommand("ZommIn").exitCode, kIgnored);
    EXPECT_EQ(newCalls().filter(QRegularExpression("^ZoZoom")), QStringList{});
}

TEST_F(CommandsTest, HostileSendersNeitherStopTheProgramNorKeepAPhotoFromBeingServed) {
    start("DevIndex=0\n");
    // Fifty connections that never write anything, all at once.
    std::vector<std::unique_ptr<QLocalSocket>> silent;
    for (int i = 0; i < 50; ++i) {
        silent.push_back(std::make_unique<QLocalSocket>());
        silent.back()->connectToServer(QString::fromStdString(commands::commandSocketPath()));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return std::all_of(silent.begin(), silent.end(), [](const auto& socket) {
            return socket->state() == QLocalSocket::ConnectedState;
        });
    }));

    QByteArray binary;
    for (int i = 0; i < 256; ++i)
        binary.append(static_cast<char>(255 - i));
    QByteArray huge(1 << 20, 'x');
    huge.replace(0, 5, "Photo"); // more than the program reads: refused whatever it holds
    for (const QByteArray& bad : {QByteArray(), binary, QByteArray("\0Photo", 6), huge})
        EXPECT_EQ(sendCommand(bad).exitCode, kIgnored) << bad.left(16).toHex().toStdString();
    EXPECT_EQ(pictures(), 0);

    EXPECT_EQ(sendCommand("Photo").exitCode, kDone);
    EXPECT_EQ(pictures(), 1);
    // The silent ones are dropped after a while, unanswered.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return std::all_of(silent.begin(), silent.end(), [](const auto& socket) {
                return socket->state() == QLocalSocket::UnconnectedState;
            });
        },
        20000));
    for (const auto& socket : silent)
        EXPECT_TRUE(socket->readAll().isEmpty());
}

// A Photo is answered once its picture is saved; one that saves nothing says so, and the user
// reads why.
TEST_F(CommandsTest, APhotoIsAnsweredOnceSavedAndFailedWhenNothingIs) {
    start("DevIndex=0\nLanguage=1\n");
    EXPECT_EQ(sendCommand("Photo").exitCode, kDone);
    EXPECT_EQ(pictures(), 1);
    ASSERT_TRUE(camcore::testing::unplugVirtualCamera(0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->cameraLost(); }, 20000));
    EXPECT_EQ(sendCommand("Photo").exitCode, kCaptureFailed);
    EXPECT_EQ(pictures(), 1);
    ASSERT_FALSE(messages().isEmpty());
    EXPECT_TRUE(messages().last().second.startsWith("The camera is disconnected"))
        << messages().last().second.toStdString();
}

// Commands sent while start-up still shows its boxes are refused; afterwards they are served.
TEST_F(CommandsTest, CommandsBeforeStartUpHasFinishedAreRefused) {
    for (int n = 0; n < 2; ++n)
        camcore::testing::unplugVirtualCamera(n);
    int duringStartUp = -1;
    const platform::MessageInterceptor recorder = platform::setMessageInterceptor(
        [&](const QString&, const QString&) { duringStartUp = sendCommand("Photo").exitCode; });
    form = makeForm();
    platform::setMessageInterceptor(recorder);
    EXPECT_EQ(duringStartUp, kIgnored) << "the no-camera box came without an answered command";
    EXPECT_EQ(sendCommand("RotateR").exitCode, kDone);
}

// "Photo" with the merge box checked is answered once the first shot is saved, while the prompt
// for the second waits for the user; "Exit" meanwhile ends the program without a second shot.
// (This process's loops run no exec(), so the exit itself is seen only as the missing shot.)
TEST_F(CommandsTest, AMergePhotoIsAnsweredAtThePromptAndExitThereTakesNoSecondShot) {
    start("DevIndex=0\n");
    form->findChild<QAbstractButton*>(QStringLiteral("checkBoxMix"))->click();
    QProcess photo;
    int photoAnswer = -1, exitAnswer = -1, prompts = 0;
    const platform::MessageInterceptor recorder =
        platform::setMessageInterceptor([&](const QString&, const QString&) {
            ++prompts;
            EXPECT_TRUE(QTest::qWaitFor([&] { return photo.state() == QProcess::NotRunning; }));
            photoAnswer = photo.exitCode();
            exitAnswer = sendCommand("Exit").exitCode;
        });
    photo.start(QStringLiteral(DOCSCANNER_BIN_DIR "/showpiece-send"), {QStringLiteral("Photo")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompts == 1; }, 20000));
    platform::setMessageInterceptor(recorder);

    EXPECT_EQ(photoAnswer, kDone);
    EXPECT_EQ(exitAnswer, kDone);
    const QStringList calls = callsSince(from);
    EXPECT_EQ(calls.filter(QRegularExpression("^ZoCaptureQueued\\(")).size(), 1);
    EXPECT_EQ(calls.filter(QRegularExpression("^ZoImagesMixQueued\\(")).size(), 0);
    EXPECT_EQ(pictures(), 1);
}

// The socket of a running program is never taken over; one left by a program that ended
// without removing it is. Only its owner can reach it.
TEST(CommandServerTest, KeepsALiveSocketReplacesAStaleOneAndStaysPrivate) {
    QTemporaryDir folder; // mode 0700
    ASSERT_TRUE(folder.isValid());
    const std::string path = folder.filePath("showpiece.sock").toStdString();

    {
        commands::CommandServer first;
        ASSERT_TRUE(first.listen(path)) << first.error();
        struct stat info {};
        ASSERT_EQ(::lstat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600U);
        commands::CommandServer second;
        EXPECT_FALSE(second.listen(path));
        EXPECT_NE(second.error().find("another program"), std::string::npos) << second.error();
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path))) << "removed at the end";

    // A program that crashed leaves its socket file behind.
    {
        const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, path.c_str());
        ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(stale);
    }
    commands::CommandServer third;
    ASSERT_TRUE(third.listen(path)) << third.error();
    QLocalSocket client;
    client.connectToServer(QString::fromStdString(path));
    EXPECT_TRUE(client.waitForConnected(5000));

    // A folder others can enter is refused.
    QTemporaryDir open;
    QFile::setPermissions(open.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ReadOther | QFile::ExeOther);
    commands::CommandServer exposed;
    EXPECT_FALSE(exposed.listen(open.filePath("showpiece.sock").toStdString()));
}

TEST(CommandSenderTest, SaysSoWhenNoProgramListens) {
    QTemporaryDir empty;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), empty.path());
    const SendResult result = sendCommand("Photo", environment);
    EXPECT_EQ(result.exitCode, kFailed);
    EXPECT_TRUE(result.error.contains("no program")) << result.error.toStdString();
}

} // namespace
