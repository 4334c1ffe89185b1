#pragma once

#include "VideoHandOver.h"

#include <QObject>

#include <memory>

class AnnotatedSave;
class CameraRoles;
class FileNamer;
class PictureInPicture;
class QSnapWidget;
class QVisualizer;
class ThumbnailLibrary;
struct Settings;

// Presentation mode and snap mode: their windows, made hidden at start-up and kept until the
// end, and the main camera's video lent to them while they are shown.
class Presentation : public QObject {
    Q_OBJECT

public:
    Presentation(Settings& settings, const CameraRoles& roles, PictureInPicture& pip,
                 FileNamer& namer, ThumbnailLibrary& strip, const VideoHandOver::Widgets& widgets);
    ~Presentation() override;

    // The live picture fills the primary screen and can be drawn on.
    void enterVisualizer();
    // A small window in the lower right corner that drags fresh pictures into other programs.
    void enterSnapMode();
    // Where the main camera draws now: a camera reopened meanwhile draws there too.
    QWidget* videoWindow() const { return m_handOver.videoWindow(); }

    QVisualizer* visualizer() const { return m_visualizer.get(); }
    QSnapWidget* snapWidget() const { return m_snap.get(); }

private:
    void leaveSnapMode();
    void quit();

    Settings& m_settings;
    const CameraRoles& m_roles;
    QWidget* m_mainWindow;
    VideoHandOver m_handOver;
    std::unique_ptr<AnnotatedSave> m_save;
    std::unique_ptr<QVisualizer> m_visualizer;
    std::unique_ptr<QSnapWidget> m_snap;
};
