#pragma once

#include <QObject>

class CameraRoles;
class QAbstractButton;
class QAbstractSlider;
class QLabel;
struct Settings;

// Brightness and exposure of the main camera, and the cameras' property pages.
class Exposure {
public:
    struct Widgets {
        QAbstractSlider* brightness;
        QLabel* brightnessLabel;
        QAbstractSlider* exposure;
        QLabel* exposureLabel;
        QAbstractButton* automatic;
    };

    Exposure(Settings& settings, const CameraRoles& roles, const Widgets& widgets);

    // Shows the camera's ranges and applies the stored exposure unless the camera runs
    // automatic exposure.
    void init();
    void onBrightnessChanged(int value);
    void onExposureMoved(int value);
    void onAutomaticToggled();
    void showMainProperties();
    void showSubProperties();
    // Another camera became the main one: the controls show its values and drive it.
    void followMainCamera();

private:
    // At start the stored values go to the camera; afterwards the controls take the camera's.
    void readBrightExposure(bool takeCameraValues);

    Settings& m_settings;
    const CameraRoles& m_roles;
    Widgets m_widgets;
    QObject m_alive; // what it follows of the roles ends with it
};
