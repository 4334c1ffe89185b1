#pragma once

#include "Settings.h"
#include "ThumbnailLibrary.h"

#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class CameraRoles;
class CameraSelection;
class CaptureController;
class Exposure;
class FileNamer;
class BarcodeCommand;
class Fingerprints;
class Frame;
class LanguageSource;
class IdCardCommand;
class FramePrinter;
class ImageControls;
class MainMenu;
class OcrCommand;
class OcrSave;
class ReaderCommands;
class OutputFormat;
class PictureInPicture;
class Presentation;
class QBarcodeResultDlg;
class QFingerShowDlg;
class QMultiCapDialog;
class QOCRResultDlg;
class QPreviewWidget;
class QSmallWidget;
class SavingBeforeClose;
class WatermarkCommand;
class VideoRecording;
class WindowLayout;
class WorkFolder;
class ZoomControl;

namespace Ui {
class MainForm;
}

namespace commands {
class CameraPlugging;
class CommandReceiver;
class HotKey;
enum class Answer;
} // namespace commands

// The main window. It orders start-up and shutdown, holds the values other code reads, and hands
// each command to the feature that owns it; the features live in their own folders.
class MainForm : public QDialog {
    Q_OBJECT

public:
    explicit MainForm(QWidget* parent = nullptr);
    ~MainForm() override;

    const Settings& settings() const { return m_settings; }
    int mainCamera() const;
    int subCamera() const;
    bool cameraLost() const;
    int language() const { return m_settings.language; }
    ThumbnailLibrary& thumbnails() { return m_thumbnails; }
    // Captures taken and not yet written (with their strip entries), a book run's included.
    int PagesBehind() const;
    QWidget* previewWidget() const;
    QWidget* thumbnailHost() const { return m_thumbnailHost; }
    // The main camera's frame size of the chosen resolution (the watermark reads it).
    int curWidth() const;
    int curHeight() const;

    // Work folder, naming and capture
    const QByteArray& workPath() const { return m_settings.workPath; }
    const QByteArray& imageDir() const;
    const QByteArray& fileExtension() const;
    int formatIndex() const;
    void setWorkPath(const QByteArray& path);
    QByteArray MakeFileName();
    QByteArray MakeSavePath();
    int CaptureToFile(int camera);
    // A program's "Photo": the capture button's press, answered once its picture is saved.
    void CaptureForCommand(std::function<void(commands::Answer)> ended);
    void CaptureToPath(const QString& path);
    void SetResize(bool enable, float ratio);

    // Camera selection and image controls
    QSmallWidget* smallWidget() const;
    bool zoomEnabled() const;
    bool videoRectTimerRunning() const;
    // The engine's zoom callback; reaches the window through g_pMainForm.
    static void ZoomReported(float ratio);
    // The engine's automatic-capture callback; reaches the window through g_pMainForm.
    static void AutoCapReported(int32_t unused);

    // Fingerprints, asked for by the fingerprint dialog
    void FingerEnroll(QString name);
    void FingerMatch();

signals:
    // The engine's callbacks, as signals on the GUI thread.
    void zoomReported(float ratio);
    void autoCapReported();

public slots:
    // Capture and files
    void onScan();
    void onAutoScan();
    void onDoubleCapture();
    void onTkphto2();
    void onClickBoxMix();
    void onMainSubComp();
    void onSplitCap();
    void onFlatten();
    void onUpright();
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
    void onSwitchLanguage();
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
    // A new page the engine found during a smart multi-capture.
    void onAutoCap();

public:
    // Window frame and language
    void setupFrame();
    void applySkin(int index);
    void applyLanguage(int flag);
    void layoutBottomRow();

    // Escape would end the program: the main window is a dialog. Escape still closes an open list.
    void reject() override;

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
    void CreateFeatures();
    void ConnectTitleButtons();
    void InitOCR();
    void CreatePreviewArea();
    void CreateCommandReceiver();
    void CreateResultDialogs();
    void InitWorkPath();
    void HideSubControls();
    void LoadThumbnailLibrary();
    void InitCameraList();
    void ChooseMainCamera();
    void OpenMainCamera();
    void InitBrightExposure();
    void CreateWaterMarkDlg();
    void InitNameRule();
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
    void AcceptCommands();

    // Shutdown
    void StoreWaterMarkSettings();
    void StopMultiCapture();
    void FinishDocument();
    void CloseCameras();
    void UnloadThumbnailLibrary();
    void UnregisterDeviceNotification();
    void UnregisterHotKey();

    bool SaveSettings();
    // Posts the close event whose handling hands the strip to a waiting driver program.
    void postCloseEvent();
    // The pages are written: the close that waited for them comes again.
    void closeAfterSaving();

    Ui::MainForm* ui;
    Settings m_settings;
    QString m_programDir; // with a trailing "/"
    ThumbnailLibrary m_thumbnails;
    QWidget* m_thumbnailHost = nullptr;
    QPreviewWidget* m_previewWidget = nullptr;

    std::unique_ptr<LanguageSource> m_language; // before its followers, which go first
    std::unique_ptr<Frame> m_frame;
    std::unique_ptr<MainMenu> m_menu;
    std::unique_ptr<WindowLayout> m_layout;
    std::unique_ptr<CameraRoles> m_roles;
    std::unique_ptr<CameraSelection> m_cameras;
    std::unique_ptr<ImageControls> m_imageControls;
    std::unique_ptr<Exposure> m_exposure;
    std::unique_ptr<ZoomControl> m_zoom;
    std::unique_ptr<WorkFolder> m_workFolder;
    std::unique_ptr<OutputFormat> m_format;
    std::unique_ptr<FileNamer> m_namer;
    std::unique_ptr<CaptureController> m_capture;
    std::unique_ptr<SavingBeforeClose> m_saving; // a close waits for the pages still being written
    int m_postedCloses = 0;                      // close events posted only to hand the strip over
    bool m_closeWaiting = false;                 // a close of the window waits for the pages
    std::unique_ptr<Fingerprints> m_fingerprints;
    std::unique_ptr<WatermarkCommand> m_watermark;
    std::unique_ptr<VideoRecording> m_recording;
    std::unique_ptr<FramePrinter> m_printer;
    QFingerShowDlg* m_fingerDlg = nullptr;   // a child of the window
    QOCRResultDlg* m_ocrResultDlg = nullptr; // a child of the window
    std::unique_ptr<OcrCommand> m_ocr;
    std::unique_ptr<OcrSave> m_ocrSave;
    std::unique_ptr<ReaderCommands> m_readers;
    QMultiCapDialog* m_multiCapDlg = nullptr;        // a child of the window
    QBarcodeResultDlg* m_barcodeResultDlg = nullptr; // a child of the window
    std::unique_ptr<BarcodeCommand> m_barcode;
    std::unique_ptr<IdCardCommand> m_idCard;
    std::unique_ptr<commands::CommandReceiver> m_commands;
    std::unique_ptr<commands::CameraPlugging> m_plugging;
    std::unique_ptr<commands::HotKey> m_hotKey;
    std::unique_ptr<Presentation> m_presentation;
    // The kind of file OCR results are exported as, chosen in the settings dialog for this run.
    QString m_ocrExtension = QStringLiteral("rtf");
    // Declared last, so destroyed first: the connections that reach the other features use it
    // as their context and end with it.
    std::unique_ptr<PictureInPicture> m_pip;
};

// The one main window, set as its construction begins; the engine's C callbacks reach it here.
extern MainForm* g_pMainForm;
