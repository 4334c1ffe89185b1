#include "QFingerShowDlg.h"

#include "LanguageSource.h"
#include "platform/Language.h"
#include "ui_QFingerShowDlg.h"

QFingerShowDlg::QFingerShowDlg(const LanguageSource& language, QWidget* parent)
    : QDialog(parent), ui(new Ui::QFingerShowDlg) {
    ui->setupUi(this);
    applyLanguage(language.current() == 0 ? 0 : 1);
    connect(&language, &LanguageSource::changed, this, &QFingerShowDlg::applyLanguage);
    connect(ui->pushButton, &QPushButton::clicked, this, &QFingerShowDlg::onFingerPrintGet);
    connect(ui->pushButton_2, &QPushButton::clicked, this, &QFingerShowDlg::onFingerPrintMatch);
}

QFingerShowDlg::~QFingerShowDlg() {
    delete ui;
}

void QFingerShowDlg::applyLanguage(int flag) {
    if (flag != 0 && flag != 1)
        return;
    const auto pick = [flag](const char* chinese, const char* english) {
        return platform::text(flag, chinese, english);
    };
    setWindowTitle(pick("指纹识别", "Fingerprint"));
    ui->label->setText(pick("姓  名:", "Name:"));
    ui->pushButton->setText(pick("指纹采集", "Enrol finger"));
    ui->pushButton_2->setText(pick("指纹比对", "Identify finger"));
}

void QFingerShowDlg::onFingerPrintGet() {
    emit enrolRequested(ui->lineEdit->text());
}

void QFingerShowDlg::onFingerPrintMatch() {
    emit matchRequested();
}
