#include "CaptureMessages.h"

#include "ThumbnailLibrary.h"
#include "ZoApi.h"
#include "platform/Message.h"
#include "platform/Paths.h"

#include <QDir>
#include <QImage>
#include <QToolTip>
#include <QWidget>

namespace capture_messages {

void sayNoFolder(int language) {
    platform::showMessage(text(language, "提示", "Information"),
                          text(language, "工作目录无法使用, 图像未保存!",
                               "The work folder cannot be used; the picture was not saved."));
}

void sayNoPrivateFolder(int language) {
    platform::showMessage(
        text(language, "提示", "Information"),
        text(language, "无法在临时目录 %1 中创建本程序的私有目录, 图像未拍摄也未交出!",
             "The program's private folder cannot be made in the temporary folder %1; no "
             "picture was taken or handed over.")
            .arg(QDir::toNativeSeparators(QDir::tempPath())));
}

void sayUnsaved(int language, const QByteArray& path) {
    const QString where = QString::fromLocal8Bit(path);
    if (language == 0)
        platform::showMessage(QStringLiteral("提示"),
                              QStringLiteral("图像无法保存到 %1").arg(where));
    else
        platform::showMessage(QStringLiteral("Information"),
                              QStringLiteral("The picture could not be saved to %1").arg(where));
}

QString reasonText(int language, int reason) {
    switch (reason) {
    case ZO_CAPTURE_BUSY:
        return text(language, "忙", "Busy");
    case ZO_CAPTURE_CAMERA_LOST:
        return text(language, "摄像头已断开", "The camera is disconnected");
    case ZO_CAPTURE_FOLDER_MISSING:
        return text(language, "工作目录不存在", "The work folder does not exist");
    case ZO_CAPTURE_FOLDER_READ_ONLY:
        return text(language, "工作目录不可写入", "The work folder is read-only");
    case ZO_CAPTURE_DISK_FULL:
        return text(language, "磁盘已满", "The disk is full");
    case ZO_CAPTURE_NAME_REFUSED:
        return text(language, "文件名无效", "The file name was refused");
    case ZO_CAPTURE_PICTURE_DAMAGED:
        return text(language, "摄像头的图像已损坏", "The camera's picture was damaged");
    case ZO_CAPTURE_NO_TEXT_READER:
        return text(language, "缺少文字识别组件, 页面未带文字",
                    "The text reader is missing; the page has no text");
    default:
        return text(language, "写入文件失败", "Writing the file failed");
    }
}

// A searchable page saved without its text is saved all the same: the message says so.
void sayFailed(int language, int reason, const QByteArray& path) {
    const QString where = QString::fromLocal8Bit(path);
    const QString why = reasonText(language, reason);
    if (reason == ZO_CAPTURE_NO_TEXT_READER)
        platform::showMessage(text(language, "提示", "Information"),
                              QStringLiteral("%1: %2").arg(why, where));
    else if (language == 0)
        platform::showMessage(QStringLiteral("提示"),
                              QStringLiteral("%1, 图像无法保存到 %2").arg(why, where));
    else
        platform::showMessage(
            QStringLiteral("Information"),
            QStringLiteral("%1; the picture could not be saved to %2").arg(why, where));
}

void sayBusy(int language, QWidget* near) {
    const QString message =
        text(language, "忙, 前面的图像仍在保存", "Busy: the pictures before are still being saved");
    if (near == nullptr)
        return;
    QToolTip::showText(near->mapToGlobal(near->rect().center()), message, near, {}, 2000);
}

} // namespace capture_messages

void addToStrip(ThumbnailLibrary& strip, const QByteArray& path, const QByteArray& thumb) {
    if (thumb.isEmpty()) {
        strip.addChecked(path);
        return;
    }
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    const int before = strip.imgCount().value_or(0);
    strip.addImageItemEx(path, thumb, name);
    const int after = strip.imgCount().value_or(0);
    if (after > before)
        strip.setItemChecked(after - 1, 1);
}

void addDocumentToStrip(ThumbnailLibrary& strip, const QByteArray& path, const QImage& picture) {
    // Without the private folder the document shows without a picture of its page.
    const QByteArray folder = platform::privateTempDir().toLocal8Bit();
    const QByteArray thumb = folder + "ZoImage.jpg";
    const bool saved = !folder.isEmpty() && !picture.isNull() &&
                       picture.save(QString::fromLocal8Bit(thumb), "JPG");
    addToStrip(strip, path, saved ? thumb : QByteArray());
}
