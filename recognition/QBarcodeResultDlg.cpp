#include "QBarcodeResultDlg.h"

#include "LanguageSource.h"
#include "ZoApi.h"
#include "platform/Language.h"
#include "platform/Message.h"
#include "ui_QBarcodeResultDlg.h"

#include <QFileDialog>
#include <QSaveFile>

namespace {

// The whole of `bytes` or nothing: a temporary file beside the target is renamed over it only
// when everything was written, so a failure keeps the old file as it was. Unbuffered: Qt 6.4's
// commit() renames even when flushing its buffer failed (a full disk, a file size limit).
// Empty when written, else the system's reason.
QString writeWhole(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                         file.write(bytes) == bytes.size() && file.commit();
    return written ? QString() : file.errorString();
}

} // namespace

QBarcodeResultDlg::QBarcodeResultDlg(const LanguageSource& language, QWidget* parent)
    : QDialog(parent), ui(new Ui::QBarcodeResultDlg) {
    ui->setupUi(this);
    applyLanguage(language.current() == 0 ? 0 : 1);
    connect(&language, &LanguageSource::changed, this, &QBarcodeResultDlg::applyLanguage);
    connect(ui->pushButtonExport, &QPushButton::clicked, this, &QBarcodeResultDlg::onExport);
    connect(ui->pushButtonClose, &QPushButton::clicked, this, &QBarcodeResultDlg::onCloseWindow);
}

QBarcodeResultDlg::~QBarcodeResultDlg() {
    delete ui;
}

QString QBarcodeResultDlg::pick(const char* chinese, const char* english) const {
    return platform::text(m_language, chinese, english);
}

void QBarcodeResultDlg::applyLanguage(int flag) {
    if (flag != 0 && flag != 1)
        return;
    m_language = flag;
    setWindowTitle(
        pick("条码识别结果显示(支持一维码和二维码)", "Barcode results (1D and 2D codes)"));
    ui->pushButtonExport->setText(pick("导出", "Export"));
    ui->pushButtonClose->setText(pick("关闭", "Close"));
    if (m_read)
        setBarcodeResult(m_shown, m_reason);
}

void QBarcodeResultDlg::setBarcodeResult(const QString& result, int reason) {
    const bool found = !result.isEmpty();
    m_read = true;
    m_shown = result;
    m_reason = reason;
    if (found)
        m_result = result;
    ui->textEdit->setPlainText(found ? result : whyNothing(reason));
    ui->pushButtonExport->setEnabled(found);
}

QString QBarcodeResultDlg::whyNothing(int reason) const {
    switch (reason) {
    case ZO_BARCODE_TIMED_OUT:
        return pick("条码识别超时", "Barcode reading timed out");
    case ZO_BARCODE_CAMERA_LOST:
        return pick("摄像头已断开", "Camera disconnected");
    default:
        return pick("没有检测到条码!", "No barcode was found.");
    }
}

// The file holds the engine's text byte for byte: it came as UTF-8 and goes back as UTF-8.
void QBarcodeResultDlg::onExport() {
    const QString path =
        QFileDialog::getSaveFileName(this, pick("保存条码识别结果", "Save the barcode results"),
                                     QString(), pick("XML文件 (*.xml)", "XML files (*.xml)"));
    if (path.isEmpty())
        return;
    const QString failure = writeWhole(path, m_result.toUtf8());
    platform::showMessage(pick("提示", "Information"),
                          failure.isEmpty()
                              ? pick("导出完成!", "Exported.")
                              : pick("导出失败!\n", "The export failed:\n") + failure);
}

void QBarcodeResultDlg::onCloseWindow() {
    hide();
}
