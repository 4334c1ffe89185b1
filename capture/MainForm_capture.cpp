#include "MainForm.h"

// Filled in by the naming and capture work.

// Work directory and naming
void MainForm::InitNameRule() {}
void MainForm::onNameRuleChange() {}
void MainForm::onFileNameChange() {}
void MainForm::onFileNameCountChange() {}
void MainForm::onFileNameStepChange() {}
void MainForm::onFileNameInitChange() {}
void MainForm::openSetFolderDlg() {}

// Capture pipeline
void MainForm::InitFmt() {}
void MainForm::onScan() {}
void MainForm::onTkphto2() {}
void MainForm::onSplitCap() {}
void MainForm::onFmtChange() {}
void MainForm::onDoubleCapture() {}
void MainForm::onMainSubComp() {}
void MainForm::onRecogIDCard() {}
