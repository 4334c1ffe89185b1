#include "platform/X11Windows.h"
#include "support/TestEnvironment.h"

#include <QCloseEvent>
#include <QSignalSpy>
#include <QWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

class ClosableWindow : public QWidget {
public:
    int closeRequests = 0;

protected:
    void closeEvent(QCloseEvent* event) override {
        ++closeRequests;
        event->accept();
    }
};

TEST(X11WindowsTest, FindsAWindowByItsExactTitleAndClosesIt) {
    REQUIRE_DISPLAY();
    ClosableWindow window;
    window.setWindowTitle("ZoTwainDriver");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    std::optional<std::uint32_t> found;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return (found = platform::findWindowByTitle("ZoTwainDriver")).has_value(); }));
    ASSERT_TRUE(found.has_value());
    EXPECT_FALSE(platform::findWindowByTitle("ZoTwainDrive").has_value());
    EXPECT_FALSE(platform::findWindowByTitle("zotwaindriver").has_value());

    ASSERT_TRUE(platform::requestWindowClose(*found));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.closeRequests == 1; }));
    EXPECT_FALSE(window.isVisible());
}

TEST(X11WindowsTest, MissingWindowIsNotFound) {
    REQUIRE_DISPLAY();
    EXPECT_FALSE(platform::findWindowByTitle("no window has this title 7f3a").has_value());
}

} // namespace
