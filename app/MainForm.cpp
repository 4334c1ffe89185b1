#include "MainForm.h"

#include "ui_MainForm.h"

#include "BarcodeCommand.h"
#include "CameraPlugging.h"
#include "CameraRoles.h"
#include "CameraSelection.h"
#include "CaptureController.h"
#include "CommandReceiver.h"
#include "Commit.h"
#include "Exposure.h"
#include "FileNamer.h"
#include "Fingerprints.h"
#include "Frame.h"
#include "FramePrinter.h"
#include "HotKey.h"
#include "IdCardCommand.h"
#include "ImageControls.h"
#include "LanguageSource.h"
#include "MainMenu.h"
#include "MergeDirection.h"
#include "OcrCommand.h"
#include "OcrSave.h"
#include "OutputFormat.h"
#include "PictureInPicture.h"
#include "Presentation.h"
#include "QBarcodeResultDlg.h"
#include "QFingerShowDlg.h"
#include "QMultiCapDialog.h"
#include "QOCRResultDlg.h"
#include "QPreviewWidget.h"
#include "ReaderCommands.h"
#include "SavingBeforeClose.h"
#include "Skins.h"
#include "VideoRecording.h"
#include "WatermarkCommand.h"
#include "WindowLayout.h"
#include "WindowTexts.h"
#include "WorkFolder.h"
#include "ZoApi.h"
#include "ZoomControl.h"
#include "platform/Message.h"
#include "platform/Paths.h"

MainForm* g_pMainForm = nullptr;

// Later steps use what earlier ones set up, so the order below is binding.
MainForm::MainForm(QWidget* parent) : QDialog(parent), ui(new Ui::MainForm) {
    SetDefaults();
    m_programDir = platform::programDir();
    InitOCR();

    ui->setupUi(this);
    CreateFeatures();
    ConnectTitleButtons();
    setupFrame();

    ui->pushButtonDrag->setChecked(true);
    ui->radioButtonH->setEnabled(false);
    ui->radioButtonV->setEnabled(false);
    ui->radioButtonV->setChecked(true);

    CreatePreviewArea();
    ZoInit();
    InitParam();
    ReadConfig();
    m_recording->applyStoredMicrophone();
    CreateResultDialogs();
    InitWorkPath();
    InitDPI();
    HideSubControls();
    LoadThumbnailLibrary();
    InitCameraList();
    ChooseMainCamera();
    OpenMainCamera();

    InitResolution();
    InitBrightExposure();
    InitJPGQuality();
    InitPixtype();

    CreateWaterMarkDlg();
    InitFmt();
    InitNameRule();

    InitZoom();
    ApplyStoredControls();
    ConnectCommands();

    ui->checkBoxWaterMark->setChecked(m_settings.showWater);
    if (m_settings.showWater)
        ApplyWaterMark();

    createMenu();
    applySkin(m_settings.uiIndex);
    CreatePresentationWindows();
    applyLanguage(m_settings.language);

    show();

    CreateFingerDlg();
    RegisterDeviceNotification();
    HideUnusedCommands();
    SetupFolderAndVisualizerButtons();
    m_layout->prepareControls();
    RegisterHotKey();
    AcceptCommands();
}

// Each step runs once, in this order; the engine and the strip library still draw into the
// window's widgets until they are closed and unloaded.
MainForm::~MainForm() {
    m_pip->smallWidget()->hide();
    m_settings.showWater = ui->checkBoxWaterMark->isChecked();

    deleteMenu();
    delete ui;
    ui = nullptr;
    m_layout->formDestroyed();
    // The strip's widgets live in the host and run the library's code: they must go while the
    // library is still loaded.
    delete m_thumbnailHost;
    m_thumbnailHost = nullptr;

    StoreWaterMarkSettings();
    StopMultiCapture();
    CloseCameras();
    UnloadThumbnailLibrary();
    FinishDocument();
    WriteConfig();
    UnregisterDeviceNotification();
    UnregisterHotKey();
    g_pMainForm = nullptr;
}

void MainForm::SetDefaults() {
    m_settings = Settings{}; // the start values, English among them
    g_pMainForm = this;
}

