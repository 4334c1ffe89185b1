#include "platform/X11Windows.h"
#include "support/TestEnvironment.h"

#include <QProcess>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

TEST(StartupTest, ProgramShowsItsWindowAndExitsCleanlyOnClose) {
    REQUIRE_DISPLAY();
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QT_QPA_PLATFORM"); // the program chooses X11 by itself
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(DOCSCANNER_BIN_DIR "/docscanner"), {});
    ASSERT_TRUE(program.waitForStarted());

    std::optional<std::uint32_t> window;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return (window = platform::findWindowByTitle("Document scanner")).has_value(); },
        20000));
    ASSERT_TRUE(window.has_value()) << program.readAllStandardError().toStdString();

    EXPECT_TRUE(QTest::qWaitFor([&] { return platform::isWindowViewable(*window); }, 20000));
    // A close request that reaches Qt in the instant between mapping and its first expose can be
    // dropped; like a user, ask again until the program ends.
    bool finished = false;
    for (int attempt = 0; attempt < 20 && !finished; ++attempt) {
        ASSERT_TRUE(platform::requestWindowClose(*window));
        finished = program.waitForFinished(1000);
    }
    ASSERT_TRUE(finished);
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
}

} // namespace
