#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class QOCRResultDlg;
}

// The recognised text of the last recognition, editable so the user can correct and copy it.
// Closing only hides the window; the text stays until the next recognition replaces it.
class QOCRResultDlg : public QDialog {
    Q_OBJECT

public:
    explicit QOCRResultDlg(QWidget* parent = nullptr);
    ~QOCRResultDlg() override;

    // Shown as plain text: recognised text such as "a<b and c>d" would otherwise be taken for
    // markup and lose characters.
    void setOCRResult(const QString& text);

private:
    Ui::QOCRResultDlg* ui;
};
