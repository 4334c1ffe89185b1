#include "MainForm.h"

// Filled in by the camera selection and image controls work.

// Camera selection and preview
void MainForm::CreateSmallWidget() {}
void MainForm::InitCameraList() {}
void MainForm::onDevChange() {}
void MainForm::onSubDevChange() {}
void MainForm::onResolutionChange() {}
void MainForm::onResolutionChange2() {}
void MainForm::OnStartSubPreview() {}
void MainForm::OnPip() {}
void MainForm::onSwitchMainSub() {}
void MainForm::InitResolution() {}
void MainForm::InitResolution2() {}

// Image controls
void MainForm::InitDPI() {}
void MainForm::InitPixtype() {}
void MainForm::InitThreshold() {}
void MainForm::InitJPGQuality() {}
void MainForm::InitBrightExposure() {}
void MainForm::InitZoom() {}
void MainForm::onColorChange() {}
void MainForm::onDPIChange() {}
void MainForm::onRadioDoc() {}
void MainForm::onRadioCred() {}
void MainForm::onRotateLeft() {}
void MainForm::onRotateRight() {}
void MainForm::onZoomIn() {}
void MainForm::onZoomOut() {}
void MainForm::onSetScale() {}
void MainForm::onSetDrag() {}
void MainForm::onSetDrawRect() {}
void MainForm::onFullSrn() {}
void MainForm::onSetImage() {}
void MainForm::onSetImage2() {}
void MainForm::onSliderBright(int) {}
void MainForm::onSliderExpos(int) {}
void MainForm::OnAutoExp() {}
void MainForm::onSliderJPG(int) {}
void MainForm::onAutoRotate() {}
void MainForm::onDelBack() {}
void MainForm::onDenoising() {}
