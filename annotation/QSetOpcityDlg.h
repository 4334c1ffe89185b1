#pragma once

#include <QDialog>

namespace Ui {
class QSetOpcityDlg;
}

// Asks for the opacity of new annotations, 1 to 255: a fully transparent stroke cannot be chosen.
class QSetOpcityDlg : public QDialog {
    Q_OBJECT

public:
    explicit QSetOpcityDlg(QWidget* parent = nullptr);
    ~QSetOpcityDlg() override;

    void applyLanguage(int flag);
    void setOpacity(int value);
    int opacity() const { return m_opacity; }

public slots:
    void onOpcityChanged(int nVal);

private:
    Ui::QSetOpcityDlg* ui;
    int m_opacity = 255;
};
