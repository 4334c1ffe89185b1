#include "MainForm.h"

#include "ui_MainForm.h"

#include "ZoApi.h"
#include "platform/Paths.h"

#include <QDoubleValidator>

MainForm* g_pMainForm = nullptr;

// Later steps use what earlier ones set up, so the order below is binding.
MainForm::MainForm(QWidget* parent)
    : QDialog(parent), ui(new Ui::MainForm), m_validator1(new QDoubleValidator(this)),
      m_validator2(new QDoubleValidator(this)) {
    SetDefaults();
    m_programDir = platform::programDir();
    InitOCR();

    ui->setupUi(this);
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
    applyLanguage(m_language);

    show();

    CreateFingerDlg();
    RegisterDeviceNotification();
    HideUnusedCommands();
    SetupFolderAndVisualizerButtons();
    RegisterHotKey();
}

// Each step runs once, in this order; the engine and the strip library still draw into the
// window's widgets until they are closed and unloaded.
MainForm::~MainForm() {
    if (m_smallWidget != nullptr)
        m_smallWidget->hide();
    m_settings.showWater = ui->checkBoxWaterMark->isChecked();

    deleteMenu();
    delete ui;
    ui = nullptr;
    // The strip's widgets live in the host and run the library's code: they must go while the
    // library is still loaded.
    delete m_thumbnailHost;
    m_thumbnailHost = nullptr;
    delete m_validator1;
    delete m_validator2;

    StoreWaterMarkSettings();
    CloseCameras();
    UnloadThumbnailLibrary();
    WriteConfig();
    UnregisterDeviceNotification();
    UnregisterHotKey();
    g_pMainForm = nullptr;
}

void MainForm::SetDefaults() {
    m_settings = Settings{}; // JPEG quality, resize, multi-capture, watermark, naming defaults
    m_fileExt = ".jpg";
    m_ocrExt = "rtf";
    m_language = 1;
    m_cameraLost = false;
    g_pMainForm = this;
}

void MainForm::CreatePreviewArea() {
    m_thumbnailHost = new QWidget(this);
    m_thumbnailHost->setObjectName(QStringLiteral("thumbnailHost"));
    m_previewWidget = new QPreviewWidget(this);
    m_previewWidget->setObjectName(QStringLiteral("previewWidget"));
    // The engine and the strip library find these widgets by their native ids.
    m_thumbnailHost->winId();
    m_previewWidget->winId();
    layoutWindow();
    CreateSmallWidget();
    CreateCommandReceiver();
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

void MainForm::HideUnusedCommands() {
    ui->pushButtonRecogID->hide();
    ui->pushButtonFinger->hide();
    ui->pushButtonReadBarcode->hide();
    ui->pushButtonReadIDCard->hide();
    ui->labelSnapMode->hide();
    ui->labelMarkMode->hide();
}

void MainForm::SetupFolderAndVisualizerButtons() {
    const auto setup = [](QPushButton* button, const QString& icon) {
        button->setIcon(QIcon(icon));
        button->setIconSize(QSize(50, 50));
        button->setFlat(true);
        button->setCheckable(true);
        button->setFixedSize(50, 50);
        button->setText(QString());
        button->setToolTip(QString());
    };
    setup(ui->pushButtonOpenFolder, QStringLiteral(":/image/open.png"));
    setup(ui->pushButtonVisualizer, QStringLiteral(":/image/curvepen.png"));
    // The command table wired both already; a second connection would run each slot twice.
    connect(ui->pushButtonOpenFolder, SIGNAL(clicked()), this, SLOT(openSetFolderDlg()),
            Qt::UniqueConnection);
    connect(ui->pushButtonVisualizer, SIGNAL(clicked()), this, SLOT(enterVisualizer()),
            Qt::UniqueConnection);
}
