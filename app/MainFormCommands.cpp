#include "MainForm.h"

#include "ui_MainForm.h"

#include "CameraPlugging.h"
#include "CameraRoles.h"
#include "CameraSelection.h"
#include "CaptureController.h"
#include "CommandReceiver.h"
#include "Frame.h"
#include "FramePrinter.h"
#include "HotKey.h"
#include "ImageControls.h"
#include "LanguageSource.h"
#include "OutputFormat.h"
#include "PictureInPicture.h"
#include "Presentation.h"
#include "QAboutDlg.h"
#include "QMultiCapDialog.h"
#include "QPreviewWidget.h"
#include "QSetUIDlg.h"
#include "QSettingDlg.h"
#include "QtTranslations.h"
#include "SavingBeforeClose.h"
#include "Skins.h"
#include "VideoRecording.h"
#include "WatermarkCommand.h"
#include "WindowLayout.h"
#include "WindowTexts.h"
#include "ZoApi.h"
#include "ZoomControl.h"
#include "platform/X11Windows.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMoveEvent>

// The command table: each control of the window drives one slot; the features' own signals go
// to the features that answer them.
void MainForm::ConnectCommands() {
    using B = QAbstractButton;
    using C = QComboBox;
    using E = QLineEdit;
    using S = QAbstractSlider;
    connect(ui->pushButtonScan, &B::clicked, this, &MainForm::onScan);
    connect(ui->pushButtonAutoScan, &B::clicked, this, &MainForm::onAutoScan);
    connect(ui->pushButtonCompose, &B::clicked, this, &MainForm::onDoubleCapture);
    connect(ui->pushButtonTakePh2, &B::clicked, this, &MainForm::onTkphto2);
    connect(ui->checkBoxMix, &B::clicked, this, &MainForm::onClickBoxMix);
    connect(ui->checkBoxMainSub, &B::clicked, this, &MainForm::onMainSubComp);
    connect(ui->checkBoxSplitCap, &B::clicked, this, &MainForm::onSplitCap);
    connect(ui->checkBoxFlatten, &B::clicked, this, &MainForm::onFlatten);
    connect(ui->checkBoxUpright, &B::clicked, this, &MainForm::onUpright);
    connect(ui->comboBoxFmt, &C::currentIndexChanged, this, &MainForm::onFmtChange);
    connect(ui->comboBoxNameRule, &C::currentIndexChanged, this, &MainForm::onNameRuleChange);
    connect(ui->lineEditFileName, &E::editingFinished, this, &MainForm::onFileNameChange);
    connect(ui->lineEditFileNameCount, &E::editingFinished, this, &MainForm::onFileNameCountChange);
    connect(ui->lineEditFileNameStep, &E::editingFinished, this, &MainForm::onFileNameStepChange);
    connect(ui->lineEditFileNameInit, &E::editingFinished, this, &MainForm::onFileNameInitChange);
    connect(ui->pushButtonOpenFolder, &B::clicked, this, &MainForm::openSetFolderDlg);
    connect(ui->pushButtonReadBarcode, &B::clicked, this, &MainForm::onReadBarcode);
    connect(ui->pushButtonOCR, &B::clicked, this, &MainForm::onOCRVideo);
    connect(ui->pushButtonReadIDCard, &B::clicked, this, &MainForm::onReadIDCard);
    connect(ui->pushButtonRecogID, &B::clicked, this, &MainForm::onRecogIDCard);
    connect(ui->pushButtonFinger, &B::clicked, this, &MainForm::onFingerRecog);
    connect(ui->pushButtonRec, &B::clicked, this, &MainForm::onRecord);
    connect(ui->pushButtonSubRec, &B::clicked, this, &MainForm::onSubRecord);
    connect(ui->pushButtonPrint, &B::clicked, this, &MainForm::onPrintFrame);
    connect(ui->checkBoxWaterMark, &B::clicked, this, &MainForm::onWaterMark);
    connect(ui->pushBtnWaterMark, &B::clicked, this, &MainForm::onWaterMarkSet);
    connect(ui->pushButtonVisualizer, &B::clicked, this, &MainForm::enterVisualizer);
    connect(ui->comboBoxDev, &C::currentIndexChanged, this, &MainForm::onDevChange);
    connect(ui->comboBoxDev_2, &C::currentIndexChanged, this, &MainForm::onSubDevChange);
    connect(ui->comboBoxRes, &C::currentIndexChanged, this, &MainForm::onResolutionChange);
    connect(ui->comboBoxRes2, &C::currentIndexChanged, this, &MainForm::onResolutionChange2);
    connect(ui->checkBoxPIP, &B::clicked, this, &MainForm::OnStartSubPreview);
    connect(ui->checkBoxInVideo, &B::clicked, this, &MainForm::OnPip);
    connect(ui->pushButtonSwitchMainSub, &B::clicked, this, &MainForm::onSwitchMainSub);
    connect(ui->comboBoxColor, &C::currentIndexChanged, this, &MainForm::onColorChange);
    connect(ui->comboBoxDPI, &C::currentIndexChanged, this, &MainForm::onDPIChange);
    connect(ui->radioButtonDocument, &B::clicked, this, &MainForm::onRadioDoc);
    connect(ui->radioButtonCredent, &B::clicked, this, &MainForm::onRadioCred);
    connect(ui->pushButtonRotateLeft, &B::clicked, this, &MainForm::onRotateLeft);
    connect(ui->pushButtonRotateRight, &B::clicked, this, &MainForm::onRotateRight);
    connect(ui->pushButtonZoomIn, &B::clicked, this, &MainForm::onZoomIn);
    connect(ui->pushButtonZoomOut, &B::clicked, this, &MainForm::onZoomOut);
    connect(ui->horizontalSliderScale, &S::sliderReleased, this, &MainForm::onSetScale);
    connect(ui->pushButtonDrag, &B::clicked, this, &MainForm::onSetDrag);
    connect(ui->pushButtonCut, &B::clicked, this, &MainForm::onSetDrawRect);
    connect(ui->pushButtonFullSrn, &B::clicked, this, &MainForm::onFullSrn);
    connect(ui->pushButtonSetImage, &B::clicked, this, &MainForm::onSetImage);
    connect(ui->pushButtonSetting2, &B::clicked, this, &MainForm::onSetImage2);
    connect(ui->horizontalSliderBright, &S::valueChanged, this, &MainForm::onSliderBright);
    // Every change of value counts: dragging, a click on the track, the wheel and the keys.
    connect(ui->horizontalSliderexpos, &S::valueChanged, this, &MainForm::onSliderExpos);
    connect(ui->checkBoxAutoExp, &B::clicked, this, &MainForm::OnAutoExp);
    connect(ui->horizontalSliderJPG, &S::valueChanged, this, &MainForm::onSliderJPG);
    connect(ui->checkBoxAutoCrop, &B::clicked, this, &MainForm::onAutoRotate);
    connect(ui->checkBoxDelBack, &B::clicked, this, &MainForm::onDelBack);
    connect(ui->checkBoxDenoising, &B::clicked, this, &MainForm::onDenoising);
    connect(ui->labelSnapMode, &QLabel::linkActivated, this, &MainForm::switch2SnapMode);
    connect(ui->compinfo, &QLabel::linkActivated, this, &MainForm::onAbout);

    connect(m_previewWidget, &QPreviewWidget::wheelTurned, m_pip.get(),
            [this](int delta) { m_zoom->onWheel(delta); });
    connect(m_previewWidget, &QPreviewWidget::videoExposed, m_pip.get(),
            [this] { ZoUpdateVideo(m_roles->main()); });
    connect(this, &MainForm::zoomReported, m_pip.get(),
            [this](float ratio) { m_zoom->follow(ratio); });
    connect(m_imageControls.get(), &ImageControls::extensionChosen, m_pip.get(),
            [this](const QByteArray& extension) { m_format->follow(extension); });
    connect(m_cameras.get(), &CameraSelection::watermarkMoved, this, &MainForm::ApplyWaterMark);
    // The offsets are pixels of the frame: a new resolution needs the mark placed again.
    connect(ui->comboBoxRes, &C::currentIndexChanged, m_pip.get(),
            [this] { m_watermark->reapply(); });
    connect(m_cameras.get(), &CameraSelection::cameraClosing, this,
            [this](int camera) { m_recording->cameraClosing(camera); });
}

