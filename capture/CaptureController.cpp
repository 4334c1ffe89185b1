#include "CaptureController.h"

#include "CameraRoles.h"
#include "CaptureMessages.h"
#include "Commit.h"
#include "CompositeCapture.h"
#include "FileNamer.h"
#include "FileNaming.h"
#include "OutputFormat.h"
#include "Settings.h"
#include "ThumbnailLibrary.h"
#include "ZoApi.h"
#include "common/SplitPath.h"
#include "platform/Message.h"
#include "platform/Paths.h"

#include <QAbstractButton>
#include <QFile>
#include <QGuiApplication>
#include <QScopedValueRollback>

using capture_messages::text;

CaptureController::CaptureController(Settings& settings, const CameraRoles& roles, FileNamer& namer,
                                     OutputFormat& format, ThumbnailLibrary& strip,
                                     const PictureInPicture& pip, const Widgets& widgets)
    : m_settings(settings), m_roles(roles), m_namer(namer), m_format(format), m_strip(strip),
      m_widgets(widgets),
      m_composite(std::make_unique<CompositeCapture>(
          settings, roles, namer, format, strip, pip,
          CompositeCapture::Widgets{widgets.merge, widgets.vertical, widgets.horizontal,
                                    widgets.subOn, widgets.inVideo, widgets.preview},
          [this] { runCapture(); })) {}

CaptureController::~CaptureController() = default;

// A press while a capture or its prompt is under way is ignored; the merge's second shot comes
// from inside the first one's prompt and goes on. So is one during a book run: the camera's
// switches are the book's, and a PDF taken meanwhile would end the book's collected document.
void CaptureController::capture() {
    if (m_busy || m_locked)
        return;
    const QScopedValueRollback busy(m_busy, true);
    runCapture();
}

// The watermark stays in the picture only while its box is checked.
void CaptureController::runCapture() {
    const int main = m_roles.main();
    if (!m_widgets.watermarkOn->isChecked())
        ZoClearWatermark(main);
    if (m_widgets.merge->isChecked()) {
        m_composite->captureMerged();
    } else if (m_widgets.subOn->isChecked()) {
        if (m_widgets.inVideo->isChecked()) {
            m_composite->captureInset();
        } else if (m_mainSubMix) {
            m_composite->captureMainSubMix();
        } else {
            captureToFile(main);
        }
    } else {
        captureToFile(main);
    }
}

// A PDF shows in the strip through a JPEG taken beside it.
int CaptureController::captureToFile(int camera) {
    QByteArray path = m_namer.makeSavePath();
    if (reportNoFolder(path))
        return 0;
    if (m_format.searchable())
        QGuiApplication::setOverrideCursor(Qt::BusyCursor); // the page is read before it is saved
    const int written = ZoCapture(camera, path.constData());
    if (m_format.searchable())
        QGuiApplication::restoreOverrideCursor();
    if (reportUnsaved(written, path))
        return 0;

    if (m_format.showsPdf()) {
        showDocument(camera, path);
        return written;
    }

    m_strip.addChecked(path);
    if (m_widgets.split->isChecked()) {
        path = common::splitPath(path);
        addIfWritten(path);
    }
    if (written > 1)
        for (const QByteArray& further : naming::numberedPaths(path, m_format.extension(), written))
            addIfWritten(further);
    return written;
}

int CaptureController::captureQuietly(int camera) {
    const QScopedValueRollback quiet(m_quiet, true);
    return captureToFile(camera);
}

// The engine counts the split page among the images it wrote, and a page may fail to split:
// only files that are there get an entry, so the strip never shows a picture that is not.
void CaptureController::addIfWritten(const QByteArray& path) {
    if (QFile::exists(QString::fromLocal8Bit(path)))
        m_strip.addChecked(path);
}

// True, after saying so, when there is no work folder to save into: a press then writes nothing
// anywhere else.
bool CaptureController::reportNoFolder(const QByteArray& path) {
    if (!path.isEmpty())
        return false;
    if (!m_quiet)
        capture_messages::sayNoFolder(m_settings.language);
    return true;
}

// True, after telling the user where the picture should have gone, when nothing was written.
bool CaptureController::reportUnsaved(int written, const QByteArray& path) {
    if (written > 0)
        return false;
    if (!m_quiet)
        capture_messages::sayUnsaved(m_settings.language, path);
    return true;
}

