#include "HotKey.h"
#include "AppFixture.h"

#include "platform/Message.h"
#include "platform/X11Windows.h"

#include <QApplication>
#include <QProcess>
#include <QtGui/qguiapplication_platform.h>
#include <QtTest/QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

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

// What the X server sends for each repeat of Ctrl+Shift+Q held down: a press on the root window,
// which the grab takes from whichever window has the focus.
xcb_key_press_event_t hotKeyPressOnRoot() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11->connection();
    const xcb_setup_t* setup = xcb_get_setup(connection);
    xcb_key_press_event_t press{};
    press.response_type = XCB_KEY_PRESS;
    press.root = press.event = xcb_setup_roots_iterator(setup).data->root;
    press.state = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> mapping(
        xcb_get_keyboard_mapping_reply(
            connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, count), nullptr),
        &std::free);
    const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(mapping.get());
    for (int i = 0; i < count * mapping->keysyms_per_keycode; ++i)
        if (symbols[i] == 0x0071) { // q
            press.detail =
                static_cast<xcb_keycode_t>(setup->min_keycode + i / mapping->keysyms_per_keycode);
            break;
        }
    return press;
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

// The notice is a box with an event loop of its own; the key held down meanwhile repeats its
// press, and the repeats add no notice behind it. The next press after the box shows the next one.
TEST_F(AppTest, AHeldHotKeyShowsOneNoticeAtATime) {
    REQUIRE_DISPLAY();
    commands::HotKey hotKey;
    ASSERT_TRUE(hotKey.isGrabbed());
    xcb_key_press_event_t press = hotKeyPressOnRoot();
    ASSERT_NE(press.detail, 0);
    const QByteArray type("xcb_generic_event_t");
    int notices = 0;
    QObject::connect(&hotKey, &commands::HotKey::activated, [&] {
        if (++notices > 1)
            return;
        for (int repeat = 0; repeat < 3; ++repeat) {
            EXPECT_TRUE(hotKey.nativeEventFilter(type, &press, nullptr)) << "the grab keeps it";
            QCoreApplication::processEvents();
        }
    });

    EXPECT_TRUE(hotKey.nativeEventFilter(type, &press, nullptr));
    ASSERT_TRUE(QTest::qWaitFor([&] { return notices > 0; }));
    QCoreApplication::processEvents(); // a notice queued by a repeat would come now
    EXPECT_EQ(notices, 1);

    EXPECT_TRUE(hotKey.nativeEventFilter(type, &press, nullptr));
    ASSERT_TRUE(QTest::qWaitFor([&] { return notices == 2; }));
}

} // namespace
