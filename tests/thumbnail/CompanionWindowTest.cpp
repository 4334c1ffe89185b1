#include "platform/X11Windows.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

// Runs the companion window with its temporary directory in `tempDir`, closes it the way the
// program does, and returns what it printed; exitCode receives its exit code.
QByteArray runAndClose(const QString& tempDir, int& exitCode) {
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), tempDir);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral(DOCSCANNER_BIN_DIR "/companion-window"), {});
    EXPECT_TRUE(tool.waitForStarted());

    std::optional<std::uint32_t> window;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return (window = platform::findWindowByTitle("ZoTwainDriver")).has_value(); },
        20000));
    if (!window)
        return {};
    EXPECT_TRUE(QTest::qWaitFor([&] { return platform::isWindowViewable(*window); }, 20000));
    // A close request between mapping and the first expose can be dropped: ask until it ends.
    bool finished = false;
    for (int attempt = 0; attempt < 20 && !finished; ++attempt) {
        EXPECT_TRUE(platform::requestWindowClose(*window));
        finished = tool.waitForFinished(1000);
    }
    EXPECT_TRUE(finished);
    exitCode = tool.exitCode();
    return tool.readAllStandardOutput();
}

TEST(CompanionWindowTest, PrintsTheCommitFileOnCloseAndFailsWithoutOne) {
    REQUIRE_DISPLAY();
    QTemporaryDir temp;
    QFile commit(QDir(temp.path()).filePath(QStringLiteral("ZoCommit.txt")));
    ASSERT_TRUE(commit.open(QIODevice::WriteOnly));
    commit.write("/scans/a b.jpg@@/scans/\xc9\xa8\xc3\xe8.pdf@@");
    commit.close();

    int exitCode = -1;
    EXPECT_EQ(runAndClose(temp.path(), exitCode),
              QByteArray("/scans/a b.jpg\n/scans/\xc9\xa8\xc3\xe8.pdf\n"));
    EXPECT_EQ(exitCode, 0);

    ASSERT_TRUE(commit.remove());
    EXPECT_EQ(runAndClose(temp.path(), exitCode), QByteArray());
    EXPECT_EQ(exitCode, 1);
}

} // namespace
