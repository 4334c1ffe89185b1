#include "QFingerShowDlg.h"

#include "ui_QFingerShowDlg.h"

QFingerShowDlg::QFingerShowDlg(QWidget* parent) : QDialog(parent), ui(new Ui::QFingerShowDlg) {
    ui->setupUi(this);
    connect(ui->pushButton, &QPushButton::clicked, this, &QFingerShowDlg::onFingerPrintGet);
    connect(ui->pushButton_2, &QPushButton::clicked, this, &QFingerShowDlg::onFingerPrintMatch);
}

QFingerShowDlg::~QFingerShowDlg() {
    delete ui;
}

void QFingerShowDlg::onFingerPrintGet() {
    emit enrolRequested(ui->lineEdit->text());
}

void QFingerShowDlg::onFingerPrintMatch() {
    emit matchRequested();
}