// Each feature gets the values and widgets it works on; none of them knows this window.
void MainForm::CreateFeatures() {
    m_thumbnailHost = new QWidget(this);
    m_thumbnailHost->setObjectName(QStringLiteral("thumbnailHost"));
    m_previewWidget = new QPreviewWidget(this);
    m_previewWidget->setObjectName(QStringLiteral("previewWidget"));

    m_language = std::make_unique<LanguageSource>(m_settings);
    m_frame = std::make_unique<Frame>(
        this, *m_language,
        Frame::Widgets{ui->lab_Title,
                       ui->lab_Ico,
                       ui->btnMenu,
                       ui->btnMenu_Min,
                       ui->btnMenu_Max,
                       ui->btnMenu_Close,
                       {ui->groupBox, ui->groupBox_3},
                       {ui->pushButtonRotateLeft, ui->pushButtonRotateRight, ui->pushButtonDrag,
                        ui->pushButtonCut, ui->pushButtonZoomIn, ui->pushButtonZoomOut,
                        ui->pushButtonFullSrn},
                       {ui->pushButtonCapturePDF, ui->checkBoxDenoising, ui->radioButtonDocument,
                        ui->radioButtonCredent}});
    m_menu = std::make_unique<MainMenu>(ui->btnMenu, *m_language);
    m_layout = std::make_unique<WindowLayout>(
        this, m_settings, m_thumbnails,
        WindowLayout::Widgets{ui->widget_title,
                              ui->tabWidget,
                              {ui->pushButtonDrag, ui->pushButtonCut, ui->pushButtonRotateLeft,
                               ui->pushButtonRotateRight, ui->pushButtonZoomOut},
                              ui->horizontalSliderScale,
                              {ui->pushButtonZoomIn, ui->pushButtonFullSrn},
                              ui->pushButtonOpenFolder,
                              ui->pushButtonVisualizer,
                              {ui->pushButtonScan, ui->pushButtonAutoScan, ui->pushButtonCompose,
                               ui->pushButtonPrint, ui->pushButtonOCR}});
    m_layout->setAreas(m_thumbnailHost, m_previewWidget);

    m_roles = std::make_unique<CameraRoles>(m_settings);
    m_pip = std::make_unique<PictureInPicture>(
        *m_roles, PictureInPicture::Widgets{this, m_previewWidget, ui->widgetFu, ui->checkBoxPIP,
                                            ui->checkBoxInVideo, ui->pushButtonCut});
    m_cameras = std::make_unique<CameraSelection>(
        m_settings, *m_roles, *m_pip,
        CameraSelection::Widgets{ui->comboBoxDev,
                                 ui->comboBoxDev_2,
                                 ui->comboBoxRes,
                                 ui->comboBoxRes2,
                                 ui->comboBoxDPI,
                                 ui->comboBoxColor,
                                 ui->checkBoxPIP,
                                 ui->checkBoxInVideo,
                                 ui->checkBoxWaterMark,
                                 ui->checkBoxAutoCrop,
                                 {ui->checkBoxInVideo, ui->pushButtonTakePh2, ui->pushButtonSubRec,
                                  ui->pushButtonSwitchMainSub},
                                 m_previewWidget,
                                 ui->widgetFu},
        &MainForm::ZoomReported);
    m_imageControls = std::make_unique<ImageControls>(
        m_settings, *m_roles, *m_pip,
        ImageControls::Widgets{ui->comboBoxColor, ui->radioButtonDocument, ui->radioButtonCredent,
                               ui->comboBoxDPI, ui->pushButtonDrag, ui->pushButtonCut,
                               ui->horizontalSliderJPG, ui->label_JPG, ui->checkBoxAutoCrop,
                               ui->checkBoxDelBack, ui->checkBoxDenoising});
    m_exposure = std::make_unique<Exposure>(
        m_settings, *m_roles,
        Exposure::Widgets{ui->horizontalSliderBright, ui->label_Bright, ui->horizontalSliderexpos,
                          ui->label_Expos, ui->checkBoxAutoExp});
    m_zoom =
        std::make_unique<ZoomControl>(*m_roles, *m_pip, ui->horizontalSliderScale, m_previewWidget);

    m_workFolder = std::make_unique<WorkFolder>(m_settings, this);
    m_format = std::make_unique<OutputFormat>(m_settings, *m_roles, ui->comboBoxFmt);
    m_namer = std::make_unique<FileNamer>(
        m_settings, *m_roles, *m_workFolder, *m_format,
        FileNamer::Widgets{ui->comboBoxNameRule, ui->labelFileName, ui->lineEditFileName,
                           ui->labelFileNameCount, ui->lineEditFileNameCount, ui->labelFileNameStep,
                           ui->lineEditFileNameStep, ui->labelFileNameInit,
                           ui->lineEditFileNameInit},
        [this] { SaveSettings(); });
    m_capture = std::make_unique<CaptureController>(
        m_settings, *m_roles, *m_namer, *m_format, m_thumbnails, *m_pip,
        CaptureController::Widgets{ui->checkBoxMix, ui->checkBoxPIP, ui->checkBoxInVideo,
                                   ui->checkBoxWaterMark, ui->checkBoxMainSub, ui->checkBoxSplitCap,
                                   ui->checkBoxFlatten, ui->checkBoxUpright, ui->radioButtonV,
                                   ui->radioButtonH, m_previewWidget});
    m_fingerprints = std::make_unique<Fingerprints>(m_settings, m_programDir);
    m_readers = std::make_unique<ReaderCommands>(*m_fingerprints, ui->pushButtonReadIDCard,
                                                 ui->pushButtonFinger);
    m_idCard = std::make_unique<IdCardCommand>(*m_workFolder, m_thumbnails,
                                               [this] { return m_settings.language; });
    m_recording = std::make_unique<VideoRecording>(
        m_settings, *m_language, *m_roles, *m_workFolder, m_thumbnails,
        VideoRecording::Widgets{ui->pushButtonRec, ui->pushButtonSubRec, ui->labelRecSign,
                                ui->labelSubRecSign});
    m_printer = std::make_unique<FramePrinter>(m_settings, *m_roles, *m_workFolder);
    m_saving = std::make_unique<SavingBeforeClose>(
        *this, [this] { return PagesBehind(); }, &VideoRecording::filesBeingCompleted,
        [this] { return m_settings.language; });
}

