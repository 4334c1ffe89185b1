#include "MainForm.h"

#include "QSetFolderDlg.h"
#include "platform/Message.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool isDir(const QByteArray& path) {
    return QFileInfo(QString::fromLocal8Bit(path)).isDir();
}

// Creates the folder when it is missing; false when it is still missing.
bool ensureDir(const QByteArray& path) {
    return isDir(path) || QDir().mkpath(QString::fromLocal8Bit(path));
}

} // namespace

// A stored work folder that no longer exists (an unplugged drive) falls back to the default,
// which is also the folder of the settings file.
void MainForm::InitWorkPath() {
    m_docPath = platform::documentsDir().toLocal8Bit();
    QByteArray& workPath = m_settings.workPath;
    if (workPath.isEmpty() || !isDir(workPath)) {
        workPath = m_docPath + "/Papyra";
        // The documents folder itself may be missing on Linux (no desktop made it yet): create
        // it too, or every start would fail here and no setting could ever be saved.
        if (!ensureDir(workPath)) {
            platform::showMessage(QStringLiteral("提示"), QStringLiteral("创建工作目录失败!"));
            return;
        }
    }
    CreateImageDir();
}

bool MainForm::CreateImageDir() {
    m_imageDir = m_settings.workPath;
    const bool image = ensureDir(m_imageDir);
    if (!image)
        platform::showMessage(QStringLiteral("提示"), QStringLiteral("创建图像目录失败!"));
    m_recordDir = m_settings.workPath;
    const bool record = ensureDir(m_recordDir);
    if (!record)
        platform::showMessage(QStringLiteral("提示"), QStringLiteral("创建录像目录失败!"));
    return image && record;
}

// Files already in the old folder stay where they are; the next capture goes to the new one.
void MainForm::setWorkPath(const QByteArray& path) {
    m_settings.workPath = path;
    CreateImageDir();
}

void MainForm::openSetFolderDlg() {
    QSetFolderDlg dialog(this);
    dialog.applyLanguage(m_language);
    dialog.exec();
}

void MainForm::onBrowser() {
    const QByteArray folder = chooseWritableFolder(this);
    if (!folder.isEmpty())
        setWorkPath(folder);
}

void MainForm::onOpenFolder() {
    showFolder(m_settings.workPath);
}
