#pragma once

#include <cstdint>

struct xcb_connection_t;

// A window titled "ZoTwainDriver" made directly on the X server, standing in for the driver
// program that waits for the hand-over. It counts the close requests it receives itself, on a
// connection of its own, so a test sees exactly what the program sent.
class XcbDriverWindow {
public:
    XcbDriverWindow();
    ~XcbDriverWindow();
    XcbDriverWindow(const XcbDriverWindow&) = delete;
    XcbDriverWindow& operator=(const XcbDriverWindow&) = delete;

    bool isValid() const { return m_window != 0; }
    std::uint32_t id() const { return m_window; }
    // Close requests (WM_DELETE_WINDOW) received so far.
    int closeRequests();
    void destroy();

private:
    std::uint32_t atom(const char* name);

    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_window = 0;
    std::uint32_t m_protocols = 0;
    std::uint32_t m_deleteWindow = 0;
    int m_closeRequests = 0;
};
