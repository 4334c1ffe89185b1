#include "ImageControls.h"

#include "CameraRoles.h"
#include "PictureInPicture.h"
#include "Settings.h"
#include "ZoApi.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>

#include <algorithm>
#include <iterator>

namespace {

constexpr int kColorModes = 3; // colour, grey, black and white

// Index 2 is 255, not 250.
const char* const kDpiTexts[] = {"100", "200", "255", "300", "400", "500", "600"};
constexpr int kDpiCount = static_cast<int>(std::size(kDpiTexts));

// The engine knows quarter turns only; any other stored angle was sent as 0 at start.
int quarterAngle(int angle) {
    return angle == 90 || angle == 180 || angle == 270 ? angle : 0;
}

int rotateCode(int angle) {
    return quarterAngle(angle) / 90;
}

} // namespace

ImageControls::ImageControls(Settings& settings, const CameraRoles& roles, PictureInPicture& pip,
                             const Widgets& widgets)
    : m_settings(settings), m_roles(roles), m_pip(pip), m_widgets(widgets) {
    connect(&roles, &CameraRoles::mainSettingsWanted, this, &ImageControls::applyToMainCamera);
    connect(&roles, &CameraRoles::captureLocked, this, &ImageControls::lockSwitches);
}

void ImageControls::fillDpiList() {
    if (m_settings.dpiIndex < 0 || m_settings.dpiIndex >= kDpiCount)
        m_settings.dpiIndex = 1; // 200, the start value
    const QSignalBlocker blocker(m_widgets.dpiList);
    m_widgets.dpiList->clear();
    for (const char* text : kDpiTexts)
        m_widgets.dpiList->addItem(QString::fromLatin1(text));
    m_widgets.dpiList->setCurrentIndex(m_settings.dpiIndex);
}

void ImageControls::onDpiChanged() {
    const int index = m_widgets.dpiList->currentIndex();
    if (index < 0 || index == m_settings.dpiIndex)
        return;
    m_settings.dpiIndex = index;
    ZoSetDPI(m_roles.main(), m_widgets.dpiList->currentText().toInt());
}

// The list is refilled without signals and shows the stored mode again, so neither the mode nor
// the extension the format list chose since is touched.
void ImageControls::fillColorList() {
    const bool firstFill = m_widgets.colorList->count() == 0;
    if (m_settings.pixtype < 0 || m_settings.pixtype >= kColorModes)
        m_settings.pixtype = 0;
    {
        const QSignalBlocker blocker(m_widgets.colorList);
        m_widgets.colorList->clear();
        if (m_settings.language == 0)
            m_widgets.colorList->addItems(
                {QStringLiteral("彩色"), QStringLiteral("灰度"), QStringLiteral("黑白")});
        else
            m_widgets.colorList->addItems({QStringLiteral("Color"), QStringLiteral("Gray"),
                                           QStringLiteral("Black and white")});
        m_widgets.colorList->setCurrentIndex(m_settings.pixtype);
    }
    ZoSetDevColor(m_roles.main(), m_settings.pixtype);
    applyColorMode(m_settings.pixtype, firstFill);
}

void ImageControls::onColorChanged() {
    const int mode = m_widgets.colorList->currentIndex();
    if (mode < 0 || mode >= kColorModes)
        return;
    m_settings.pixtype = mode;
    ZoSetDevColor(m_roles.main(), mode);
    applyColorMode(mode, true);
}

// Colour goes with the card preset, grey with the document preset; black and white is saved as
// TIFF and belongs to neither.
void ImageControls::applyColorMode(int mode, bool setExtension) {
    if (mode == 0) {
        m_widgets.cardPreset->setChecked(true);
    } else if (mode == 1) {
        m_widgets.documentPreset->setChecked(true);
    } else {
        // Exclusive buttons cannot be unchecked one by one.
        for (QRadioButton* button : {m_widgets.cardPreset, m_widgets.documentPreset}) {
            button->setAutoExclusive(false);
            button->setChecked(false);
            button->setAutoExclusive(true);
        }
    }
    if (setExtension)
        emit extensionChosen(mode == 2 ? ".tif" : ".jpg");
}

