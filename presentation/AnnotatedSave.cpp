#include "AnnotatedSave.h"

#include "CaptureMessages.h"
#include "FileNamer.h"
#include "FileNaming.h"
#include "ModeMessages.h"
#include "QBasePlate.h"
#include "QueuedCapture.h"
#include "ThumbnailLibrary.h"
#include "ZoApi.h"
#include "platform/Paths.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QTransform>

namespace {

// Screen pixels of the video rectangle onto frame pixels; the canvas lies at the window's origin.
QTransform screenToFrame(int camera, QSize frame) {
    int left = 0, top = 0, right = 0, bottom = 0;
    ZoGetVideoRectEx(camera, left, top, right, bottom);
    QTransform transform;
    if (right <= left || bottom <= top)
        return transform; // nothing drawn yet: the shapes keep their screen places
    transform.scale(static_cast<double>(frame.width()) / (right - left),
                    static_cast<double>(frame.height()) / (bottom - top));
    transform.translate(-left, -top);
    return transform;
}

// The naming rule chooses the name; the picture is a JPEG whatever the format of captures. Under
// another format the name may stay the same from save to save (a collected PDF keeps its name),
// so a JPEG already there, or one a save still being made will write, is kept and the new one
// gets "_2", "_3".
QByteArray asJpeg(const QByteArray& path, const QSet<QByteArray>& held) {
    const int dot = path.lastIndexOf('.');
    const int slash = path.lastIndexOf('/');
    const QByteArray base = dot > slash ? path.left(dot) : path;
    if (path.endsWith(".jpg"))
        return path;
    return naming::freshPath(base, ".jpg", [&held](const QByteArray& taken) {
        return held.contains(taken) || QFile::exists(QString::fromLocal8Bit(taken));
    });
}

} // namespace

AnnotatedSave::AnnotatedSave(FileNamer& namer, ThumbnailLibrary& strip)
    : m_namer(namer), m_strip(strip) {}

void AnnotatedSave::save(int camera, const QBasePlate& canvas, int language) {
    const QByteArray savePath = m_namer.makeSavePath();
    if (savePath.isEmpty()) {
        m_namer.sayWhyNoPath();
        return;
    }
    const QString folder = platform::privateTempDir();
    if (folder.isEmpty()) {
        capture_messages::sayNoPrivateFolder(language);
        return;
    }
    const QByteArray path = asJpeg(savePath, m_held);
    // Each save has a frame file of its own: two saves in a row are both being made at once.
    const QString framePath = folder + QStringLiteral("Annotated%1.jpg").arg(m_frames++);
    // The drawing lies over the frame as the view shows it: the page switches (a split, a crop)
    // would move it.
    const QByteArray frameFile = framePath.toLocal8Bit();
    const int job = queued_capture::startWith(
        [camera, &frameFile](ZoCaptureCallback done, void* user) {
            return ZoCaptureViewQueued(camera, frameFile.constData(), done, user);
        },
        &m_alive,
        [this, camera, &canvas, language, framePath, path](const CaptureResult& result) {
            m_held.remove(path);
            if (result.written > 0)
                compose(camera, canvas, language, framePath, path);
            else
                sayNoPicture(language);
            QFile::remove(framePath);
        });
    if (job <= 0)
        sayNoPicture(language);
    else
        m_held.insert(path);
}

// The shapes are drawn as the canvas holds them when the frame is saved, a moment after the press.
void AnnotatedSave::compose(int camera, const QBasePlate& canvas, int language,
                            const QString& framePath, const QByteArray& path) {
    QImage picture(framePath);
    if (picture.isNull()) {
        sayNoPicture(language);
        return;
    }
    picture = picture.convertToFormat(QImage::Format_RGB32);
    {
        QPainter painter(&picture);
        painter.drawImage(
            0, 0, canvas.renderShapes(picture.size(), screenToFrame(camera, picture.size())));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "JPG", 90) ||
        !platform::writeFileReplacing(QString::fromLocal8Bit(path), bytes)) {
        capture_messages::sayUnsaved(language, path);
        return;
    }
    m_strip.addChecked(path);
}