// The title buttons answer by their slots' names.
void MainForm::ConnectTitleButtons() {
    connect(ui->btnMenu, &QPushButton::clicked, this, &MainForm::on_btnMenu_clicked);
    connect(ui->btnMenu_Min, &QPushButton::clicked, this, &MainForm::on_btnMenu_Min_clicked);
    connect(ui->btnMenu_Max, &QPushButton::clicked, this, &MainForm::on_btnMenu_Max_clicked);
    connect(ui->btnMenu_Close, &QPushButton::clicked, this, &MainForm::on_btnMenu_Close_clicked);
}

// The engine and the strip library find these widgets by their native ids.
void MainForm::CreatePreviewArea() {
    m_thumbnailHost->winId();
    m_previewWidget->winId();
    m_layout->layoutWindow();
    CreateCommandReceiver();
}

void MainForm::InitParam() {
    resetCameraParameters(m_settings);
}

void MainForm::ReadConfig() {
    readConfig(settingsPath(platform::documentsDir()), m_settings);
}

void MainForm::WriteConfig() {
    if (SaveSettings())
        return;
    const bool chinese = m_settings.language == 0;
    platform::showMessage(chinese ? QStringLiteral("提示") : QStringLiteral("Information"),
                          chinese ? QStringLiteral("写配置文件失败, 参数不能记忆!")
                                  : QStringLiteral("The settings file could not be written; the "
                                                   "settings will not be remembered."));
}

// Also runs whenever the name counter moved; only the save at exit says when it failed.
bool MainForm::SaveSettings() {
    const QString documents = QString::fromLocal8Bit(m_workFolder->documentsDir());
    return writeConfig(settingsPath(documents), m_settings);
}

// A multi-page document collected in this run is finished: the next run starts a new one.
void MainForm::FinishDocument() {
    m_namer->finishDocument();
}

void MainForm::InitWorkPath() {
    m_workFolder->init();
}

void MainForm::HideSubControls() {
    for (QWidget* control :
         {static_cast<QWidget*>(ui->checkBoxInVideo), static_cast<QWidget*>(ui->pushButtonTakePh2),
          static_cast<QWidget*>(ui->pushButtonSubRec),
          static_cast<QWidget*>(ui->pushButtonSwitchMainSub)}) {
        control->setEnabled(false);
        control->hide();
    }
}

void MainForm::LoadThumbnailLibrary() {
    if (m_thumbnails.load(m_programDir + QStringLiteral(THUMBNAIL_LIBRARY_FILE)))
        m_thumbnails.initLib(static_cast<uintptr_t>(m_thumbnailHost->winId()));
}

void MainForm::InitCameraList() {
    m_cameras->fillCameraLists();
}

void MainForm::ChooseMainCamera() {
    m_cameras->chooseMainCamera(m_programDir + QStringLiteral("conf.ini"));
}

void MainForm::OpenMainCamera() {
    m_cameras->openMainCamera();
}

void MainForm::InitBrightExposure() {
    m_exposure->init();
}

void MainForm::InitNameRule() {
    m_namer->fillRules();
}

void MainForm::InitZoom() {
    m_zoom->init(&MainForm::ZoomReported);
}

