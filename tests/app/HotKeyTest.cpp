#include "AppFixture.h"

#include "platform/Message.h"
#include "platform/X11Windows.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QProcess>
#include <QtTest/QTest>

#include <xcb/xcb.h>

#include <utility>

namespace {

using namespace app_test;

// Counts the presses of a key with Ctrl and Shift held that reach this program from the X
// server, before any other filter sees them.
class ChordPresses final : public QAbstractNativeEventFilter {
public:
    ChordPresses() { qApp->installNativeEventFilter(this); }
    ~ChordPresses() override { qApp->removeNativeEventFilter(this); }
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if (type == "xcb_generic_event_t" && (event->response_type & 0x7f) == XCB_KEY_PRESS) {
            const auto* press = static_cast<const xcb_key_press_event_t*>(message);
            const int chord = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT;
            if ((press->state & chord) == chord)
                ++count;
        }
        return false;
    }
    int count = 0;
};

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
// programs to find. While the notice is open, the key held down (its repeats) adds no notice
// behind it; the next press after it shows the next one.
TEST_F(AppTest, TheHotKeyShowsOneNoticeAtATimeWhicheverWindowHasTheFocus) {
    REQUIRE_DISPLAY();
    const std::unique_ptr<MainForm> form = makeForm();
    EXPECT_TRUE(platform::findWindowByTitle("ShowPiece").has_value());
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));

    ChordPresses presses;
    bool repeated = false;
    // The first notice stays open as a box does, in an event loop of its own, while the key
    // repeats three times.
    const platform::MessageInterceptor recorder = platform::setMessageInterceptor({});
    platform::setMessageInterceptor([&](const QString& title, const QString& text) {
        recorder(title, text);
        if (std::exchange(repeated, true))
            return;
        const int seen = presses.count;
        ASSERT_TRUE(pressHotKey(3));
        ASSERT_TRUE(QTest::qWaitFor([&] { return presses.count >= seen + 3; }, 30000));
    });

    ASSERT_TRUE(pressHotKey(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return repeated && presses.count >= 4; }, 30000))
        << "the press went to the window with the focus";
    QCoreApplication::processEvents();
    ASSERT_EQ(messages().size(), 1);
    EXPECT_EQ(messages()[0].first, QStringLiteral("Information")); // the English window
    EXPECT_TRUE(messages()[0].second.contains(QStringLiteral("Copyright")));

    ASSERT_TRUE(pressHotKey(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages().size() == 2; }, 30000));
    QCoreApplication::processEvents();
    EXPECT_EQ(messages().size(), 2);
    platform::setMessageInterceptor(recorder);
}

} // namespace
