#pragma once

#include "QSmallWidget.h"

#include <QObject>

class CameraRoles;
class QAbstractButton;
class QTimerEvent;
class QWidget;

// The sub camera's picture over the main one: the floating window, the region it may stand in,
// and what the main picture gives up while it is shown (zoom and the mouse).
class PictureInPicture : public QObject {
    Q_OBJECT

public:
    struct Widgets {
        QWidget* window;          // the main window, the floating window's parent
        QWidget* preview;         // the main camera's video
        QWidget* subPreview;      // the sub camera's own area beside the controls
        QAbstractButton* subOn;   // the sub camera is open
        QAbstractButton* inVideo; // the sub picture floats over the main one
        QAbstractButton* drawRect;
    };

    PictureInPicture(const CameraRoles& roles, const Widgets& widgets);
    ~PictureInPicture() override;

    QSmallWidget* smallWidget() const { return m_small; }
    bool zoomEnabled() const { return m_zoomEnabled; }
    bool floating() const;
    bool videoRectTimerRunning() const { return m_videoRectTimer != 0; }

    // The "enter the picture" box changed.
    void onInVideoToggled();
    // Shows the floating window at the end of its region; the main picture is shown whole.
    void show();
    // The sub camera closed: the main picture takes zoom and the mouse again.
    void subClosed();
    // Shown again over the video after the window changed size, while the box is checked.
    void keepOverVideo();
    // The main window moved by `shift`; the floating window moves with it.
    void followWindow(QPoint shift);
    // The video area moved (a quarter turn, a reset): the region follows, and with `toStart` the
    // window goes to its start.
    void videoMoved(bool toStart);
    // Waits for the new resolution's first frames, then puts the window at the region's start.
    // The timer runs on the main window, which hands its events to onTimer.
    void startVideoRectTimer();
    // True when the event was this feature's timer.
    bool onTimer(QTimerEvent* event);
    // Picture-in-picture keeps the mouse off the main picture; otherwise the mode buttons rule.
    void applyMainMouseMode();
    // Where the sub camera's video goes: the floating window while the box is checked.
    QWidget* subVideoWidget() const;
    void attachSubVideo();

private:
    void updateRegion();
    void stopVideoRectTimer();

    const CameraRoles& m_roles;
    Widgets m_widgets;
    QSmallWidget* m_small;
    bool m_zoomEnabled = true;
    int m_videoRectTimer = 0;
    int m_videoRectTicks = 0;
};
