#pragma once

#include "ZoApi.h"

#include <QList>
#include <QObject>
#include <QString>

class CameraRoles;
class PictureInPicture;
class QAbstractButton;
class QComboBox;
class QWidget;
struct Settings;

// Choosing the main and the sub camera: the two camera lists, opening and closing, the swap of
// roles, and the resolution lists of both cameras.
class CameraSelection : public QObject {
    Q_OBJECT

public:
    struct Widgets {
        QComboBox* mainList;
        QComboBox* subList;
        QComboBox* mainResolutions;
        QComboBox* subResolutions;
        QComboBox* dpiList;   // read: the DPI a newly opened main camera gets
        QComboBox* colorList; // a new main camera starts in colour
        QAbstractButton* subOn;
        QAbstractButton* inVideo;
        QAbstractButton* watermarkOn;
        QAbstractButton* autoCropOn;
        QList<QWidget*> subControls; // shown only while the sub camera is open
        QWidget* preview;
        QWidget* subPreview;
    };

    CameraSelection(Settings& settings, CameraRoles& roles, PictureInPicture& pip,
                    const Widgets& widgets, ZoZoomCallback zoomReported);

    // Start-up, in this order: the lists, the preferred camera, the main camera.
    void fillCameraLists();
    void chooseMainCamera(const QString& preferredCameraFile);
    void openMainCamera();
    void closeCameras();

    void onMainListChanged();
    void onSubListChanged();
    void onSubCameraToggled();
    void switchMainSub();
    void fillMainResolutions();
    void fillSubResolutions();
    void onMainResolutionChanged();
    void onSubResolutionChanged();

signals:
    // The roles were exchanged while the watermark was on: the new main camera needs it.
    void watermarkMoved();
    // A camera is about to be closed while the program runs: a recording of it stops first,
    // so that its file is completed behind the window and reported like any other.
    void cameraClosing(int camera);

private:
    void closeWhileRunning(int camera);
    void followPreferredCamera(int listedMain);
    void fillSubCameraList();
    void swapRoles();
    void configureSub(int camera);
    // While the sub camera is off its resolution list shows what the chosen camera offers.
    void showChosenSubResolutions();
    int chosenSubCamera() const;
    // Opens `camera` as the sub camera at the resolution entry its list will show.
    void openSub(int camera, QWidget* window);

    Settings& m_settings;
    CameraRoles& m_roles;
    PictureInPicture& m_pip;
    Widgets m_widgets;
    ZoZoomCallback m_zoomReported;
    int m_lastSub = -1; // the sub camera whose resolution entry is stored
};
