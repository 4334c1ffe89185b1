#include "MainForm.h"

#include "ui_MainForm.h"

#include "BarcodeCommand.h"
#include "CameraRoles.h"
#include "CameraSelection.h"
#include "CaptureController.h"
#include "Commit.h"
#include "Exposure.h"
#include "FileNamer.h"
#include "Fingerprints.h"
#include "Frame.h"
#include "IdCardCommand.h"
#include "ImageControls.h"
#include "MainMenu.h"
#include "OcrCommand.h"
#include "OutputFormat.h"
#include "PictureInPicture.h"
#include "QFingerShowDlg.h"
#include "QPreviewWidget.h"
#include "Skins.h"
#include "WindowLayout.h"
#include "WorkFolder.h"
#include "ZoApi.h"
#include "ZoomControl.h"

// What the window gives other code to read, and the slots that each hand a command to its feature.

// Read by other code
int MainForm::mainCamera() const {
    return m_roles->main();
}

int MainForm::subCamera() const {
    return m_roles->sub();
}

bool MainForm::cameraLost() const {
    return m_roles->lost();
}

QWidget* MainForm::previewWidget() const {
    return m_previewWidget;
}

int MainForm::curWidth() const {
    return m_roles->frameWidth();
}

int MainForm::curHeight() const {
    return m_roles->frameHeight();
}

const QByteArray& MainForm::imageDir() const {
    return m_workFolder->imageDir();
}

const QByteArray& MainForm::fileExtension() const {
    return m_format->extension();
}

int MainForm::formatIndex() const {
    return m_format->index();
}

QSmallWidget* MainForm::smallWidget() const {
    return m_pip->smallWidget();
}

bool MainForm::zoomEnabled() const {
    return m_pip->zoomEnabled();
}

bool MainForm::videoRectTimerRunning() const {
    return m_pip->videoRectTimerRunning();
}

// Work folder, naming and capture
void MainForm::setWorkPath(const QByteArray& path) {
    m_workFolder->setPath(path);
}

QByteArray MainForm::MakeFileName() {
    return m_namer->makeFileName();
}

QByteArray MainForm::MakeSavePath() {
    return m_namer->makeSavePath();
}

int MainForm::CaptureToFile(int camera) {
    return m_capture->captureToFile(camera);
}

void MainForm::CaptureToPath(const QString& path) {
    m_capture->captureToPath(path);
}

void MainForm::SetResize(bool enable, float ratio) {
    m_capture->setResize(enable, ratio);
}

void MainForm::onScan() {
    m_capture->capture();
}

void MainForm::onDoubleCapture() {
    m_capture->captureBothSides();
}

void MainForm::onTkphto2() {
    m_capture->captureSub();
}

void MainForm::onMainSubComp() {
    m_capture->onMainSubMixToggled();
}

void MainForm::onSplitCap() {
    m_capture->onSplitToggled();
}

void MainForm::onReadIDCard() {
    m_idCard->read();
}

void MainForm::onFlatten() {
    m_capture->onFlattenToggled();
}

void MainForm::onUpright() {
    m_capture->onUprightToggled();
}

void MainForm::onRecogIDCard() {
    m_capture->captureCard();
}

void MainForm::InitFmt() {
    m_format->fill();
}

void MainForm::onFmtChange() {
    m_capture->onFormatChanged();
}

void MainForm::onNameRuleChange() {
    m_namer->onRuleChanged();
}

void MainForm::onFileNameChange() {
    m_namer->onNameEdited();
}

void MainForm::onFileNameCountChange() {
    m_namer->onDigitsEdited();
}

void MainForm::onFileNameStepChange() {
    m_namer->onStepEdited();
}

void MainForm::onFileNameInitChange() {
    m_namer->onCounterEdited();
}

void MainForm::openSetFolderDlg() {
    m_workFolder->openDialog();
}

void MainForm::onBrowser() {
    m_workFolder->browse();
}

void MainForm::onOpenFolder() {
    m_workFolder->show();
}

bool MainForm::onCommit() {
    return m_capture->handOver();
}

// Recognition and peripherals
void MainForm::onReadBarcode() {
    m_barcode->read();
}

void MainForm::onFingerRecog() {
    m_fingerDlg->show();
}

void MainForm::FingerEnroll(QString name) {
    m_fingerprints->enroll(name);
}

void MainForm::FingerMatch() {
    m_fingerprints->match();
}

