#include "WatermarkCommand.h"

#include "CameraRoles.h"
#include "LanguageSource.h"
#include "ProfileName.h"
#include "Settings.h"
#include "ZoApi.h"

#include <QAbstractButton>

WatermarkCommand::WatermarkCommand(Settings& settings, const LanguageSource& language,
                                   const CameraRoles& roles, QAbstractButton& visible,
                                   QWidget* parent)
    : m_settings(settings), m_roles(roles), m_visible(visible),
      m_dialog(new ProfileName(settings, parent)) {
    m_dialog->hide();
    // A mark installed with the box off would still reach every later capture; OK keeps the
    // values either way and installs them only while the box is checked.
    QObject::connect(m_dialog, &ProfileName::okClicked, &m_alive, [this] { reapply(); });
    QObject::connect(&roles, &CameraRoles::mainSettingsWanted, &m_alive, [this] { reapply(); });
    QObject::connect(&language, &LanguageSource::changed, &m_alive,
                     [this](int flag) { applyLanguage(flag); });
}

// The offsets are taken of the frame size of the resolution the main camera streams at, asked of
// the engine: a camera that arrived after start has no size stored.
void WatermarkCommand::apply() {
    const int camera = m_roles.main();
    const int entry = m_roles.mainResolution();
    _WATERMARKPARAM record;
    m_dialog->FillWaterMarkParam(
        record, QSize(ZoGetResWidth(camera, entry), ZoGetResHeight(camera, entry)));
    ZoClearWatermark(camera);
    ZoAddWaterMark(camera, m_dialog->addsDate() ? 5 : 2, &record);
}

void WatermarkCommand::reapply() {
    if (m_visible.isChecked())
        apply();
}

void WatermarkCommand::onVisibleClicked() {
    if (m_visible.isChecked())
        apply();
    else
        ZoClearWatermark(m_roles.main());
}

void WatermarkCommand::showDialog(int flag) {
    m_dialog->applyLanguage(flag);
    m_dialog->show();
}

void WatermarkCommand::applyLanguage(int flag) {
    if (m_dialog->isVisible())
        m_dialog->applyLanguage(flag);
}

void WatermarkCommand::storeSettings() {
    m_dialog->storeSettings();
}
