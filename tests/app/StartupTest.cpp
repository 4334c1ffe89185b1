#include "AppFixture.h"
#include "SendCommand.h"

#include "platform/X11Windows.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest/QTest>

namespace {

using namespace app_test;

// The real program, copied with its engine into a folder of its own so that the test can give it
// a "conf.ini" of its own; the strip library is left out, which the program must survive.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_DISPLAY();
        ASSERT_TRUE(m_dir.isValid());
        for (const char* name : {"docscanner", "libCamCoreLib.so", "libQuilOCR.so"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(DOCSCANNER_BIN_DIR "/") + name,
                                    m_dir.filePath(QString::fromLatin1(name))));
        QDir().mkpath(m_dir.filePath("home/Documents"));
    }

    void writeFile(const QString& name, const QByteArray& content) {
        QFile file(m_dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QStringList trace() {
        QFile file(m_dir.filePath("trace.log"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    void start(int cameras) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("QT_QPA_PLATFORM"); // the program chooses X11 by itself
        environment.insert("HOME", m_dir.filePath("home"));
        environment.insert("XDG_DOCUMENTS_DIR", m_dir.filePath("home/Documents"));
        environment.insert("TMPDIR", m_dir.path());
        environment.insert("CAMCORE_VIRTUAL_CAMERAS", QString::number(cameras));
        environment.insert("CAMCORE_TRACE", m_dir.filePath("trace.log"));
        m_program.setProcessEnvironment(environment);
        m_program.start(m_dir.filePath("docscanner"), {});
        ASSERT_TRUE(m_program.waitForStarted());
    }

    // Closes the window as its close button would, until the program ends.
    void closeWindow() {
        std::optional<std::uint32_t> window;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return (window = platform::findWindowByTitle("Document scanner")).has_value(); },
            20000))
            << m_program.readAllStandardError().toStdString();
        ASSERT_TRUE(QTest::qWaitFor([&] { return platform::isWindowViewable(*window); }, 20000));
        ASSERT_TRUE(platform::requestWindowClose(*window));
        ASSERT_TRUE(m_program.waitForFinished(20000));
    }

    QTemporaryDir m_dir;
    QProcess m_program;
};

// "Exit" from another program ends this one as closing its window would: settings written,
// cameras closed, exit code 0.
TEST_F(ProgramTest, TheExitCommandEndsTheProgramThroughItsNormalShutdown) {
    start(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sendCommand("RotateR").exitCode == 0; }, 20000))
        << m_program.readAllStandardError().toStdString();
    EXPECT_EQ(sendCommand("Exit").exitCode, 0);
    ASSERT_TRUE(m_program.waitForFinished(20000));
    EXPECT_EQ(m_program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_program.exitCode(), 0) << m_program.readAllStandardError().toStdString();
    EXPECT_TRUE(trace().last().startsWith("ZoCloseCamera("));
    EXPECT_TRUE(QFile::exists(m_dir.filePath("home/Documents/Papyra/zoconf.ini")));
    EXPECT_EQ(sendCommand("Photo").exitCode, 2) << "the socket went with the program";
}

TEST_F(ProgramTest, PreferredCameraOpensAndTheProgramEndsInOrderWithExitCode0) {
    writeFile("conf.ini", "[cam]\npidvid=046D&0825;DC02&1209\n");
    start(2);
    closeWindow();
    EXPECT_EQ(m_program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_program.exitCode(), 0) << m_program.readAllStandardError().toStdString();

    const QStringList lines = trace();
    const auto opened = std::find_if(lines.begin(), lines.end(), [](const QString& line) {
        return line.startsWith("ZoOpenCamera(");
    });
    ASSERT_NE(opened, lines.end());
    EXPECT_TRUE(opened->startsWith("ZoOpenCamera(1, ")) << opened->toStdString();
    EXPECT_TRUE(opened->endsWith("-> 1"));
    ASSERT_GE(lines.size(), 2);
    // The sub list was rebuilt around the preferred main camera, so the other camera is the sub.
    EXPECT_TRUE(lines[lines.size() - 2].startsWith("ZoCloseCamera(1)"))
        << "the engine's last calls close the main camera, then the sub camera";
    EXPECT_TRUE(lines.last().startsWith("ZoCloseCamera(0)"));

    QFile settings(m_dir.filePath("home/Documents/Papyra/zoconf.ini"));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly)) << "written after the cameras closed";
    EXPECT_TRUE(settings.readAll().contains("\nDevIndex=1\n"));
}

} // namespace