// The commands of other programs take the same way as the buttons. The receiver is made early
// (its window is the one other programs look for) and carries commands out once start-up has
// finished.
void MainForm::CreateCommandReceiver() {
    m_commands = std::make_unique<commands::CommandReceiver>(commands::CommandReceiver::Actions{
        [this] { onRotateRight(); },
        [this](std::function<void(commands::Answer)> ended) {
            CaptureForCommand(std::move(ended));
        },
        [this] { onZoomIn(); },
        [this] { onZoomOut(); },
        [this] { return m_capture->busy(); },
        [this] { return zoomEnabled(); },
        [this] { m_capture->abandonPending(); },
    });
    m_capture->setPromptListener([this] { m_commands->answerCaptureNow(); });
}

void MainForm::CaptureForCommand(std::function<void(commands::Answer)> ended) {
    m_capture->capture([ended = std::move(ended)](PressEnd end) {
        ended(end == PressEnd::Written  ? commands::Answer::Done
              : end == PressEnd::Failed ? commands::Answer::Failed
                                        : commands::Answer::Ignored);
    });
}

void MainForm::AcceptCommands() {
    m_commands->startAccepting();
}

void MainForm::RegisterDeviceNotification() {
    m_plugging = std::make_unique<commands::CameraPlugging>(
        *m_roles, [this] { return m_presentation->videoWindow(); });
    connect(m_plugging.get(), &commands::CameraPlugging::camerasChanged, this,
            [this] { m_recording->camerasRenumbered(); });
}

