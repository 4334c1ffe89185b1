#pragma once

#include <QByteArray>
#include <QSet>

#include <functional>

class CameraRoles;
class FileNamer;
class OutputFormat;
class PictureInPicture;
class QAbstractButton;
class QWidget;
class ThumbnailLibrary;
struct Settings;

// The captures that make one picture out of two: the merge of two shots of the main camera
// (front and back), the sub camera's picture inset where its floating window stands over the
// preview, and the two cameras' pictures one above the other.
class CompositeCapture {
public:
    struct Widgets {
        QAbstractButton* merge;
        QAbstractButton* vertical;
        QAbstractButton* horizontal;
        QAbstractButton* subOn;
        QAbstractButton* inVideo;
        QWidget* preview; // the main camera's video
    };

    // `captureAgain` is the capture command, run again for the merge's second shot.
    CompositeCapture(const Settings& settings, const CameraRoles& roles, FileNamer& namer,
                     const OutputFormat& format, ThumbnailLibrary& strip,
                     const PictureInPicture& pip, const Widgets& widgets,
                     std::function<void()> captureAgain);

    // The merge box was clicked: the layout buttons follow it, and unchecking forgets the shot.
    void onMergeToggled();
    // Called when the first shot of a merge is saved and the prompt for the second opens.
    void setPromptListener(std::function<void()> listener) { m_promptShown = std::move(listener); }
    // The program is ending: a first shot waiting for its second is forgotten, so closing the
    // prompt takes no second shot.
    void forgetFirstShot();
    // The first shot and the prompt to turn the page over, or the second shot and the merge.
    void captureMerged();
    // The main picture with the sub picture inset, as a new checked entry of the strip.
    void captureInset();
    // The sub picture above the main one, as a new checked entry of the strip.
    void captureMainSubMix();

private:
    using Compose = std::function<int(const QByteArray& out)>;

    QByteArray nextPath();
    QByteArray shotPath(const char* temporaryName);
    QByteArray takeShot(const char* temporaryName);
    QByteArray inset(const char* temporaryName);
    bool finish(const QByteArray& out, const Compose& compose);

    const Settings& m_settings;
    const CameraRoles& m_roles;
    FileNamer& m_namer;
    const OutputFormat& m_format;
    ThumbnailLibrary& m_strip;
    const PictureInPicture& m_pip;
    Widgets m_widgets;
    std::function<void()> m_captureAgain;
    std::function<void()> m_promptShown;
    QByteArray m_first;      // the merge's first shot while the prompt is open
    QByteArray m_second;     // the last merge's second shot
    QSet<QByteArray> m_used; // the paths of the operation under way
};
