#include "CompositeCapture.h"

#include "CameraRoles.h"
#include "CaptureMessages.h"
#include "FileNamer.h"
#include "FileNaming.h"
#include "InsetFigures.h"
#include "OutputFormat.h"
#include "PictureInPicture.h"
#include "Settings.h"
#include "ZoApi.h"
#include "platform/Message.h"
#include "platform/Paths.h"

#include <QAbstractButton>
#include <QFile>

using capture_messages::sayNoFolder;
using capture_messages::sayUnsaved;
using capture_messages::text;

CompositeCapture::CompositeCapture(const Settings& settings, const CameraRoles& roles,
                                   FileNamer& namer, const OutputFormat& format,
                                   ThumbnailLibrary& strip, const PictureInPicture& pip,
                                   const Widgets& widgets, std::function<void()> captureAgain)
    : m_settings(settings), m_roles(roles), m_namer(namer), m_format(format), m_strip(strip),
      m_pip(pip), m_widgets(widgets), m_captureAgain(std::move(captureAgain)) {}

void CompositeCapture::onMergeToggled() {
    const bool on = m_widgets.merge->isChecked();
    m_widgets.horizontal->setEnabled(on);
    m_widgets.vertical->setEnabled(on);
    if (!on) {
        m_first.clear();
        m_second.clear();
    }
}

void CompositeCapture::forgetFirstShot() {
    m_first.clear();
}

// The prompt is modal: the second shot follows as soon as it is closed, unless the box was
// unchecked meanwhile, which forgets the first shot.
void CompositeCapture::captureMerged() {
    if (m_first.isEmpty()) {
        m_used.clear();
        m_first = takeShot("ZoFront.jpg");
        if (m_first.isEmpty())
            return;
        if (m_promptShown)
            m_promptShown();
        platform::showMessage(
            text(m_settings.language, "提示", "Information"),
            text(m_settings.language,
                 "第一张或身份证正面已拍照, 请翻面或更换文档后点击确认拍照第二张",
                 "The first side is taken. Turn the page or the card over, or lay the next "
                 "document, then press OK to take the second side."));
        if (!m_first.isEmpty())
            m_captureAgain();
        return;
    }
    const QByteArray first = std::exchange(m_first, QByteArray());
    m_second = takeShot("ZoBack.jpg");
    if (m_second.isEmpty())
        return;
    const QByteArray out = nextPath();
    if (out.isEmpty()) {
        sayNoFolder(m_settings.language);
        return;
    }
    const QByteArray list = first + ';' + m_second + ';';
    const bool vertical = m_widgets.vertical->isChecked();
    const bool horizontal = m_widgets.horizontal->isChecked();
    finish(out, [list, vertical, horizontal](const QByteArray& path) {
        int written = 0;
        if (vertical)
            written = ZoImagesMix(list.constData(), 1, 2, 0, 0, path.constData());
        if (horizontal)
            written = ZoImagesMix(list.constData(), 0, 1, 2, 0, path.constData());
        return written;
    });
}

void CompositeCapture::captureInset() {
    m_used.clear();
    inset(nullptr);
}

// The temporary files are this process's own and go as soon as the result is written.
void CompositeCapture::captureMainSubMix() {
    m_used.clear();
    const QByteArray out = nextPath();
    if (out.isEmpty()) {
        sayNoFolder(m_settings.language);
        return;
    }
    const QByteArray temp = platform::privateTempDir().toLocal8Bit();
    const QByteArray mainShot = temp + "Zo01.jpg";
    const QByteArray subShot = temp + "Zo02.jpg";
    if (ZoCapture(m_roles.main(), mainShot.constData()) > 0 &&
        ZoCapture(m_roles.sub(), subShot.constData()) > 0) {
        const QByteArray list = subShot + ';' + mainShot + ';';
        finish(out, [list](const QByteArray& path) {
            return ZoImagesMix(list.constData(), 1, 2, 0, 0, path.constData());
        });
    } else {
        sayUnsaved(m_settings.language, out);
    }
    QFile::remove(QString::fromLocal8Bit(mainShot));
    QFile::remove(QString::fromLocal8Bit(subShot));
}

