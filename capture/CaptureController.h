#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class CameraRoles;
class CompositeCapture;
class FileNamer;
class OutputFormat;
class PictureInPicture;
class QAbstractButton;
class QWidget;
class ThumbnailLibrary;
struct Settings;

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
    // A press while a capture or its prompt is in progress is ignored.
    void capture();
    bool busy() const { return m_busy; }
    // One capture of `camera` into a new file and its checked entry in the strip; returns the
    // number of images the engine wrote.
    int captureToFile(int camera);
    // The same, with failures left to the caller to report: a series of captures must not stack
    // a message box per picture.
    int captureQuietly(int camera);
    // The file of a book run's document, or empty after saying that the folder cannot be used.
    QByteArray bookPath();
    // A PDF `camera` writes page by page as the checked entry of the strip, shown through a
    // picture of what the camera sees; a document already listed keeps its one entry.
    void showDocument(int camera, const QByteArray& path);
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
    void runCapture();
    bool reportNoFolder(const QByteArray& path);
    bool reportUnsaved(int written, const QByteArray& path);
    void addIfWritten(const QByteArray& path);

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
    bool m_quiet = false;
};
