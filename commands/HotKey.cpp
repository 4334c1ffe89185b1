#include "HotKey.h"

#include "platform/Message.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace commands {
namespace {

// X keysyms (X11/keysymdef.h), spelled out so that the X11 protocol headers are not needed.
constexpr xcb_keysym_t kKeysymQ = 0x0071;
constexpr xcb_keysym_t kKeysymNumLock = 0xff7f;
constexpr std::uint16_t kModifiers = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT;

template <typename T> using Freed = std::unique_ptr<T, decltype(&std::free)>;

} // namespace

struct HotKey::X11 {
    xcb_connection_t* connection = nullptr; // Qt's
    xcb_window_t root = 0;
    std::unique_ptr<xcb_key_symbols_t, decltype(&xcb_key_symbols_free)> symbols{
        nullptr, &xcb_key_symbols_free};
    std::vector<xcb_keycode_t> keys; // every key that makes a Q
    std::uint16_t numLock = 0;       // the modifier NumLock is on, when any
    bool grabbed = false;
    bool reported = false;

    std::vector<xcb_keycode_t> keycodes(xcb_keysym_t symbol) const;
    std::uint16_t findNumLock() const;
    // The lock keys change the modifier state of a key press: Ctrl+Shift+Q is grabbed with each
    // combination of CapsLock and NumLock.
    std::vector<std::uint16_t> modifierSets() const;
    void grab();
    void ungrab();
};

std::vector<xcb_keycode_t> HotKey::X11::keycodes(xcb_keysym_t symbol) const {
    std::vector<xcb_keycode_t> found;
    const Freed<xcb_keycode_t> codes(xcb_key_symbols_get_keycode(symbols.get(), symbol),
                                     &std::free);
    for (const xcb_keycode_t* code = codes.get(); code != nullptr && *code != XCB_NO_SYMBOL; ++code)
        found.push_back(*code);
    return found;
}

std::uint16_t HotKey::X11::findNumLock() const {
    const std::vector<xcb_keycode_t> numLockKeys = keycodes(kKeysymNumLock);
    const Freed<xcb_get_modifier_mapping_reply_t> mapping(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr),
        &std::free);
    if (!mapping)
        return 0;
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier)
        for (int i = 0; i < perModifier; ++i)
            for (const xcb_keycode_t key : numLockKeys)
                if (codes[modifier * perModifier + i] == key)
                    return static_cast<std::uint16_t>(1U << modifier);
    return 0;
}

std::vector<std::uint16_t> HotKey::X11::modifierSets() const {
    std::vector<std::uint16_t> sets{kModifiers, kModifiers | XCB_MOD_MASK_LOCK};
    if (numLock != 0) {
        sets.push_back(kModifiers | numLock);
        sets.push_back(kModifiers | numLock | XCB_MOD_MASK_LOCK);
    }
    return sets;
}

void HotKey::X11::grab() {
    keys = keycodes(kKeysymQ);
    numLock = findNumLock();
    std::vector<xcb_void_cookie_t> cookies;
    for (const xcb_keycode_t key : keys)
        for (const std::uint16_t modifiers : modifierSets())
            // owner_events off: with it on, a press while one of this program's own windows
            // has the focus would be reported to that window, not to the root.
            cookies.push_back(xcb_grab_key_checked(connection, 0, root, modifiers, key,
                                                   XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    bool refused = keys.empty();
    for (const xcb_void_cookie_t cookie : cookies) {
        // BadAccess: another program grabbed this combination first.
        if (const Freed<xcb_generic_error_t> error(xcb_request_check(connection, cookie),
                                                   &std::free);
            error)
            refused = true;
    }
    grabbed = !refused;
    if (refused) {
        ungrab(); // whatever part was granted
        if (!std::exchange(reported, true))
            std::fprintf(stderr, "docscanner: Ctrl+Shift+Q is taken by another program; the "
                                 "hot key is off\n");
    }
}

void HotKey::X11::ungrab() {
    for (const xcb_keycode_t key : keys)
        for (const std::uint16_t modifiers : modifierSets())
            xcb_ungrab_key(connection, key, root, modifiers);
    xcb_flush(connection);
    grabbed = false;
}

HotKey::HotKey() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr)
        return; // not on X11: no hot key
    m_x11 = std::make_unique<X11>();
    m_x11->connection = x11->connection();
    m_x11->root = xcb_setup_roots_iterator(xcb_get_setup(m_x11->connection)).data->root;
    m_x11->symbols.reset(xcb_key_symbols_alloc(m_x11->connection));
    m_x11->grab();
    qGuiApp->installNativeEventFilter(this);
}

HotKey::~HotKey() {
    if (!m_x11)
        return;
    qGuiApp->removeNativeEventFilter(this);
    if (m_x11->grabbed)
        m_x11->ungrab();
}

bool HotKey::isGrabbed() const {
    return m_x11 && m_x11->grabbed;
}

bool HotKey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    switch (event->response_type & 0x7f) {
    case XCB_KEY_PRESS: {
        const auto* press = static_cast<const xcb_key_press_event_t*>(message);
        const std::uint16_t held = press->state & 0xff & ~(XCB_MOD_MASK_LOCK | m_x11->numLock);
        if (!m_x11->grabbed || press->event != m_x11->root || held != kModifiers ||
            std::find(m_x11->keys.begin(), m_x11->keys.end(), press->detail) == m_x11->keys.end())
            return false;
        // The notice is a modal box: it runs from the event loop, not inside Qt's event handling.
        // A held key repeats its press; while a notice is pending or shown, a press adds none.
        if (!std::exchange(m_noticeOpen, true))
            QMetaObject::invokeMethod(this, &HotKey::notify, Qt::QueuedConnection);
        return true;
    }
    case XCB_MAPPING_NOTIFY: {
        auto* mapping = static_cast<xcb_mapping_notify_event_t*>(message);
        if (mapping->request != XCB_MAPPING_POINTER) {
            // Another key may make a Q now, or NumLock sit on another modifier: grab afresh.
            if (m_x11->grabbed)
                m_x11->ungrab();
            xcb_refresh_keyboard_mapping(m_x11->symbols.get(), mapping);
            m_x11->grab();
        }
        return false; // Qt follows the new mapping too
    }
    default:
        return false;
    }
}

void HotKey::notify() {
    emit activated();
    m_noticeOpen = false;
}

void showRightsNotice(int language) {
    if (language == 0)
        platform::showMessage(QStringLiteral("提示"),
                              QStringLiteral("本软件的版权归 Document scanner 的作者所有。"));
    else
        platform::showMessage(QStringLiteral("Information"),
                              QStringLiteral("Copyright © the authors of Document scanner. "
                                             "All rights reserved."));
}

} // namespace commands
