#include "WorkFolder.h"

#include "QSetFolderDlg.h"
#include "Settings.h"
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

WorkFolder::WorkFolder(Settings& settings, QWidget* dialogParent)
    : m_settings(settings), m_dialogParent(dialogParent) {}

const QByteArray& WorkFolder::path() const {
    return m_settings.workPath;
}

bool WorkFolder::usable() const {
    return !m_imageDir.isEmpty() && isDir(m_imageDir);
}

void WorkFolder::init() {
    m_documentsDir = platform::documentsDir().toLocal8Bit();
    QByteArray& workPath = m_settings.workPath;
    if (workPath.isEmpty() || !isDir(workPath)) {
        workPath = m_documentsDir + "/Papyra";
        // The documents folder itself may be missing on Linux (no desktop made it yet): create
        // it too, or every start would fail here and no setting could ever be saved.
        if (!ensureDir(workPath)) {
            say("创建工作目录失败!", "The work folder could not be created.");
            return;
        }
    }
    createImageDir();
}

void WorkFolder::say(const char* chinese, const char* english) const {
    const bool inChinese = m_settings.language == 0;
    platform::showMessage(inChinese ? QStringLiteral("提示") : QStringLiteral("Information"),
                          QString::fromUtf8(inChinese ? chinese : english));
}

bool WorkFolder::createImageDir() {
    m_imageDir = m_settings.workPath;
    const bool image = ensureDir(m_imageDir);
    if (!image)
        say("创建图像目录失败!", "The folder for pictures could not be created.");
    m_recordDir = m_settings.workPath;
    const bool record = ensureDir(m_recordDir);
    if (!record)
        say("创建录像目录失败!", "The folder for recordings could not be created.");
    return image && record;
}

void WorkFolder::setPath(const QByteArray& path) {
    m_settings.workPath = path;
    createImageDir();
}

void WorkFolder::openDialog() {
    QSetFolderDlg dialog(m_settings.workPath, m_dialogParent);
    dialog.applyLanguage(m_settings.language);
    QObject::connect(&dialog, &QSetFolderDlg::folderChosen, &dialog,
                     [this](const QByteArray& folder) { setPath(folder); });
    dialog.exec();
}

void WorkFolder::browse() {
    const QByteArray folder = chooseWritableFolder(m_dialogParent, m_settings.language,
                                                   QString::fromLocal8Bit(m_settings.workPath));
    if (!folder.isEmpty())
        setPath(folder);
}

void WorkFolder::show() const {
    if (!showFolder(m_settings.workPath))
        platform::showMessage(m_settings.language == 0 ? QStringLiteral("提示")
                                                       : QStringLiteral("Information"),
                              noFileManagerText(m_settings.language));
}
