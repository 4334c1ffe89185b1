#pragma once

#include <QDialog>

namespace Ui {
class QLineWidthDlg;
}

// Asks for the annotation line width, 1 to 17 pixels.
class QLineWidthDlg : public QDialog {
    Q_OBJECT

public:
    explicit QLineWidthDlg(QWidget* parent = nullptr);
    ~QLineWidthDlg() override;

    void applyLanguage(int flag);
    void setLineWidth(int width);
    int lineWidth() const { return m_lineWidth; }

public slots:
    void onLineWidthChange();

private:
    Ui::QLineWidthDlg* ui;
    int m_lineWidth = 5;
};