QByteArray CaptureController::bookPath() {
    const QByteArray path = m_namer.makeBookPath();
    reportNoFolder(path);
    return path;
}

void CaptureController::showDocument(int camera, const QByteArray& path) {
    const QByteArray thumb = platform::privateTempDir().toLocal8Bit() + "ZoImage.jpg";
    ZoCapture(camera, thumb.constData());
    addToStrip(m_strip, path, thumb);
}

void CaptureController::lockSwitches(bool locked) {
    m_locked = locked;
    for (QWidget* control : {m_widgets.split, m_widgets.flatten, m_widgets.upright})
        control->setEnabled(!locked);
    m_format.setLocked(locked);
}

void CaptureController::captureToPath(const QString& path) {
    ZoCapture(m_roles.main(), path.toLocal8Bit().constData());
}

void CaptureController::setResize(bool enable, float ratio) {
    m_settings.resizeImage = enable;
    m_settings.resizeImageRatio = ratio;
    ZoSetResize(m_roles.main(), enable, ratio);
}

void CaptureController::captureSub() {
    captureToFile(m_roles.sub());
}

// The engine's capture mode 1 lasts for this capture only.
void CaptureController::captureBothSides() {
    if (m_locked)
        return;
    const int main = m_roles.main();
    ZoSetCaptureMode(main, 1);
    captureToFile(main);
    ZoSetCaptureMode(main, 0);
}

void CaptureController::captureCard() {
    if (m_locked)
        return;
    const QByteArray path = m_namer.makeSavePath();
    if (!reportNoFolder(path) && !reportUnsaved(ZoCapture(m_roles.main(), path.constData()), path))
        m_strip.addChecked(path);
}

void CaptureController::onSplitToggled() {
    ZoEnableSplitCap(m_roles.main(), m_widgets.split->isChecked());
}

void CaptureController::onFlattenToggled() {
    m_settings.dewarp = m_widgets.flatten->isChecked();
    ZoEnableDewarp(m_roles.main(), m_settings.dewarp);
}

void CaptureController::onUprightToggled() {
    m_settings.autoOrient = m_widgets.upright->isChecked();
    ZoEnableAutoOrient(m_roles.main(), m_settings.autoOrient);
}

void CaptureController::applyStored() {
    m_widgets.flatten->setChecked(m_settings.dewarp);
    m_widgets.upright->setChecked(m_settings.autoOrient);
    ZoEnableDewarp(m_roles.main(), m_settings.dewarp);
    ZoEnableAutoOrient(m_roles.main(), m_settings.autoOrient);
}

void CaptureController::onMainSubMixToggled() {
    m_mainSubMix = m_widgets.mainSubMix->isChecked();
}

void CaptureController::onMergeToggled() {
    m_composite->onMergeToggled();
}

void CaptureController::setPromptListener(std::function<void()> listener) {
    m_composite->setPromptListener(std::move(listener));
}

void CaptureController::abandonPending() {
    m_composite->forgetFirstShot();
}

void CaptureController::applyToMainCamera() {
    const int cam = m_roles.main();
    ZoSetResize(cam, m_settings.resizeImage, static_cast<float>(m_settings.resizeImageRatio));
    ZoEnableSplitCap(cam, m_widgets.split->isChecked());
    ZoEnableDewarp(cam, m_settings.dewarp);
    ZoEnableAutoOrient(cam, m_settings.autoOrient);
    m_format.applyPdfMode();
}

void CaptureController::onFormatChanged() {
    const bool collecting = m_format.collectsPages();
    m_format.onChanged();
    if (collecting && !m_format.collectsPages())
        m_namer.finishDocument();
}

// The list is written on every attempt, empty when nothing is checked, so a driver never takes
// the previous batch again.
bool CaptureController::handOver() {
    const CommitResult result = commitCheckedItems(m_strip, commitFilePath());
    if (!result.written) {
        platform::showMessage(
            text(m_settings.language, "提示", "Information"),
            text(m_settings.language, "交接列表无法写入, 图像未交给驱动程序!",
                 "The list for the driver program could not be written; nothing was handed over."));
        return false;
    }
    if (result.items > 0)
        m_namer.restartCounter(); // the driver starts its next batch from the first name
    return true;
}
