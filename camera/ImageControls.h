#pragma once

#include <QByteArray>
#include <QObject>

class CameraRoles;
class PictureInPicture;
class QAbstractButton;
class QAbstractSlider;
class QComboBox;
class QLabel;
class QRadioButton;
struct Settings;

// What the main camera makes of its picture: colour mode, DPI, quarter turns, the mouse mode,
// JPEG quality, automatic crop and cleaning.
class ImageControls : public QObject {
    Q_OBJECT

public:
    struct Widgets {
        QComboBox* colorList;
        QRadioButton* documentPreset; // grey
        QRadioButton* cardPreset;     // colour
        QComboBox* dpiList;
        QAbstractButton* drag;
        QAbstractButton* drawRect;
        QAbstractSlider* jpgQuality;
        QLabel* jpgQualityLabel;
        QAbstractButton* autoCrop;
        QAbstractButton* cleanBackground;
        QAbstractButton* denoise;
    };

    ImageControls(Settings& settings, const CameraRoles& roles, PictureInPicture& pip,
                  const Widgets& widgets);

    void fillDpiList();
    void onDpiChanged();
    // Also runs on every language switch; only the first fill chooses the file extension.
    void fillColorList();
    void onColorChanged();
    void onDocumentPreset();
    void onCardPreset();
    void rotateLeft();
    void rotateRight();
    void setDragMode();
    void setDrawRectMode();
    void resetVideo();
    void initJpgQuality();
    void onJpgQualityMoved(int value);
    void onAutoCropToggled();
    void onCleanToggled();
    void onDenoiseToggled();
    // While a book run owns the camera's switches, the colour mode, DPI, automatic crop and
    // cleaning it writes its pages with are locked.
    void lockSwitches(bool locked);
    // Sends the stored rotation, cleaning and automatic crop to the main camera at start.
    void applyStored();
    // Sends everything these controls show to a camera that just became the main one: the
    // engine keeps them per camera.
    void applyToMainCamera();

signals:
    // Black and white is saved as TIFF, the other modes as JPEG.
    void extensionChosen(const QByteArray& extension);

private:
    void applyColorMode(int mode, bool setExtension);

    Settings& m_settings;
    const CameraRoles& m_roles;
    PictureInPicture& m_pip;
    Widgets m_widgets;
};
