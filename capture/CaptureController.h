#pragma once

#include "PressEnd.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class CameraRoles;
class CompositeCapture;
class FileNamer;
class OutputFormat;
class PictureInPicture;
class QAbstractButton;
class QImage;
class QWidget;
class ThumbnailLibrary;
struct CaptureResult;
struct Settings;

// How a capture for a series ended: the pages written, 0 when none (the user was not told).
using SeriesEnded = std::function<void(int written)>;

// The capture commands: one press of a capture button becomes files in the work folder and
// checked entries in the strip.
class CaptureController {
public:
    struct Widgets {
        QAbstractButton* merge;
        QAbstractButton* subOn;
        QAbstractButton* inVideo;
        QAbstractButton* watermarkOn;
        QAbstractButton* mainSubMix;
        QAbstractButton* split;
        QAbstractButton* flatten;  // each captured page flattened
        QAbstractButton* upright;  // each captured page turned upright
        QAbstractButton* vertical; // the merge's layout
        QAbstractButton* horizontal;
        QWidget* preview; // the main camera's video
    };

    CaptureController(Settings& settings, const CameraRoles& roles, FileNamer& namer,
                      OutputFormat& format, ThumbnailLibrary& strip, const PictureInPicture& pip,
                      const Widgets& widgets);
    ~CaptureController();

    // The capture button: the main camera, or the merge, composite or mix the boxes choose.
    // The main camera's picture is taken at the press and saved behind the window; `ended` hears
    // how it went. A press while a merge prompt is open, or during a book run, is refused.
    void capture(PressEnded ended = {});
    bool busy() const { return m_busy; }
    // Captures in progress behind the window.
    int pending() const;
    // One capture of `camera` into a new file named now, and its checked entries in the strip
    // once written; failures are told to the user. The job number, 0 when it was refused (said).
    int captureToFile(int camera, PressEnded ended = {});
    // The same, with failures left to the caller to report: a series of captures must not stack
    // a message box per picture. The job number, 0 when refused at once.
    int captureQuietly(int camera, SeriesEnded ended);
    // The file of a book run's document, or empty after saying that the folder cannot be used.
    QByteArray bookPath();
    // A PDF written page by page as the checked entry of the strip, shown through `picture`, a
    // page of it; a document already listed keeps its one entry.
    void showDocument(const QByteArray& path, const QImage& picture);
    // While a book run owns the camera's switches, the boxes and the format list that would send
    // the window's own are locked, and the window's captures of the main camera are ignored.
    void lockSwitches(bool locked);
    // The main camera's picture at `path`, for callers that choose the file themselves.
    void captureToPath(const QString& path);
    void captureSub();
    // Both sides of a card onto one page.
    void captureBothSides();
    void captureCard();
    void setResize(bool enable, float ratio);
    void onSplitToggled();
    // The flatten and upright boxes: remembered in the settings, sent to the main camera.
    void onFlattenToggled();
    void onUprightToggled();
    // The two boxes as the settings file left them.
    void applyStored();
    void onMainSubMixToggled();
    void onMergeToggled();
    // See CompositeCapture: the merge's prompt opening, and the program ending meanwhile.
    void setPromptListener(std::function<void()> listener);
    void abandonPending();
    // Sends the resize, split, flatten, upright and PDF mode the window shows to a camera that just
    // became the main one: the engine keeps them per camera.
    void applyToMainCamera();
    // A new format ends a multi-page document the automatic rule named.
    void onFormatChanged();
    // Hands the strip's checked items to a waiting driver program; false, after saying so, when
    // the list could not be written.
    bool handOver();

private:
    struct Press {
        QByteArray path;
        bool quiet = false;
        bool showsPdf = false;
        PressEnded ended;
        SeriesEnded seriesEnded;
    };
    void runCapture(PressEnded ended);
    int queue(int camera, Press press);
    int startJob(int camera, Press press);
    void jobEnded(const Press& press, const CaptureResult& result);
    bool reportNoFolder(const QByteArray& path);

    Settings& m_settings;
    const CameraRoles& m_roles;
    FileNamer& m_namer;
    OutputFormat& m_format;
    ThumbnailLibrary& m_strip;
    Widgets m_widgets;
    std::unique_ptr<CompositeCapture> m_composite;
    bool m_mainSubMix = false;
    bool m_busy = false;
    bool m_locked = false; // a book run owns the main camera: no capture of the window's
    int m_pending = 0;
    QObject m_alive; // jobs that end after the controller is gone are not reported
};
