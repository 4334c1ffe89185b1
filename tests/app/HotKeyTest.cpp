#include "AppFixture.h"

#include "platform/Message.h"
#include "platform/X11Windows.h"

#include <QApplication>
#include <QProcess>
#include <QtTest/QTest>

namespace {

using namespace app_test;

bool pressHotKey(int times) {
    QStringList keys{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("30")};
    for (int i = 0; i < times; ++i)
        keys.append(QStringLiteral("ctrl+shift+q"));
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), keys);
    // Waited for with the event loop running: the presses are seen meanwhile.
    return QTest::qWaitFor([&] { return xdotool.state() == QProcess::NotRunning; }, 30000) &&
           xdotool.exitCode() == 0;
}

// Ctrl+Shift+Q reaches the program through its grab on the root window, whichever window has
// the focus, the program's own included; the program's hidden command window is there for other
// programs to find. Each press shows its notice.
TEST_F(AppTest, TheHotKeyShowsItsNoticeWhicheverWindowHasTheFocus) {
    REQUIRE_DISPLAY();
    const std::unique_ptr<MainForm> form = makeForm();
    EXPECT_TRUE(platform::findWindowByTitle("ShowPiece").has_value());
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));

    ASSERT_TRUE(pressHotKey(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages().size() == 1; }, 30000))
        << "the press went to the window with the focus";
    EXPECT_EQ(messages()[0].first, QStringLiteral("Information")); // the English window
    EXPECT_TRUE(messages()[0].second.contains(QStringLiteral("Copyright")));

    ASSERT_TRUE(pressHotKey(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages().size() == 2; }, 30000));
}

} // namespace
