#pragma once

#include <QDialog>
#include <QString>

class LanguageSource;

namespace Ui {
class QOCRResultDlg;
} // namespace Ui

// The recognised text of the last recognition, editable so the user can correct and copy it, and
// a Save button that asks for the text as shown to be kept in a file. Closing only hides the
// window; the text stays until the next recognition replaces it.
class QOCRResultDlg : public QDialog {
    Q_OBJECT

public:
    // Shows its texts in the language of `language`, and follows it.
    explicit QOCRResultDlg(const LanguageSource& language, QWidget* parent = nullptr);
    ~QOCRResultDlg() override;

    // Shown as plain text: recognised text such as "a<b and c>d" would otherwise be taken for
    // markup and lose characters.
    void setOCRResult(const QString& text);
    void applyLanguage(int flag);
    // While a file is written the button waits; then the line beside it names the file (elided
    // in the middle, whole in its tool tip) or says why none was written.
    void setSaving(bool saving);
    void showSaved(const QString& path, const QString& failure);

signals:
    void saveRequested(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showStatus();

    Ui::QOCRResultDlg* ui;
    int m_language = 1;
    QString m_path;
    QString m_failure;
};
