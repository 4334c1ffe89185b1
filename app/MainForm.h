#pragma once

#include "QPreviewWidget.h"
#include "QSmallWidget.h"
#include "Settings.h"
#include "ThumbnailLibrary.h"

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QString>

class QDoubleValidator;
class QMenu;
class QAction;

namespace Ui {
class MainForm;
}

// The main window: it holds the whole state of the program as members, builds the window and
// wires every control in its constructor, and shuts the program down in its destructor.
class MainForm : public QDialog {
    Q_OBJECT

public:
    explicit MainForm(QWidget* parent = nullptr);
    ~MainForm() override;

    const Settings& settings() const { return m_settings; }
    int mainCamera() const { return m_settings.devIndex; }
    int subCamera() const { return m_subCamera; }
    bool cameraLost() const { return m_cameraLost; }
    int language() const { return m_language; }
    ThumbnailLibrary& thumbnails() { return m_thumbnails; }
    QWidget* previewWidget() const { return m_previewWidget; }
    QWidget* thumbnailHost() const { return m_thumbnailHost; }

    // Work folder, naming and capture
    const QByteArray& workPath() const { return m_settings.workPath; }
    const QByteArray& imageDir() const { return m_imageDir; }
    const QByteArray& fileExtension() const { return m_fileExt; }
    int formatIndex() const { return m_formatIndex; }
    // Makes `path` the work folder (a folder the user chose and that takes files).
    void setWorkPath(const QByteArray& path);
    QByteArray MakeFileName();
    QByteArray MakeSavePath();
    int CaptureToFile(int camera);
    void CaptureToPath(const QString& path);
    void SetResize(bool enable, float ratio);

    // Camera selection and image controls
    QSmallWidget* smallWidget() const { return m_smallWidget; }
    bool zoomEnabled() const { return m_zoomEnabled; }
    bool videoRectTimerRunning() const { return m_videoRectTimer != 0; }
    // The engine's zoom callback; reaches the window through g_pMainForm.
    static void ZoomReported(float ratio);

public slots:
    // Capture and files
    void onScan();
    void onAutoScan();
    void onDoubleCapture();
    void onTkphto2();
    void onClickBoxMix();
    void onMainSubComp();
    void onSplitCap();
    void onFmtChange();
    void onNameRuleChange();
    void onFileNameChange();
    void onFileNameCountChange();
    void onFileNameStepChange();
    void onFileNameInitChange();
    void openSetFolderDlg();
    bool onCommit();
    void InitFmt();
    void onBrowser();
    void onOpenFolder();

    // Recognition and peripherals
    void onReadBarcode();
    void onOCRVideo();
    void onReadIDCard();
    void onRecogIDCard();
    void onFingerRecog();
    void onRecord();
    void onSubRecord();
    void onPrintFrame();

    // Watermark
    void onWaterMark();
    void onWaterMarkSet();

    // Presentation and snap mode
    void enterVisualizer();
    void switch2SnapMode(QString link);

    // Camera selection and preview
    void onDevChange();
    void onSubDevChange();
    void onResolutionChange();
    void onResolutionChange2();
    void OnStartSubPreview();
    void OnPip();
    void onSwitchMainSub();
    void InitResolution();
    void InitResolution2();
    void InitParam();

    // Image controls
    void onColorChange();
    void onDPIChange();
    void onRadioDoc();
    void onRadioCred();
    void onRotateLeft();
    void onRotateRight();
    void onZoomIn();
    void onZoomOut();
    void onSetScale();
    void onSetDrag();
    void onSetDrawRect();
    void onFullSrn();
    void onSetImage();
    void onSetImage2();
    void onSliderBright(int value);
    void onSliderExpos(int value);
    void OnAutoExp();
    void onSliderJPG(int value);
    void onAutoRotate();
    void onDelBack();
    void onDenoising();
    void InitDPI();
    void InitPixtype();
    void InitThreshold();
    void InitJPGQuality();

    // Window frame, menu, skins and language
    void on_btnMenu_Min_clicked();
    void on_btnMenu_Max_clicked();
    void on_btnMenu_Close_clicked();
    void on_btnMenu_clicked();
    void onSwitchUI();
    void onSetting();
    void onAbout();
    void onChinese();
    void onEnglish();
    void createMenu();
    void deleteMenu();

    // Settings file
    void ReadConfig();
    void WriteConfig();