void MainForm::UnregisterDeviceNotification() {
    m_plugging.reset();
}

void MainForm::RegisterHotKey() {
    m_hotKey = std::make_unique<commands::HotKey>();
    connect(m_hotKey.get(), &commands::HotKey::activated, this,
            [this] { commands::showRightsNotice(m_settings.language); });
}

void MainForm::UnregisterHotKey() {
    m_hotKey.reset();
}

// The engine calls back on the GUI thread; the window passes the call on as a signal.
void MainForm::ZoomReported(float ratio) {
    if (g_pMainForm != nullptr)
        emit g_pMainForm->zoomReported(ratio);
}

void MainForm::AutoCapReported(int32_t) {
    if (g_pMainForm != nullptr)
        emit g_pMainForm->autoCapReported();
}

void MainForm::onAutoCap() {
    m_multiCapDlg->onPageTurned();
}

// Shown without blocking the window; it keeps its state between showings.
void MainForm::onAutoScan() {
    m_multiCapDlg->show();
}

// An index outside 1..6 changes no sheet but is still stored, and written back at exit.
void MainForm::applySkin(int index) {
    applySkinSheet(index);
    m_settings.uiIndex = index;
}

// Any flag but 0 and 1 keeps the texts; the layout and the strip follow the flag in every case.
// The window's own texts first; the features follow the language source.
void MainForm::applyLanguage(int flag) {
    const bool language = flag == 0 || flag == 1;
    if (language) {
        applyWindowTexts(this, flag);
        followLanguageInQtDialogs(flag);
        ZoSetLanguage(flag);
    }
    m_language->set(flag);
    if (language) {
        InitPixtype();
        InitNameRule();
    }
    InitFmt();
    layoutBottomRow();
    m_layout->fitMinimumSize();
    if (m_thumbnails.isLoaded())
        m_thumbnails.setLanguage(flag);
}

void MainForm::reject() {}

void MainForm::onWaterMark() {
    m_watermark->onVisibleClicked();
}

void MainForm::onWaterMarkSet() {
    m_watermark->showDialog(m_settings.language);
}

// Events of the window
bool MainForm::eventFilter(QObject* watched, QEvent* event) {
    if (ui != nullptr && m_frame->titleEvent(event))
        return true;
    return QDialog::eventFilter(watched, event);
}