void ImageControls::onDocumentPreset() {
    if (m_widgets.documentPreset->isChecked())
        m_widgets.colorList->setCurrentIndex(2);
}

void ImageControls::onCardPreset() {
    if (m_widgets.cardPreset->isChecked())
        m_widgets.colorList->setCurrentIndex(0);
}

// A quarter turn moves the video area; the floating window goes to its new start.
void ImageControls::rotateLeft() {
    ZoRotateLeft(m_roles.main());
    m_settings.rotateAngle = (quarterAngle(m_settings.rotateAngle) + 270) % 360;
    m_pip.videoMoved(true);
}

void ImageControls::rotateRight() {
    ZoRotateRight(m_roles.main());
    m_settings.rotateAngle = (quarterAngle(m_settings.rotateAngle) + 90) % 360;
    m_pip.videoMoved(true);
}

void ImageControls::setDragMode() {
    m_widgets.drag->setChecked(true); // a second click keeps the mode
    m_widgets.drawRect->setChecked(false);
    ZoSetMouseMode(m_roles.main(), 0);
}

void ImageControls::setDrawRectMode() {
    m_widgets.drawRect->setChecked(true);
    m_widgets.drag->setChecked(false);
    ZoSetMouseMode(m_roles.main(), 1);
}

void ImageControls::resetVideo() {
    ZoResetVideo(m_roles.main());
    m_pip.videoMoved(false);
}

void ImageControls::initJpgQuality() {
    m_settings.jpgQuality = std::clamp(m_settings.jpgQuality, 1, 100);
    m_widgets.jpgQuality->setRange(1, 100);
    m_widgets.jpgQuality->setValue(m_settings.jpgQuality);
    m_widgets.jpgQualityLabel->setNum(m_settings.jpgQuality);
    ZoSetJpgQuality(m_roles.main(), m_settings.jpgQuality);
}

void ImageControls::onJpgQualityMoved(int value) {
    ZoSetJpgQuality(m_roles.main(), value);
    m_settings.jpgQuality = value;
    m_widgets.jpgQualityLabel->setNum(value);
}

void ImageControls::onAutoCropToggled() {
    m_settings.autoCrop = m_widgets.autoCrop->isChecked();
    ZoEnableAutoRotate(m_roles.main(), m_settings.autoCrop);
}

void ImageControls::onCleanToggled() {
    m_settings.delBack = m_widgets.cleanBackground->isChecked();
    ZoDelBackColor(m_roles.main(), m_settings.delBack);
}

// The engine has no denoising; the box is read and nothing changes.
void ImageControls::onDenoiseToggled() {
    static_cast<void>(m_widgets.denoise->isChecked());
}

void ImageControls::lockSwitches(bool locked) {
    for (QWidget* control :
         {static_cast<QWidget*>(m_widgets.colorList), static_cast<QWidget*>(m_widgets.dpiList),
          static_cast<QWidget*>(m_widgets.autoCrop),
          static_cast<QWidget*>(m_widgets.cleanBackground)})
        control->setEnabled(!locked);
}

void ImageControls::applyStored() {
    const int cam = m_roles.main();
    m_widgets.cardPreset->setChecked(true);
    m_widgets.cleanBackground->setChecked(m_settings.delBack);
    ZoSetRotate(cam, rotateCode(m_settings.rotateAngle));
    ZoDelBackColor(cam, m_settings.delBack);
    ZoEnableAutoRotate(cam, m_settings.autoCrop);
    m_widgets.autoCrop->setChecked(m_settings.autoCrop);
}

void ImageControls::applyToMainCamera() {
    const int cam = m_roles.main();
    ZoSetDevColor(cam, m_settings.pixtype);
    ZoSetDPI(cam, m_widgets.dpiList->currentText().toInt());
    ZoSetJpgQuality(cam, m_settings.jpgQuality);
    ZoSetRotate(cam, rotateCode(m_settings.rotateAngle));
    ZoEnableAutoRotate(cam, m_settings.autoCrop);
    ZoDelBackColor(cam, m_settings.delBack);
}
