#include "QSetFolderDlg.h"

#include "platform/Language.h"
#include "platform/Message.h"
#include "platform/Paths.h"
#include "ui_QSetFolderDlg.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
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

QString folderRefusal(const QString& folder, int language) {
    const auto pick = [language](const char* chinese, const char* english) {
        return platform::text(language, chinese, english);
    };
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return pick("目录不存在, 请重新选择目录!",
                    "There is no such folder; please choose another.");
    if (!takesFiles(folder))
        return pick("所选目录没有文件写权限, 请重新选择目录!",
                    "The chosen folder does not take files; please choose another.");
    return {};
}

QByteArray chooseWritableFolder(QWidget* parent, int language, const QString& start) {
    const QString folder = QFileDialog::getExistingDirectory(
        parent, language == 0 ? QStringLiteral("选择目录") : QStringLiteral("Choose a folder"),
        QFileInfo(start).isDir() ? start : platform::documentsDir(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return {};
    const QString refusal = folderRefusal(folder, language);
    if (!refusal.isEmpty()) {
        platform::showMessage(
            language == 0 ? QStringLiteral("提示") : QStringLiteral("Information"), refusal);
        return {};
    }
    return folder.toLocal8Bit();
}

bool showFolder(const QByteArray& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromLocal8Bit(path)));
}

QString noFileManagerText(int language) {
    return language == 0 ? QStringLiteral("无法打开目录: 没有可用的文件管理器。")
                         : QStringLiteral("The folder could not be opened: no file manager is "
                                          "available.");
}

QSetFolderDlg::QSetFolderDlg(const QByteArray& workPath, QWidget* parent)
    : QDialog(parent), ui(new Ui::QSetFolderDlg), m_workPath(workPath) {
    ui->setupUi(this);
    ui->lineEditFilePath->setText(QString::fromLocal8Bit(m_workPath));
    ui->labelStatus->hide();
    connect(ui->pushBtnBrowser, &QPushButton::clicked, this, &QSetFolderDlg::onBrowser);
    connect(ui->pushBtnOpenFolder, &QPushButton::clicked, this, &QSetFolderDlg::onOpenFolder);
    connect(ui->lineEditFilePath, &QLineEdit::editingFinished, this, &QSetFolderDlg::onPathEdited);
}

QSetFolderDlg::~QSetFolderDlg() {
    delete ui;
}

void QSetFolderDlg::applyLanguage(int flag) {
    if (flag != 0 && flag != 1)
        return;
    m_language = flag;
    const bool chinese = flag == 0;
    setWindowTitle(chinese ? QStringLiteral("保存路径设置") : QStringLiteral("Save path setting"));
    ui->label_9->setText(chinese ? QStringLiteral("文件路径:") : QStringLiteral("Image path:"));
    ui->pushBtnOpenFolder->setText(chinese ? QStringLiteral("打开") : QStringLiteral("Open"));
}

void QSetFolderDlg::onBrowser() {
    const QByteArray folder =
        chooseWritableFolder(this, m_language, QString::fromLocal8Bit(m_workPath));
    if (!folder.isEmpty())
        take(folder);
}

// A typed or pasted path is taken only once it is known to take files; otherwise the field goes
// back to the folder in use and the line below it says why.
void QSetFolderDlg::onPathEdited() {
    const QString typed = QDir::cleanPath(ui->lineEditFilePath->text().trimmed());
    if (typed.toLocal8Bit() == m_workPath)
        return;
    const QString refusal = folderRefusal(typed, m_language);
    if (refusal.isEmpty()) {
        take(typed.toLocal8Bit());
        return;
    }
    ui->lineEditFilePath->setText(QString::fromLocal8Bit(m_workPath));
    showStatus(refusal);
}

void QSetFolderDlg::take(const QByteArray& folder) {
    m_workPath = folder;
    ui->lineEditFilePath->setText(QString::fromLocal8Bit(folder));
    ui->labelStatus->hide();
    emit folderChosen(folder);
}

void QSetFolderDlg::onOpenFolder() {
    if (!showFolder(m_workPath))
        showStatus(noFileManagerText(m_language));
}

void QSetFolderDlg::showStatus(const QString& text) {
    ui->labelStatus->setText(text);
    ui->labelStatus->show();
}