    // Slots of the scanner dialog this window descends from. The two Cancel slots hand the
    // strip over as a hide does; the rest have no effect.
    void on_pPushButton_Cancel_clicked();
    void on_pPushButton_Cancel_clicked(bool checked);
    void on_pPushButton_Profile_Save_clicked();
    void on_pComboBox_Source_activated(int index);
    void on_pHorizontalSlider_Contrast_valueChanged(int value);
    void onJoinPic1();
    void onJoinPic2();
    void InitScanSize();
    void onScanSizeChange();
    void InitRotateInfo();
    void onRotate();
    void onPixtypeChange();
    void onExposureChange();
    void onThresholdChange();
    void InitAutoRotate();
    void InitAutoCrop();
    void InitDevInfo();
    void onSetLight();
    void onWaterMakrTime();
    void onViceCam();
    void onAutoCap();

public:
    // Window frame and language
    void setupFrame();
    void applySkin(int index);
    void applyLanguage(int flag);
    void layoutBottomRow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Construction, in the order the constructor runs them
    void SetDefaults();
    void InitOCR();
    void CreatePreviewArea();
    void CreateSmallWidget();
    void CreateCommandReceiver();
    void CreateResultDialogs();
    void InitWorkPath();
    bool CreateImageDir();
    void HideSubControls();
    void LoadThumbnailLibrary();
    void InitCameraList();
    void ChooseMainCamera();
    void OpenMainCamera();
    void InitBrightExposure();
    void CreateWaterMarkDlg();
    void InitNameRule();
    void showNamePanel(int rule);
    void InitZoom();
    void ApplyStoredControls();
    void ConnectCommands();
    void ApplyWaterMark();
    void CreatePresentationWindows();
    void CreateFingerDlg();
    void RegisterDeviceNotification();
    void HideUnusedCommands();
    void SetupFolderAndVisualizerButtons();
    void RegisterHotKey();

    // Shutdown
    void StoreWaterMarkSettings();
    void CloseCameras();
    void UnloadThumbnailLibrary();
    void UnregisterDeviceNotification();
    void UnregisterHotKey();

    // Camera selection and image controls
    void FillSubCameraList();
    void FollowMainCameraChoice(int listedMain);
    void SwapMainAndSub();
    void AttachSubVideo();
    void ApplyMainMouseMode();
    void UpdatePipRegion();
    void KeepSmallWidgetOverVideo();
    void ShowSmallWidget();
    void ApplyColorMode(int mode, bool setExtension);
    void ReadBrightExposure(bool afterPropertyPage);
    void StartVideoRectTimer();
    void StopVideoRectTimer();

    // Window frame
    void ConnectTitleButtons();
    void toggleMaximized();
    void setTitleTexts(int flag);
    void setControlTexts(int flag);
    void layoutWindow();

    // Capture
    bool reportUnsaved(int written, const QByteArray& path);
    void addIfWritten(const QByteArray& path);
    void CaptureMixed();
    QByteArray CaptureCombineMainSub();
    void CaptureMainSubMix();

    // Posts the close event whose handling hands the strip to a waiting driver program.
    void postCloseEvent();

    Ui::MainForm* ui;
    QDoubleValidator* m_validator1 = nullptr;
    QDoubleValidator* m_validator2 = nullptr;

    Settings m_settings;
    int m_subCamera = 1;
    int m_language = 1;
    bool m_cameraLost = false;
    bool m_zoomEnabled = true;
    int m_curWidth = 0;
    int m_curHeight = 0;
    float m_minZoomRatio = 1.0f;
    float m_maxZoomRatio = 1.0f;
    QByteArray m_fileExt = ".jpg";
    qint16 m_formatIndex = 0;
    bool m_mainSubMix = false;
    QByteArray m_ocrExt = "rtf";
    int m_videoRectTimer = 0;
    int m_videoRectTicks = 0;
    int m_subResolution = 0;

    QString m_programDir; // with a trailing "/"
    QByteArray m_docPath; // documents folder, local 8-bit, no trailing "/"
    QByteArray m_imageDir;
    QByteArray m_recordDir;

    QWidget* m_thumbnailHost = nullptr;
    QPreviewWidget* m_previewWidget = nullptr;
    QSmallWidget* m_smallWidget = nullptr;
    ThumbnailLibrary m_thumbnails;

    QMenu* m_menu = nullptr;
    QAction* m_actionSkin = nullptr;
    QAction* m_actionSetting = nullptr;
    QAction* m_actionAbout = nullptr;

    bool maximized = false;
    QRect normalGeometry;
    bool dragging = false;
    bool dragLocked = false;
    QPoint dragOffset;
};

// The one main window, set as its construction begins; dialogs and callbacks reach it here.
extern MainForm* g_pMainForm;
