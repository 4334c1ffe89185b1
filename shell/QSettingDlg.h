#pragma once

#include <QDialog>
#include <QString>

#include <functional>

namespace Ui {
class QSettingDlg;
}
struct Settings;

// The microphone for recordings, resizing of captured pictures with its ratio, and the kind of
// file OCR results are exported as. Changes take effect at once; the settings file keeps them at
// exit.
class QSettingDlg : public QDialog {
    Q_OBJECT

public:
    // Hands the resize switch and ratio to the capture pipeline, which stores and sends them.
    using SetResize = std::function<void(bool enable, float ratio)>;

    QSettingDlg(Settings& settings, QString& ocrExtension, SetResize setResize,
                QWidget* parent = nullptr);
    ~QSettingDlg() override;

    // Opens the dialog in the stored language and returns when it is closed.
    static void edit(Settings& settings, QString& ocrExtension, SetResize setResize);

    void applyLanguage(int flag);

public slots:
    void onAudioChange();
    void onResize();
    void onRatioChange();
    void onOCRExtChange();

private:
    void fillMicrophones();
    void fillResize();
    void fillOcrChoices();
    void showRatioValid(bool valid);

    Ui::QSettingDlg* ui;
    Settings& m_settings;
    QString& m_ocrExtension;
    SetResize m_setResize;
    int m_language = 1;
};
