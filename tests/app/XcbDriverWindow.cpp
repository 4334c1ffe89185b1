#include "XcbDriverWindow.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {
const char kTitle[] = "ZoTwainDriver";
}

XcbDriverWindow::XcbDriverWindow() {
    m_connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_connection))
        return;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    m_protocols = atom("WM_PROTOCOLS");
    m_deleteWindow = atom("WM_DELETE_WINDOW");
    const std::uint32_t utf8 = atom("UTF8_STRING");
    const std::uint32_t netWmName = atom("_NET_WM_NAME");

    const xcb_window_t window = xcb_generate_id(m_connection);
    const std::uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 200, 80, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    const auto length = static_cast<std::uint32_t>(std::strlen(kTitle));
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME,
                        XCB_ATOM_STRING, 8, length, kTitle);
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, netWmName, utf8, 8, length,
                        kTitle);
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, m_protocols, XCB_ATOM_ATOM, 32,
                        1, &m_deleteWindow);
    xcb_map_window(m_connection, window);
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    m_window = window;
}

XcbDriverWindow::~XcbDriverWindow() {
    destroy();
    if (m_connection != nullptr)
        xcb_disconnect(m_connection);
}

std::uint32_t XcbDriverWindow::atom(const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        m_connection,
        xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr);
    const std::uint32_t value = reply != nullptr ? reply->atom : 0;
    std::free(reply);
    return value;
}

int XcbDriverWindow::closeRequests() {
    if (m_connection == nullptr || xcb_connection_has_error(m_connection))
        return m_closeRequests;
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
            const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
            if (message->window == m_window && message->type == m_protocols &&
                message->data.data32[0] == m_deleteWindow)
                ++m_closeRequests;
        }
        std::free(event);
    }
    return m_closeRequests;
}

void XcbDriverWindow::destroy() {
    if (m_window == 0)
        return;
    xcb_destroy_window(m_connection, m_window);
    // A round trip: the window is gone for every other client once this returns.
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    m_window = 0;
}
