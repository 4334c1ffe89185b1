#pragma once

#include "PressEnd.h"
#include "QueuedCapture.h"

#include <QByteArray>
#include <QObject>
#include <QRect>
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
// preview, and the two cameras' pictures one above the other. The shots are taken at the press
// and everything after them, the composing included, is done behind the window; one operation
// runs at a time.
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
    // The first shot and, once it is saved, the prompt to turn the page over; or the second shot
    // and the merge. `ended` hears of the first shot before the prompt, of the second once the
    // merge is written.
    void captureMerged(PressEnded ended);
    // The main picture with the sub picture inset, as a new checked entry of the strip; `ended`
    // hears once it is written.
    void captureInset(PressEnded ended);
    // The sub picture above the main one, as a new checked entry of the strip.
    void captureMainSubMix(PressEnded ended);
    // Operations under way behind the window.
    int pending() const { return m_pending; }
    // The merge's first side is taken and its prompt waits for the second.
    bool awaitingSecondSide() const { return !m_first.isEmpty(); }

private:
    using Shot = std::function<void(const QByteArray& path)>; // empty when nothing was written
    using Composer = std::function<int(const QByteArray& out, ZoCaptureCallback, void*)>;
    struct BothShots;

    bool refusedNow(const PressEnded& ended, bool needsPrivateFolder);
    void promptForSecondSide(const QByteArray& first);
    void takeSecondSide(PressEnded ended);
    QByteArray nextPath();
    QByteArray shotPath(const char* temporaryName);
    void takeShot(const char* temporaryName, Shot then);
    void inset(const char* temporaryName, Shot then);
    void shootBoth(const QByteArray& mainShot, const QByteArray& subShot,
                   std::function<void(const BothShots&)> then);
    // Composes into `out` behind the window, listed in the strip when `listed`.
    void compose(const QByteArray& out, const Composer& composer, bool listed, Shot then = {});
    void begin() { ++m_pending; }
    void end() { --m_pending; }

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
    QSet<QByteArray> m_used; // the paths of the operation under way
    int m_pending = 0;
    QObject m_alive; // jobs that end after this is gone are not reported
};
