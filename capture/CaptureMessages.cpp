#include "CaptureMessages.h"

#include "ThumbnailLibrary.h"
#include "platform/Message.h"

namespace capture_messages {

QString text(int language, const char* chinese, const char* english) {
    return QString::fromUtf8(language == 0 ? chinese : english);
}

void sayNoFolder(int language) {
    platform::showMessage(text(language, "提示", "Information"),
                          text(language, "工作目录无法使用, 图像未保存!",
                               "The work folder cannot be used; the picture was not saved."));
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
