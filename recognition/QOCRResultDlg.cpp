#include "QOCRResultDlg.h"

#include "LanguageSource.h"
#include "ui_QOCRResultDlg.h"

QOCRResultDlg::QOCRResultDlg(const LanguageSource& language, QWidget* parent)
    : QDialog(parent), ui(new Ui::QOCRResultDlg) {
    ui->setupUi(this);
    applyLanguage(language.current() == 0 ? 0 : 1);
    connect(&language, &LanguageSource::changed, this, &QOCRResultDlg::applyLanguage);
    connect(ui->pushButtonSave, &QPushButton::clicked, this,
            [this] { emit saveRequested(ui->textEdit->toPlainText()); });
}

QOCRResultDlg::~QOCRResultDlg() {
    delete ui;
}

void QOCRResultDlg::setOCRResult(const QString& text) {
    ui->textEdit->setPlainText(text);
    m_path.clear();
    m_failure.clear();
    showStatus();
}

void QOCRResultDlg::applyLanguage(int flag) {
    if (flag != 0 && flag != 1)
        return;
    m_language = flag;
    setWindowTitle(flag == 0 ? QStringLiteral("OCR识别结果") : QStringLiteral("OCR results"));
    ui->pushButtonSave->setText(flag == 0 ? QStringLiteral("保存") : QStringLiteral("Save"));
    showStatus();
}

void QOCRResultDlg::setSaving(bool saving) {
    ui->pushButtonSave->setEnabled(!saving);
    setCursor(saving ? Qt::BusyCursor : Qt::ArrowCursor);
}

void QOCRResultDlg::showSaved(const QString& path, const QString& failure) {
    setSaving(false);
    m_path = path;
    m_failure = failure;
    showStatus();
}

void QOCRResultDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    showStatus();
}

void QOCRResultDlg::showStatus() {
    QString line;
    if (!m_failure.isEmpty())
        line = (m_language == 0 ? QStringLiteral("未保存: ") : QStringLiteral("Not saved: ")) +
               m_failure;
    else if (!m_path.isEmpty())
        line = (m_language == 0 ? QStringLiteral("已保存: ") : QStringLiteral("Saved: ")) + m_path;
    ui->labelSaved->setToolTip(line);
    ui->labelSaved->setText(ui->labelSaved->fontMetrics().elidedText(
        line, Qt::ElideMiddle, std::max(40, ui->labelSaved->width())));
}