void MainForm::onOCRVideo() {
    m_ocr->recognise();
}

// Camera selection and preview
void MainForm::onDevChange() {
    m_cameras->onMainListChanged();
}

void MainForm::onSubDevChange() {
    m_cameras->onSubListChanged();
}

void MainForm::onResolutionChange() {
    m_cameras->onMainResolutionChanged();
}

void MainForm::onResolutionChange2() {
    m_cameras->onSubResolutionChanged();
}

void MainForm::OnStartSubPreview() {
    m_cameras->onSubCameraToggled();
}

void MainForm::OnPip() {
    m_pip->onInVideoToggled();
}

void MainForm::onSwitchMainSub() {
    m_cameras->switchMainSub();
}

void MainForm::InitResolution() {
    m_cameras->fillMainResolutions();
}

void MainForm::InitResolution2() {
    m_cameras->fillSubResolutions();
}

// Image controls
void MainForm::onColorChange() {
    m_imageControls->onColorChanged();
}

void MainForm::onDPIChange() {
    m_imageControls->onDpiChanged();
}

void MainForm::onRadioDoc() {
    m_imageControls->onDocumentPreset();
}

void MainForm::onRadioCred() {
    m_imageControls->onCardPreset();
}

void MainForm::onRotateLeft() {
    m_imageControls->rotateLeft();
}

void MainForm::onRotateRight() {
    m_imageControls->rotateRight();
}

void MainForm::onZoomIn() {
    m_zoom->zoomIn();
}

void MainForm::onZoomOut() {
    m_zoom->zoomOut();
}

void MainForm::onSetScale() {
    m_zoom->applyScale();
}

void MainForm::onSetDrag() {
    m_imageControls->setDragMode();
}

void MainForm::onSetDrawRect() {
    m_imageControls->setDrawRectMode();
}

void MainForm::onFullSrn() {
    m_imageControls->resetVideo();
}

void MainForm::onSetImage() {
    m_exposure->showMainProperties();
}

void MainForm::onSetImage2() {
    m_exposure->showSubProperties();
}

void MainForm::onSliderBright(int value) {
    m_exposure->onBrightnessChanged(value);
}

void MainForm::onSliderExpos(int value) {
    m_exposure->onExposureMoved(value);
}

void MainForm::OnAutoExp() {
    m_exposure->onAutomaticToggled();
}

void MainForm::onSliderJPG(int value) {
    m_imageControls->onJpgQualityMoved(value);
}

void MainForm::onAutoRotate() {
    m_imageControls->onAutoCropToggled();
}

void MainForm::onDelBack() {
    m_imageControls->onCleanToggled();
}

void MainForm::onDenoising() {
    m_imageControls->onDenoiseToggled();
}

void MainForm::InitDPI() {
    m_imageControls->fillDpiList();
}

void MainForm::InitPixtype() {
    m_imageControls->fillColorList();
}

void MainForm::InitJPGQuality() {
    m_imageControls->initJpgQuality();
}

// The threshold has no control in this window.
void MainForm::InitThreshold() {}

// Window frame, menu, skins and language
void MainForm::setupFrame() {
    m_frame->setup(this);
}

void MainForm::on_btnMenu_Min_clicked() {
    showMinimized();
}

void MainForm::on_btnMenu_Max_clicked() {
    m_frame->toggleMaximized();
}

void MainForm::on_btnMenu_Close_clicked() {
    close();
}

// The button opens the main menu attached to it.
void MainForm::on_btnMenu_clicked() {}
void MainForm::onChinese() {
    applyLanguage(0);
}

void MainForm::onEnglish() {
    applyLanguage(1);
}

void MainForm::onSwitchLanguage() {
    applyLanguage(m_settings.language == 0 ? 1 : 0);
}

void MainForm::layoutBottomRow() {
    m_layout->layoutBottomRow();
}

void MainForm::deleteMenu() {
    m_menu->destroy();
}

void MainForm::createMenu() {
    m_menu->create();
    connect(m_menu.get(), &MainMenu::skinRequested, this, &MainForm::onSwitchUI);
    connect(m_menu.get(), &MainMenu::settingsRequested, this, &MainForm::onSetting);
    connect(m_menu.get(), &MainMenu::aboutRequested, this, &MainForm::onAbout);
    connect(m_menu.get(), &MainMenu::languageRequested, this, &MainForm::onSwitchLanguage);
}
