#pragma once

#include <QPointer>
#include <QWidget>

class CameraRoles;
class PictureInPicture;
class QAbstractButton;

// Lends the main camera's live picture to the window of a full-screen or snap mode and takes it
// back. While it is lent the main window is hidden, and so is the floating sub-camera window,
// which would otherwise stand alone over nothing.
class VideoHandOver {
public:
    struct Widgets {
        QWidget* mainWindow;
        QWidget* preview;         // where the main camera draws outside the modes
        QAbstractButton* inVideo; // the sub picture floats over the main one
    };

    VideoHandOver(const CameraRoles& roles, PictureInPicture& pip, const Widgets& widgets);

    // The window the main camera draws into now; a camera reopened meanwhile goes there.
    QWidget* videoWindow() const;
    void lendTo(QWidget* window);
    // The main window shows again with the video, and the floating window over it only while
    // its box is checked.
    void takeBack();

private:
    const CameraRoles& m_roles;
    PictureInPicture& m_pip;
    Widgets m_widgets;
    QPointer<QWidget> m_lentTo;
};