void MainForm::timerEvent(QTimerEvent* event) {
    if (!m_pip->onTimer(event))
        QDialog::timerEvent(event);
}

void MainForm::mousePressEvent(QMouseEvent* event) {
    m_frame->mousePress(event);
}

void MainForm::mouseMoveEvent(QMouseEvent* event) {
    m_frame->mouseMove(event);
}

void MainForm::mouseReleaseEvent(QMouseEvent*) {
    m_frame->mouseRelease();
}

// Double clicks on the window itself are swallowed.
void MainForm::mouseDoubleClickEvent(QMouseEvent*) {}

void MainForm::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    if (m_pip != nullptr)
        m_pip->followWindow(event->pos() - event->oldPos());
}

void MainForm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (m_layout == nullptr)
        return;
    m_layout->layoutWindow();
    if (ui != nullptr)
        m_pip->keepOverVideo();
}

// A waiting driver program gets the checked strip items and is told to close, unless the list
// could not be written; the event is accepted once the pages taken are all written, and comes
// again then.
void MainForm::closeEvent(QCloseEvent* event) {
    const bool handOverOnly = m_postedCloses > 0;
    m_postedCloses -= handOverOnly ? 1 : 0;
    m_closeWaiting = m_closeWaiting || !handOverOnly;
    if (m_saving->hold([this] { closeAfterSaving(); })) {
        event->ignore();
        return;
    }
    m_closeWaiting = false;
    if (const auto driver = platform::findWindowByTitle("ZoTwainDriver")) {
        if (onCommit())
            platform::requestWindowClose(*driver);
    }
    event->accept();
}

// Minimising, hiding for a full-screen mode or closing all hand the strip over. The posted event
// only runs closeEvent(); it does not close this window.
void MainForm::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    postCloseEvent();
}

void MainForm::closeAfterSaving() {
    if (std::exchange(m_closeWaiting, false))
        close();
    else
        postCloseEvent();
}

void MainForm::postCloseEvent() {
    ++m_postedCloses;
    QCoreApplication::postEvent(this, new QCloseEvent);
}

void MainForm::on_pPushButton_Cancel_clicked() {
    postCloseEvent();
}

void MainForm::on_pPushButton_Cancel_clicked(bool) {
    postCloseEvent();
}

// Slots kept from the scanner dialog this window descends from; nothing is connected to them and
// they have no effect.
void MainForm::on_pPushButton_Profile_Save_clicked() {}
void MainForm::on_pComboBox_Source_activated(int) {}
void MainForm::on_pHorizontalSlider_Contrast_valueChanged(int) {}
void MainForm::onJoinPic1() {}
void MainForm::onJoinPic2() {}
void MainForm::InitScanSize() {}
void MainForm::onScanSizeChange() {}
void MainForm::InitRotateInfo() {}
void MainForm::onRotate() {}
void MainForm::onPixtypeChange() {}
void MainForm::onExposureChange() {}
void MainForm::onThresholdChange() {}
void MainForm::InitAutoRotate() {}
void MainForm::InitAutoCrop() {}
void MainForm::InitDevInfo() {}
void MainForm::onSetLight() {}
void MainForm::onWaterMakrTime() {}
void MainForm::onViceCam() {}

// Commands carried out by the feature that owns them.
void MainForm::onClickBoxMix() {
    m_capture->onMergeToggled();
}
void MainForm::onRecord() {
    m_recording->toggle(VideoRecording::Role::Main);
}
void MainForm::onSubRecord() {
    m_recording->toggle(VideoRecording::Role::Sub);
}
void MainForm::onPrintFrame() {
    m_printer->print();
}
void MainForm::enterVisualizer() {
    m_presentation->enterVisualizer();
}
void MainForm::switch2SnapMode(QString) {
    m_presentation->enterSnapMode();
}
void MainForm::onSwitchUI() {
    QSetUIDlg::choose(m_settings.language, [this](int index) { applySkin(index); });
}
void MainForm::onSetting() {
    QSettingDlg::edit(m_settings, m_ocrExtension, [this](bool on, float r) { SetResize(on, r); });
}
void MainForm::onAbout() {
    QAboutDlg::present(m_settings.language);
}
