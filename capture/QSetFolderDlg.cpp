#include "QSetFolderDlg.h"

#include "ui_QSetFolderDlg.h"

#include "platform/Message.h"
#include "platform/Paths.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QTemporaryFile>
#include <QUrl>

namespace {

// A file of a name nobody else uses is made and removed again: a file of the user's that
// happens to carry the probe's name is never touched.
bool takesFiles(const QString& folder) {
    QTemporaryFile probe(folder + QStringLiteral("/.write-test-XXXXXX"));
    return probe.open();
}

} // namespace

QByteArray chooseWritableFolder(QWidget* parent) {
    const QString folder = QFileDialog::getExistingDirectory(
        parent, QStringLiteral("选择目录"), platform::documentsDir(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return {};
    if (!takesFiles(folder)) {
        platform::showMessage(QStringLiteral("提示"),
                              QStringLiteral("所选目录没有文件写权限, 请重新选择目录!"));
        return {};
    }
    return folder.toLocal8Bit();
}

void showFolder(const QByteArray& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromLocal8Bit(path)));
}

QSetFolderDlg::QSetFolderDlg(const QByteArray& workPath, QWidget* parent)
    : QDialog(parent), ui(new Ui::QSetFolderDlg), m_workPath(workPath) {
    ui->setupUi(this);
    ui->lineEditFilePath->setText(QString::fromLocal8Bit(m_workPath));
    connect(ui->pushBtnBrowser, &QPushButton::clicked, this, &QSetFolderDlg::onBrowser);
    connect(ui->pushBtnOpenFolder, &QPushButton::clicked, this, &QSetFolderDlg::onOpenFolder);
}

QSetFolderDlg::~QSetFolderDlg() {
    delete ui;
}

void QSetFolderDlg::applyLanguage(int flag) {
    if (flag != 0 && flag != 1)
        return;
    const bool chinese = flag == 0;
    setWindowTitle(chinese ? QStringLiteral("保存路径设置") : QStringLiteral("Save path setting"));
    ui->label_9->setText(chinese ? QStringLiteral("文件路径:") : QStringLiteral("Image path:"));
    ui->pushBtnOpenFolder->setText(chinese ? QStringLiteral("打开") : QStringLiteral("open"));
}

void QSetFolderDlg::onBrowser() {
    const QByteArray folder = chooseWritableFolder(this);
    if (folder.isEmpty())
        return;
    m_workPath = folder;
    emit folderChosen(folder);
    ui->lineEditFilePath->setText(QString::fromLocal8Bit(folder));
}

void QSetFolderDlg::onOpenFolder() {
    showFolder(m_workPath);
}
