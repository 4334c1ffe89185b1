#include "CompositeCapture.h"

#include "CameraRoles.h"
#include "CaptureMessages.h"
#include "FileNamer.h"
#include "FileNaming.h"
#include "InsetFigures.h"
#include "OutputFormat.h"
#include "PictureInPicture.h"
#include "Settings.h"
#include "ThumbnailLibrary.h"
#include "platform/Message.h"
#include "platform/Paths.h"

#include <QAbstractButton>
#include <QFile>
#include <QImage>

#include <memory>

using capture_messages::sayBusy;
using capture_messages::sayFailed;
using capture_messages::text;

// What became of the two cameras' shots of one press.
struct CompositeCapture::BothShots {
    int ended = 0;
    bool main = false;
    bool sub = false;
    int reason = ZO_CAPTURE_OK; // the first failure's
};

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
    if (!on)
        m_first.clear();
}

void CompositeCapture::forgetFirstShot() {
    m_first.clear();
}

// The names of one operation are kept apart (nextPath), so a second one waits for the first.
// Shots that are no files of the user's go to the program's private folder; without it nothing
// is taken rather than put in a folder others can read.
bool CompositeCapture::refusedNow(const PressEnded& ended, bool needsPrivateFolder) {
    if (m_pending > 0)
        sayBusy(m_settings.language, m_widgets.preview);
    else if (needsPrivateFolder && platform::privateTempDir().isEmpty())
        capture_messages::sayNoPrivateFolder(m_settings.language);
    else
        return false;
    if (ended)
        ended(PressEnd::Refused);
    return true;
}

namespace {

// `ended` hears whether a path was written.
void tell(const PressEnded& ended, const QByteArray& written) {
    if (ended)
        ended(written.isEmpty() ? PressEnd::Failed : PressEnd::Written);
}

} // namespace

void CompositeCapture::captureMerged(PressEnded ended) {
    if (!m_first.isEmpty()) {
        takeSecondSide(std::move(ended));
        return;
    }
    if (refusedNow(ended, m_format.collectsPages()))
        return;
    m_used.clear();
    begin();
    takeShot("ZoFront.jpg", [this, ended](const QByteArray& first) {
        tell(ended, first);
        if (!first.isEmpty() && m_widgets.merge->isChecked())
            promptForSecondSide(first);
        end();
    });
}

// The prompt is modal: the second shot follows as soon as it is closed, unless the box was
// unchecked meanwhile, which forgets the first shot.
void CompositeCapture::promptForSecondSide(const QByteArray& first) {
    m_first = first;
    if (m_promptShown)
        m_promptShown();
    platform::showMessage(
        text(m_settings.language, "提示", "Information"),
        text(m_settings.language, "第一张或身份证正面已拍照, 请翻面或更换文档后点击确认拍照第二张",
             "The first side is taken. Turn the page or the card over, or lay the next "
             "document, then press OK to take the second side."));
    if (!m_first.isEmpty())
        m_captureAgain();
}

void CompositeCapture::takeSecondSide(PressEnded ended) {
    const QByteArray first = std::exchange(m_first, QByteArray());
    const bool vertical = m_widgets.vertical->isChecked();
    begin();
    takeShot("ZoBack.jpg", [this, first, vertical, ended](const QByteArray& second) {
        if (second.isEmpty()) {
            tell(ended, second);
        } else {
            const QByteArray list = first + ';' + second + ';';
            const int main = m_roles.main();
            compose(
                nextPath(),
                [list, vertical, main](const QByteArray& out, ZoCaptureCallback done, void* user) {
                    return vertical ? ZoImagesMixQueued(main, list, 1, 2, 0, 0, out, done, user)
                                    : ZoImagesMixQueued(main, list, 0, 1, 2, 0, out, done, user);
                },
                true, [ended](const QByteArray& written) { tell(ended, written); });
        }
        end();
    });
}

void CompositeCapture::captureInset(PressEnded ended) {
    if (refusedNow(ended, m_format.collectsPages()))
        return;
    m_used.clear();
    begin();
    inset(nullptr, [this, ended](const QByteArray& written) {
        tell(ended, written);
        end();
    });
}