// The naming rules may give one path twice within an operation (the custom name, a multi-page
// document, a date within the same second), and a second write would lose the first shot: a
// path this operation used already gets "_2", "_3".
QByteArray CompositeCapture::nextPath() {
    QByteArray path = m_namer.makeSavePath();
    if (path.isEmpty())
        return {};
    const QByteArray& extension = m_format.extension();
    if (m_used.contains(path) && path.endsWith(extension))
        path = naming::freshPath(path.chopped(extension.size()), extension,
                                 [this](const QByteArray& p) { return m_used.contains(p); });
    m_used.insert(path);
    return path;
}

// While PDF pages are collected, a source picture is no page of the document: it goes to the
// private temporary folder, and only the result is added to the document.
QByteArray CompositeCapture::shotPath(const char* temporaryName) {
    if (m_format.collectsPages())
        return platform::privateTempDir().toLocal8Bit() + temporaryName;
    return nextPath();
}

// One source of a merge, of the main camera or with the sub picture inset; empty, after saying
// why, when nothing was written.
QByteArray CompositeCapture::takeShot(const char* temporaryName) {
    if (m_widgets.subOn->isChecked() && m_widgets.inVideo->isChecked())
        return inset(temporaryName);
    const QByteArray path = shotPath(temporaryName);
    if (path.isEmpty()) {
        sayNoFolder(m_settings.language);
        return {};
    }
    if (ZoCapture(m_roles.main(), path.constData()) == 0) {
        sayUnsaved(m_settings.language, path);
        return {};
    }
    return path;
}

// Both cameras' shots, then the sub picture inset where the floating window stands over the
// video. Into the shot `temporaryName` names for a merge, into a new strip entry without one.
// Returns the path written, or empty after saying why.
QByteArray CompositeCapture::inset(const char* temporaryName) {
    const QByteArray mainShot = shotPath("ZoMain.jpg");
    const QByteArray subShot = shotPath("ZoSub.jpg");
    if (mainShot.isEmpty() || subShot.isEmpty()) {
        sayNoFolder(m_settings.language);
        return {};
    }
    const int main = m_roles.main();
    if (ZoCapture(main, mainShot.constData()) == 0) {
        sayUnsaved(m_settings.language, mainShot);
        return {};
    }
    ZoCapture(m_roles.sub(), subShot.constData()); // a missing sub picture fails the inset
    const QByteArray out = temporaryName ? shotPath(temporaryName) : nextPath();
    if (out.isEmpty()) {
        sayNoFolder(m_settings.language);
        return {};
    }

    int left = 0, top = 0, right = 0, bottom = 0;
    ZoGetVideoRectEx(main, left, top, right, bottom);
    const QWidget* window = m_pip.smallWidget();
    const QPoint origin = m_widgets.preview->mapToGlobal(QPoint(0, 0));
    const QRect video(origin + QPoint(left, top), QSize(right - left, bottom - top));
    const QRect floating(window->mapToGlobal(QPoint(0, 0)), window->size());
    const QSize picture(ZoGetImageWidth(mainShot.constData()),
                        ZoGetImageHeight(mainShot.constData()));

    Compose compose;
    if (const std::optional<InsetFigures> figures = insetFigures(picture, video, floating)) {
        compose = [mainShot, subShot, f = *figures](const QByteArray& path) {
            return ZoCombineMainSubEn(mainShot.constData(), subShot.constData(), path.constData(),
                                      f.width, f.height, -f.x, -f.y);
        };
    } else {
        platform::showMessage(
            text(m_settings.language, "提示", "Information"),
            text(m_settings.language, "视频区域未知, 副摄像头画面未嵌入, 仅保存主摄像头图像。",
                 "The video area is unknown: the sub camera's picture was not inset, only the "
                 "main camera's picture was saved."));
        compose = [main](const QByteArray& path) {
            return ZoCapture(main, path.constData());
        };
    }
    if (!temporaryName)
        return finish(out, compose) ? out : QByteArray();
    if (compose(out) == 0) {
        sayUnsaved(m_settings.language, out);
        return {};
    }
    return out;
}

// The result, once written, becomes the strip's new checked entry; a PDF shows there through a
// JPEG of the same picture.
bool CompositeCapture::finish(const QByteArray& out, const Compose& compose) {
    if (compose(out) == 0) {
        sayUnsaved(m_settings.language, out);
        return false;
    }
    QByteArray thumb;
    if (m_format.showsPdf()) {
        thumb = platform::privateTempDir().toLocal8Bit() + "ZoImage.jpg";
        compose(thumb);
    }
    addToStrip(m_strip, out, thumb);
    return true;
}
