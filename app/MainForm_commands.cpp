#include "MainForm.h"

#include "ui_MainForm.h"

#include <QMenu>

// The command table: each control of the window drives one slot.
void MainForm::ConnectCommands() {
    const auto wire = [this](QObject* control, const char* signal, const char* slot) {
        connect(control, signal, this, slot);
    };
    wire(ui->pushButtonScan, SIGNAL(clicked()), SLOT(onScan()));
    wire(ui->pushButtonAutoScan, SIGNAL(clicked()), SLOT(onAutoScan()));
    wire(ui->pushButtonCompose, SIGNAL(clicked()), SLOT(onDoubleCapture()));
    wire(ui->pushButtonTakePh2, SIGNAL(clicked()), SLOT(onTkphto2()));
    wire(ui->checkBoxMix, SIGNAL(clicked()), SLOT(onClickBoxMix()));
    wire(ui->checkBoxMainSub, SIGNAL(clicked()), SLOT(onMainSubComp()));
    wire(ui->checkBoxSplitCap, SIGNAL(clicked()), SLOT(onSplitCap()));
    wire(ui->comboBoxFmt, SIGNAL(currentIndexChanged(int)), SLOT(onFmtChange()));
    wire(ui->comboBoxNameRule, SIGNAL(currentIndexChanged(int)), SLOT(onNameRuleChange()));
    wire(ui->lineEditFileName, SIGNAL(editingFinished()), SLOT(onFileNameChange()));
    wire(ui->lineEditFileNameCount, SIGNAL(editingFinished()), SLOT(onFileNameCountChange()));
    wire(ui->lineEditFileNameStep, SIGNAL(editingFinished()), SLOT(onFileNameStepChange()));
    wire(ui->lineEditFileNameInit, SIGNAL(editingFinished()), SLOT(onFileNameInitChange()));
    wire(ui->pushButtonOpenFolder, SIGNAL(clicked()), SLOT(openSetFolderDlg()));
    wire(ui->pushButtonReadBarcode, SIGNAL(clicked()), SLOT(onReadBarcode()));
    wire(ui->pushButtonOCR, SIGNAL(clicked()), SLOT(onOCRVideo()));
    wire(ui->pushButtonReadIDCard, SIGNAL(clicked()), SLOT(onReadIDCard()));
    wire(ui->pushButtonRecogID, SIGNAL(clicked()), SLOT(onRecogIDCard()));
    wire(ui->pushButtonFinger, SIGNAL(clicked()), SLOT(onFingerRecog()));
    wire(ui->pushButtonRec, SIGNAL(clicked()), SLOT(onRecord()));
    wire(ui->pushButtonSubRec, SIGNAL(clicked()), SLOT(onSubRecord()));
    wire(ui->pushButtonPrint, SIGNAL(clicked()), SLOT(onPrintFrame()));
    wire(ui->checkBoxWaterMark, SIGNAL(clicked()), SLOT(onWaterMark()));
    wire(ui->pushBtnWaterMark, SIGNAL(clicked()), SLOT(onWaterMarkSet()));
    wire(ui->pushButtonVisualizer, SIGNAL(clicked()), SLOT(enterVisualizer()));
    wire(ui->comboBoxDev, SIGNAL(currentIndexChanged(int)), SLOT(onDevChange()));
    wire(ui->comboBoxDev_2, SIGNAL(currentIndexChanged(int)), SLOT(onSubDevChange()));
    wire(ui->comboBoxRes, SIGNAL(currentIndexChanged(int)), SLOT(onResolutionChange()));
    wire(ui->comboBoxRes2, SIGNAL(currentIndexChanged(int)), SLOT(onResolutionChange2()));
    wire(ui->checkBoxPIP, SIGNAL(clicked()), SLOT(OnStartSubPreview()));
    wire(ui->checkBoxInVideo, SIGNAL(clicked()), SLOT(OnPip()));
    wire(ui->pushButtonSwitchMainSub, SIGNAL(clicked()), SLOT(onSwitchMainSub()));
    wire(ui->comboBoxColor, SIGNAL(currentIndexChanged(int)), SLOT(onColorChange()));
    wire(ui->comboBoxDPI, SIGNAL(currentIndexChanged(int)), SLOT(onDPIChange()));
    wire(ui->radioButtonDocument, SIGNAL(clicked()), SLOT(onRadioDoc()));
    wire(ui->radioButtonCredent, SIGNAL(clicked()), SLOT(onRadioCred()));
    wire(ui->pushButtonRotateLeft, SIGNAL(clicked()), SLOT(onRotateLeft()));
    wire(ui->pushButtonRotateRight, SIGNAL(clicked()), SLOT(onRotateRight()));
    wire(ui->pushButtonZoomIn, SIGNAL(clicked()), SLOT(onZoomIn()));
    wire(ui->pushButtonZoomOut, SIGNAL(clicked()), SLOT(onZoomOut()));
    wire(ui->horizontalSliderScale, SIGNAL(sliderReleased()), SLOT(onSetScale()));
    wire(ui->pushButtonDrag, SIGNAL(clicked()), SLOT(onSetDrag()));
    wire(ui->pushButtonCut, SIGNAL(clicked()), SLOT(onSetDrawRect()));
    wire(ui->pushButtonFullSrn, SIGNAL(clicked()), SLOT(onFullSrn()));
    wire(ui->pushButtonSetImage, SIGNAL(clicked()), SLOT(onSetImage()));
    wire(ui->pushButtonSetting2, SIGNAL(clicked()), SLOT(onSetImage2()));
    wire(ui->horizontalSliderBright, SIGNAL(valueChanged(int)), SLOT(onSliderBright(int)));
    wire(ui->horizontalSliderexpos, SIGNAL(sliderMoved(int)), SLOT(onSliderExpos(int)));
    wire(ui->checkBoxAutoExp, SIGNAL(clicked()), SLOT(OnAutoExp()));
    wire(ui->horizontalSliderJPG, SIGNAL(sliderMoved(int)), SLOT(onSliderJPG(int)));
    wire(ui->checkBoxAutoCrop, SIGNAL(clicked()), SLOT(onAutoRotate()));
    wire(ui->checkBoxDelBack, SIGNAL(clicked()), SLOT(onDelBack()));
    wire(ui->checkBoxDenoising, SIGNAL(clicked()), SLOT(onDenoising()));
}

// The menu hangs on the title strip's menu button, which shows no arrow.
void MainForm::createMenu() {
    m_menu = new QMenu;
    m_actionSkin = new QAction(QStringLiteral("换肤"), m_menu);
    m_actionSetting = new QAction(QStringLiteral("设置"), m_menu);
    m_actionAbout = new QAction(QStringLiteral("关于"), m_menu);
    m_menu->addAction(m_actionSkin);
    m_menu->addAction(m_actionSetting);
    m_menu->addAction(m_actionAbout);
    ui->btnMenu->setMenu(m_menu);
    ui->btnMenu->setStyleSheet(QStringLiteral("QPushButton::menu-indicator{image:None;}"));
    connect(m_actionSkin, SIGNAL(triggered(bool)), this, SLOT(onSwitchUI()));
    connect(m_actionSetting, SIGNAL(triggered(bool)), this, SLOT(onSetting()));
    connect(m_actionAbout, SIGNAL(triggered(bool)), this, SLOT(onAbout()));
}

void MainForm::deleteMenu() {
    delete m_menu; // owns its actions
    m_menu = nullptr;
    m_actionSkin = nullptr;
    m_actionSetting = nullptr;
    m_actionAbout = nullptr;
}
