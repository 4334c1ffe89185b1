#include "QOCRResultDlg.h"

#include "ui_QOCRResultDlg.h"

QOCRResultDlg::QOCRResultDlg(QWidget* parent) : QDialog(parent), ui(new Ui::QOCRResultDlg) {
    ui->setupUi(this);
}

QOCRResultDlg::~QOCRResultDlg() {
    delete ui;
}

void QOCRResultDlg::setOCRResult(const QString& text) {
    ui->textEdit->setPlainText(text);
}