void MainForm::ApplyStoredControls() {
    m_imageControls->applyStored();
    m_capture->applyStored();
    keepMergeDirection(m_settings, ui->radioButtonV, ui->radioButtonH);
    ui->compinfo->hide();
}

// Every built command is offered; the presentation button stands for the label that says the
// same, and the reader commands follow their readers.
void MainForm::HideUnusedCommands() {
    ui->labelMarkMode->hide();
    m_readers->refresh();
}

void MainForm::SetupFolderAndVisualizerButtons() {
    Frame::makeIconButton(ui->pushButtonOpenFolder, QStringLiteral(":/image/open.png"));
    Frame::makeIconButton(ui->pushButtonVisualizer, QStringLiteral(":/image/curvepen.png"));
}

// Created hidden; it lives as long as the window and keeps the name typed into it.
void MainForm::CreateFingerDlg() {
    m_fingerDlg = new QFingerShowDlg(*m_language, this);
    connect(m_fingerDlg, &QFingerShowDlg::enrolRequested, this, &MainForm::FingerEnroll);
    connect(m_fingerDlg, &QFingerShowDlg::matchRequested, this, &MainForm::FingerMatch);
}

int MainForm::PagesBehind() const {
    return m_capture->pending() + (m_multiCapDlg ? m_multiCapDlg->spreadsBehind() : 0);
}

void MainForm::InitOCR() {
    OcrCommand::initLibrary(m_programDir);
}

// Created hidden; each reading or recognition shows its window again with its text.
void MainForm::CreateResultDialogs() {
    m_multiCapDlg =
        new QMultiCapDialog(m_settings, *m_language,
                            {[this] { return mainCamera(); },
                             [this](int camera, std::function<void(int)> ended) {
                                 return m_capture->captureQuietly(camera, std::move(ended));
                             },
                             &MainForm::AutoCapReported, [this] { return m_capture->bookPath(); },
                             [this] { m_roles->resendMainSettings(); },
                             [this](const QByteArray& path, const QImage& picture) {
                                 m_capture->showDocument(path, picture);
                             },
                             [this](bool running) {
                                 m_roles->lockCapture(running);
                             }},
                            this);
    // A book run on a camera that is replaced ends, whole, before the camera gets the settings.
    connect(m_roles.get(), &CameraRoles::mainReplaced, m_multiCapDlg, &QMultiCapDialog::endBookRun);
    connect(this, &MainForm::autoCapReported, this, &MainForm::onAutoCap);
    m_barcodeResultDlg = new QBarcodeResultDlg(*m_language, this);
    m_barcode = std::make_unique<BarcodeCommand>(*m_roles, *m_barcodeResultDlg);
    m_ocrResultDlg = new QOCRResultDlg(*m_language, this);
    m_ocr = std::make_unique<OcrCommand>(m_settings, *m_roles, *m_ocrResultDlg);
    m_ocrSave = std::make_unique<OcrSave>(m_settings, m_ocrExtension, *m_namer, m_thumbnails);
    connect(m_ocrResultDlg, &QOCRResultDlg::saveRequested, m_ocrSave.get(), &OcrSave::save);
    connect(m_ocrSave.get(), &OcrSave::started, m_ocrResultDlg,
            [dialog = m_ocrResultDlg] { dialog->setSaving(true); });
    connect(m_ocrSave.get(), &OcrSave::finished, m_ocrResultDlg, &QOCRResultDlg::showSaved);
}

// A smart run stops watching while its camera is still open.
void MainForm::StopMultiCapture() {
    m_multiCapDlg->endRun();
}

void MainForm::CloseCameras() {
    m_cameras->closeCameras();
}

void MainForm::UnloadThumbnailLibrary() {
    m_thumbnails.unload();
}

// Made hidden once the settings are read: the canvas and toolbar start from them.
void MainForm::CreatePresentationWindows() {
    m_presentation = std::make_unique<Presentation>(
        m_settings, *m_roles, *m_pip, *m_namer, m_thumbnails,
        VideoHandOver::Widgets{this, m_previewWidget, ui->checkBoxInVideo});
}

// Created hidden from the stored values; it lives as long as the window.
void MainForm::CreateWaterMarkDlg() {
    m_watermark = std::make_unique<WatermarkCommand>(m_settings, *m_language, *m_roles,
                                                     *ui->checkBoxWaterMark, this);
}

void MainForm::ApplyWaterMark() {
    m_watermark->apply();
}

void MainForm::StoreWaterMarkSettings() {
    m_watermark->storeSettings();
}
