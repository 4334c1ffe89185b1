#pragma once

#include <QDialog>
#include <QString>

class LanguageSource;

namespace Ui {
class QBarcodeResultDlg;
} // namespace Ui

// The codes of the last reading, as the engine's markup, with an export to an XML file.
// Closing only hides the window; the last result found stays until a reading finds another.
class QBarcodeResultDlg : public QDialog {
    Q_OBJECT

public:
    // Shows its texts in the language of `language`, and follows it.
    explicit QBarcodeResultDlg(const LanguageSource& language, QWidget* parent = nullptr);
    ~QBarcodeResultDlg() override;

    // An empty result shows why there is none (no code, the reading timed out, the camera is
    // gone: `reason` is a ZO_BARCODE_ reason) and disables the export, keeping the earlier
    // result; any other is shown as plain text (markup would otherwise be rendered) and kept.
    void setBarcodeResult(const QString& result, int reason = 0);
    // The texts of the window, the shown result's no-code message among them.
    void applyLanguage(int flag);

private slots:
    void onExport();
    void onCloseWindow();

private:
    QString pick(const char* chinese, const char* english) const;
    QString whyNothing(int reason) const;

    Ui::QBarcodeResultDlg* ui;
    QString m_result;
    QString m_shown; // what the last reading found, empty for nothing
    int m_reason = 0;
    bool m_read = false;
    int m_language = 1;
};
