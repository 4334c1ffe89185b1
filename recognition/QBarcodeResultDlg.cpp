#include "QBarcodeResultDlg.h"

#include "platform/Message.h"
#include "ui_QBarcodeResultDlg.h"

#include <QFileDialog>
#include <QSaveFile>

namespace {

// The whole of `bytes` or nothing: a temporary file beside the target is renamed over it only
// when everything was written, so a failure keeps the old file as it was. Unbuffered: Qt 6.4's
// commit() renames even when flushing its buffer failed (a full disk, a file size limit).
bool writeWhole(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
           file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

QBarcodeResultDlg::QBarcodeResultDlg(QWidget* parent)
    : QDialog(parent), ui(new Ui::QBarcodeResultDlg) {
    ui->setupUi(this);
    connect(ui->pushButtonExport, &QPushButton::clicked, this, &QBarcodeResultDlg::onExport);
    connect(ui->pushButtonClose, &QPushButton::clicked, this, &QBarcodeResultDlg::onCloseWindow);
}

QBarcodeResultDlg::~QBarcodeResultDlg() {
    delete ui;
}

void QBarcodeResultDlg::setBarcodeResult(const QString& result) {
    const bool found = !result.isEmpty();
    if (found)
        m_result = result;
    ui->textEdit->setPlainText(found ? result : QStringLiteral("没有检测到条码!"));
    ui->pushButtonExport->setEnabled(found);
}

// The file holds the engine's text byte for byte: it came as UTF-8 and goes back as UTF-8.
void QBarcodeResultDlg::onExport() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("保存条码识别结果"),
                                                      QString(), QStringLiteral("XML文件 (*.xml)"));
    if (path.isEmpty())
        return;
    platform::showMessage(QStringLiteral("提示"), writeWhole(path, m_result.toUtf8())
                                                      ? QStringLiteral("导出完成!")
                                                      : QStringLiteral("导出失败!"));
}

void QBarcodeResultDlg::onCloseWindow() {
    hide();
}
