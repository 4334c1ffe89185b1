#include "AppFixture.h"

#include "platform/X11Windows.h"

#include <QProcess>
#include <QtTest/QTest>

namespace {

using namespace app_test;

// Ctrl+Shift+Q reaches the program through its grab on the root window, whichever window has
// the focus; the program's hidden command window is there for other programs to find.
TEST_F(AppTest, TheHotKeyShowsTheRightsNoticeAndTheCommandWindowCanBeFound) {
    REQUIRE_DISPLAY();
    const std::unique_ptr<MainForm> form = makeForm();
    EXPECT_TRUE(platform::findWindowByTitle("ShowPiece").has_value());

    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
                  {QStringLiteral("key"), QStringLiteral("ctrl+shift+q")});
    ASSERT_TRUE(xdotool.waitForFinished());
    ASSERT_EQ(xdotool.exitCode(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages().isEmpty(); }));
    ASSERT_EQ(messages().size(), 1);
    EXPECT_EQ(messages()[0].first, QStringLiteral("Information")); // the English window
    EXPECT_TRUE(messages()[0].second.contains(QStringLiteral("Copyright")));
}

} // namespace
