#include "Exposure.h"

#include "CameraRoles.h"
#include "Settings.h"
#include "ZoApi.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QLabel>
#include <QSignalBlocker>

Exposure::Exposure(Settings& settings, const CameraRoles& roles, const Widgets& widgets)
    : m_settings(settings), m_roles(roles), m_widgets(widgets) {
    QObject::connect(&roles, &CameraRoles::mainSettingsWanted, &m_alive,
                     [this] { followMainCamera(); });
}

void Exposure::init() {
    readBrightExposure(false);
}

// At start the stored exposure, or automatic exposure, is applied unless the camera already runs
// that way. After the property page or a change of camera the controls show what the camera
// runs at, and that is what is stored.
void Exposure::readBrightExposure(bool takeCameraValues) {
    const int camera = m_roles.main();
    bool automatic = false;
    int upper = 0;
    int lower = 0;
    int value = 0;
    ZoGetBrightness(camera, automatic, upper, lower, value);
    {
        // Showing the camera's brightness is no change of it.
        const QSignalBlocker blocker(m_widgets.brightness);
        m_widgets.brightness->setRange(lower, upper);
        m_widgets.brightness->setValue(value);
    }
    m_widgets.brightnessLabel->setNum(value);

    ZoGetExposure(camera, automatic, upper, lower, value);
    if (takeCameraValues) {
        m_settings.autoExp = automatic;
        m_settings.exposure = value;
    } else if (m_settings.autoExp && !automatic) {
        ZoSetExposure(camera, true, value);
    } else if (!m_settings.autoExp && m_settings.exposure != value) {
        ZoSetExposure(camera, false, m_settings.exposure);
    }
    {
        const QSignalBlocker blocker(m_widgets.exposure);
        m_widgets.exposure->setRange(lower, upper);
        m_widgets.exposure->setValue(m_settings.exposure);
    }
    // Automatic exposure off sends the number shown here, so it always shows the stored value.
    m_widgets.exposureLabel->setNum(m_settings.exposure);
    m_widgets.exposure->setEnabled(!m_settings.autoExp);
    m_widgets.exposureLabel->setEnabled(!m_settings.autoExp);
    m_widgets.automatic->setChecked(m_settings.autoExp);
}

void Exposure::onBrightnessChanged(int value) {
    ZoSetBrightness(m_roles.main(), false, value);
    m_widgets.brightnessLabel->setNum(value);
}

void Exposure::onExposureMoved(int value) {
    m_widgets.exposureLabel->setNum(value);
    if (!m_settings.autoExp && value != m_settings.exposure) {
        ZoSetExposure(m_roles.main(), false, value);
        m_settings.exposure = value;
    }
}

void Exposure::onAutomaticToggled() {
    m_settings.autoExp = m_widgets.automatic->isChecked();
    m_widgets.exposure->setEnabled(!m_settings.autoExp);
    m_widgets.exposureLabel->setEnabled(!m_settings.autoExp);
    ZoSetExposure(m_roles.main(), m_settings.autoExp, m_widgets.exposureLabel->text().toInt());
}

void Exposure::showMainProperties() {
    ZoShowVideoProperty(m_roles.main());
    readBrightExposure(true);
}

void Exposure::followMainCamera() {
    readBrightExposure(true);
}

void Exposure::showSubProperties() {
    ZoShowVideoProperty(m_roles.sub());
}