// The temporary files are this process's own and go as soon as the result is written.
void CompositeCapture::captureMainSubMix(PressEnded ended) {
    if (refusedNow(ended, true))
        return;
    m_used.clear();
    const QByteArray out = nextPath();
    if (out.isEmpty()) {
        m_namer.sayWhyNoPath();
        tell(ended, out);
        return;
    }
    const QByteArray temp = platform::privateTempDir().toLocal8Bit();
    const QByteArray mainShot = temp + "Zo01.jpg";
    const QByteArray subShot = temp + "Zo02.jpg";
    begin();
    shootBoth(mainShot, subShot, [this, out, mainShot, subShot, ended](const BothShots& shots) {
        const auto removeShots = [mainShot, subShot, ended](const QByteArray& written) {
            QFile::remove(QString::fromLocal8Bit(mainShot));
            QFile::remove(QString::fromLocal8Bit(subShot));
            tell(ended, written);
        };
        if (shots.main && shots.sub) {
            const QByteArray list = subShot + ';' + mainShot + ';';
            const int main = m_roles.main();
            compose(
                out,
                [list, main](const QByteArray& to, ZoCaptureCallback done, void* user) {
                    return ZoImagesMixQueued(main, list, 1, 2, 0, 0, to, done, user);
                },
                true, removeShots);
        } else {
            sayFailed(m_settings.language, shots.reason, out);
            removeShots({});
        }
        end();
    });
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

// One source of a merge, of the main camera or with the sub picture inset: `then` hears its path,
// or empty after the user was told why nothing was written.
void CompositeCapture::takeShot(const char* temporaryName, Shot then) {
    if (m_widgets.subOn->isChecked() && m_widgets.inVideo->isChecked()) {
        inset(temporaryName, std::move(then));
        return;
    }
    const QByteArray path = shotPath(temporaryName);
    if (path.isEmpty()) {
        m_namer.sayWhyNoPath();
        then({});
        return;
    }
    const int language = m_settings.language;
    const auto ended = [language, path, then](int written, int reason) {
        if (written == 0)
            sayFailed(language, reason, path);
        then(written > 0 ? path : QByteArray());
    };
    const int job =
        queued_capture::start(m_roles.main(), path, &m_alive, [ended](const CaptureResult& result) {
            ended(result.written, result.reason);
        });
    if (job <= 0)
        ended(0, -job);
}

// Both cameras' pictures of the press, then `then` once both jobs have ended.
void CompositeCapture::shootBoth(const QByteArray& mainShot, const QByteArray& subShot,
                                 std::function<void(const BothShots&)> then) {
    auto shots = std::make_shared<BothShots>();
    const auto shoot = [this, shots, then](int camera, const QByteArray& path,
                                           bool BothShots::*written) {
        const auto ended = [shots, then, written](int pages, int reason) {
            shots.get()->*written = pages > 0;
            if (pages == 0 && shots->reason == ZO_CAPTURE_OK)
                shots->reason = reason;
            if (++shots->ended == 2)
                then(*shots);
        };
        const int job =
            queued_capture::start(camera, path, &m_alive, [ended](const CaptureResult& result) {
                ended(result.written, result.reason);
            });
        if (job <= 0)
            ended(0, -job);
    };
    shoot(m_roles.main(), mainShot, &BothShots::main);
    shoot(m_roles.sub(), subShot, &BothShots::sub);
}

// The sub picture goes where the floating window stands over the video at the press. Into the
// shot `temporaryName` names for a merge, into a new strip entry without one. `then` hears the
// path written, or empty after the user was told why.
void CompositeCapture::inset(const char* temporaryName, Shot then) {
    const QByteArray mainShot = shotPath("ZoMain.jpg");
    const QByteArray subShot = shotPath("ZoSub.jpg");
    if (mainShot.isEmpty() || subShot.isEmpty()) {
        m_namer.sayWhyNoPath();
        then({});
        return;
    }
    const int main = m_roles.main();
    int left = 0, top = 0, right = 0, bottom = 0;
    ZoGetVideoRectEx(main, left, top, right, bottom);
    const QWidget* window = m_pip.smallWidget();
    const QPoint origin = m_widgets.preview->mapToGlobal(QPoint(0, 0));
    const QRect video(origin + QPoint(left, top), QSize(right - left, bottom - top));
    const QRect floating(window->mapToGlobal(QPoint(0, 0)), window->size());

    // A missing sub picture fails the composing, which says so.
    shootBoth(mainShot, subShot, [=, this](const BothShots& shots) {
        if (!shots.main) {
            sayFailed(m_settings.language, shots.reason, mainShot);
            then({});
            return;
        }
        // Shots that are the user's files are listed too, unchecked: only the result is handed on.
        if (!temporaryName && !m_format.collectsPages()) {
            m_strip.addImageItem(mainShot);
            if (shots.sub)
                m_strip.addImageItem(subShot);
        }
        const QByteArray out = temporaryName ? shotPath(temporaryName) : nextPath();
        const QSize picture(ZoGetImageWidth(mainShot), ZoGetImageHeight(mainShot));
        Composer composer;
        if (const std::optional<InsetFigures> f = insetFigures(picture, video, floating)) {
            composer = [main, mainShot, subShot, f = *f](const QByteArray& to,
                                                         ZoCaptureCallback done, void* user) {
                return ZoCombineMainSubQueued(main, mainShot, subShot, to, f.width, f.height, -f.x,
                                              -f.y, done, user);
            };
        } else {
            platform::showMessage(
                text(m_settings.language, "提示", "Information"),
                text(m_settings.language, "视频区域未知, 副摄像头画面未嵌入, 仅保存主摄像头图像。",
                     "The video area is unknown: the sub camera's picture was not inset, only "
                     "the main camera's picture was saved."));
            composer = [main, mainShot](const QByteArray& to, ZoCaptureCallback done, void* user) {
                return ZoImagesMixQueued(main, mainShot + ';', 1, 2, 0, 0, to, done, user);
            };
        }
        compose(out, composer, temporaryName == nullptr, then);
    });
}

// The result, once written and `listed`, becomes the strip's new checked entry, a PDF shown
// through its own page; `then` hears the path written, or empty after the user was told why not.
void CompositeCapture::compose(const QByteArray& out, const Composer& composer, bool listed,
                               Shot then) {
    if (out.isEmpty()) {
        m_namer.sayWhyNoPath();
        if (then)
            then({});
        return;
    }
    const int language = m_settings.language;
    const bool showsPdf = m_format.showsPdf();
    begin();
    const auto ended = [this, language, out, showsPdf, listed, then](const CaptureResult& result) {
        // A collected document may have gone beside a file the engine must keep.
        const QByteArray written = result.written > 0 ? result.files.value(0, out) : QByteArray();
        if (written.isEmpty())
            sayFailed(language, result.reason, out);
        else if (listed && showsPdf)
            addDocumentToStrip(m_strip, written, result.picture);
        else if (listed)
            addToStrip(m_strip, written);
        if (then)
            then(written);
        end();
    };
    const int job = queued_capture::startWith(
        [&](ZoCaptureCallback done, void* user) { return composer(out, done, user); }, &m_alive,
        ended);
    if (job <= 0) {
        CaptureResult refused;
        refused.reason = -job;
        ended(refused);
    }
}
