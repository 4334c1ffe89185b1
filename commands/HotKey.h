#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <memory>

namespace commands {

// The system-wide hot key Ctrl+Shift+Q: a key grab on the X11 root window through Qt's own
// connection, seen by a native event filter. It works whichever window has the focus, this
// program's own included, as long as that is an X11 window (under XWayland, Wayland windows keep
// their keys). Without X11 (the offscreen platform) there is no hot key; when another program holds
// the key, the program says so once on the terminal and goes on without it.
class HotKey final : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    HotKey();
    ~HotKey() override;

    bool isGrabbed() const;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

signals:
    // Once per press; while its receivers run (the notice box is open), further presses and the
    // key's repeats are not reported.
    void activated();

private:
    void notify();

    struct X11;
    std::unique_ptr<X11> m_x11;
    bool m_noticeOpen = false;
};

// The notice the hot key shows: who holds the rights in this software.
void showRightsNotice(int language);

} // namespace commands
