#include "QSetOpcityDlg.h"

#include "ui_QSetOpcityDlg.h"

QSetOpcityDlg::QSetOpcityDlg(QWidget* parent) : QDialog(parent), ui(new Ui::QSetOpcityDlg) {
    ui->setupUi(this);
    ui->horizontalSliderOpcity->setRange(1, 255);
    ui->horizontalSliderOpcity->setValue(m_opacity);
    ui->labelOpcity->setText(QString::number(m_opacity));
    connect(ui->horizontalSliderOpcity, &QSlider::valueChanged, this,
            &QSetOpcityDlg::onOpcityChanged);
    connect(ui->pushButtonOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QSetOpcityDlg::~QSetOpcityDlg() {
    delete ui;
}

void QSetOpcityDlg::applyLanguage(int flag) {
    if (flag != 0 && flag != 1)
        return;
    const bool chinese = flag == 0;
    setWindowTitle(chinese ? QStringLiteral("设置透明度:") : QStringLiteral("Set opacity"));
    ui->label->setText(chinese ? QStringLiteral("透明度:") : QStringLiteral("Opacity"));
    ui->pushButtonOK->setText(chinese ? QStringLiteral("确认") : QStringLiteral("OK"));
    ui->pushButtonCancel->setText(chinese ? QStringLiteral("取消") : QStringLiteral("Cancel"));
}

void QSetOpcityDlg::setOpacity(int value) {
    m_opacity = value;
    ui->horizontalSliderOpcity->setValue(value); // the label follows through the slot
}

void QSetOpcityDlg::onOpcityChanged(int) {
    m_opacity = ui->horizontalSliderOpcity->value();
    ui->labelOpcity->setText(QString::number(m_opacity));
}
