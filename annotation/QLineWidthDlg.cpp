#include "QLineWidthDlg.h"

#include "ui_QLineWidthDlg.h"

QLineWidthDlg::QLineWidthDlg(QWidget* parent) : QDialog(parent), ui(new Ui::QLineWidthDlg) {
    ui->setupUi(this);
    for (int width = 1; width <= 17; ++width)
        ui->comboBoxLineWidth->addItem(QString::number(width));
    ui->comboBoxLineWidth->setCurrentIndex(m_lineWidth - 1);
    connect(ui->pushButtonOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->comboBoxLineWidth, &QComboBox::currentIndexChanged, this,
            &QLineWidthDlg::onLineWidthChange);
}

QLineWidthDlg::~QLineWidthDlg() {
    delete ui;
}

void QLineWidthDlg::applyLanguage(int flag) {
    if (flag != 0 && flag != 1)
        return;
    const bool chinese = flag == 0;
    setWindowTitle(chinese ? QStringLiteral("设置线宽") : QStringLiteral("Set line width"));
    ui->label->setText(chinese ? QStringLiteral("线宽:") : QStringLiteral("Line width"));
    ui->pushButtonOK->setText(chinese ? QStringLiteral("确认") : QStringLiteral("OK"));
    ui->pushButtonCancel->setText(chinese ? QStringLiteral("取消") : QStringLiteral("Cancel"));
}

void QLineWidthDlg::setLineWidth(int width) {
    m_lineWidth = width;
    ui->comboBoxLineWidth->setCurrentIndex(width - 1);
}

void QLineWidthDlg::onLineWidthChange() {
    m_lineWidth = ui->comboBoxLineWidth->currentIndex() + 1;
}
