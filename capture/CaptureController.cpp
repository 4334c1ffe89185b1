#include "CaptureController.h"

#include "CameraRoles.h"
#include "CaptureMessages.h"
#include "Commit.h"
#include "CompositeCapture.h"
#include "FileNamer.h"
#include "FileNaming.h"
#include "OutputFormat.h"
#include "QueuedCapture.h"
#include "Settings.h"
#include "ThumbnailLibrary.h"
#include "ZoApi.h"
#include "common/SplitPath.h"
#include "platform/Message.h"
#include "platform/Paths.h"

#include <QAbstractButton>
#include <QFile>
#include <QImage>
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
          [this] { runCapture({}); })) {
    QObject::connect(&roles, &CameraRoles::mainSettingsWanted, &m_alive,
                     [this] { applyToMainCamera(); });
    QObject::connect(&roles, &CameraRoles::captureLocked, &m_alive,
                     [this](bool locked) { lockSwitches(locked); });
}

CaptureController::~CaptureController() = default;

// A press while a merge prompt is open is ignored; the merge's second shot comes from inside the
// first one's prompt and goes on. So is one during a book run: the camera's switches are the
// book's, and a PDF taken meanwhile would end the book's collected document.
void CaptureController::capture(PressEnded ended) {
    if (m_busy || m_locked) {
        if (ended)
            ended(PressEnd::Refused);
        return;
    }
    const QScopedValueRollback busy(m_busy, true);
    runCapture(std::move(ended));
}

// The watermark stays in the picture only while its box is checked.
void CaptureController::runCapture(PressEnded ended) {
    const int main = m_roles.main();
    if (!m_widgets.watermarkOn->isChecked())
        ZoClearWatermark(main);
    const bool composite =
        m_widgets.merge->isChecked() ||
        (m_widgets.subOn->isChecked() && (m_widgets.inVideo->isChecked() || m_mainSubMix));
    if (!composite) {
        captureToFile(main, std::move(ended));
        return;
    }
    if (m_widgets.merge->isChecked())
        m_composite->captureMerged(std::move(ended));
    else if (m_widgets.inVideo->isChecked())
        m_composite->captureInset(std::move(ended));
    else
        m_composite->captureMainSubMix(std::move(ended));
}

int CaptureController::pending() const {
    return m_pending + m_composite->pending();
}

int CaptureController::captureToFile(int camera, PressEnded ended) {
    Press press;
    press.ended = std::move(ended);
    return queue(camera, std::move(press));
}

// While the merge's prompt waits for the second side, a series' capture would come between the
// two shots: it is counted as failed instead.
int CaptureController::captureQuietly(int camera, SeriesEnded ended) {
    if (m_composite->awaitingSecondSide()) {
        if (ended)
            ended(0);
        return 0;
    }
    Press press;
    press.quiet = true;
    press.seriesEnded = std::move(ended);
    return queue(camera, std::move(press));
}

// The name is taken at the press, so files are named in the order of the presses whenever their
// jobs end. Under the barcode rule the codes of the press's picture are read behind the window
// first, in the order of the presses, and the capture then takes the picture that was read.
int CaptureController::queue(int camera, Press press) {
    press.showsPdf = m_format.showsPdf();
    if (m_namer.namesByBarcode()) {
        const int reading = queued_capture::readBarcodes(
            camera, &m_alive, [this, camera, press](const QByteArray& codes, int) mutable {
                --m_pending;
                press.path = m_namer.makeBarcodePath(codes);
                startJob(camera, std::move(press));
            });
        if (reading > 0) {
            ++m_pending;
            return reading;
        }
    }
    press.path = m_namer.makeSavePath();
    return startJob(camera, std::move(press));
}

int CaptureController::startJob(int camera, Press press) {
    const auto refuse = [this, &press](PressEnd how) {
        m_namer.giveBack(press.path);
        if (press.ended)
            press.ended(how);
        if (press.seriesEnded)
            press.seriesEnded(0);
        return 0;
    };
    if (press.path.isEmpty()) {
        if (!press.quiet)
            m_namer.sayWhyNoPath();
        return refuse(PressEnd::Failed);
    }
    const int job = queued_capture::start(
        camera, press.path, &m_alive,
        [this, press](const CaptureResult& result) { jobEnded(press, result); });
    if (job > 0) {
        ++m_pending;
        return job;
    }
    if (-job == ZO_CAPTURE_BUSY) {
        capture_messages::sayBusy(m_settings.language, m_widgets.preview);
        return refuse(PressEnd::Refused);
    }
    if (!press.quiet)
        capture_messages::sayFailed(m_settings.language, -job, press.path);
    return refuse(PressEnd::Failed);
}

// Only files the engine wrote get an entry, so the strip never shows a picture that is not
// there; a PDF shows through the job's own first page.
void CaptureController::jobEnded(const Press& press, const CaptureResult& result) {
    --m_pending;
    if (result.written == 0)
        m_namer.giveBack(press.path);
    if (result.written > 0) {
        if (press.showsPdf) // the engine may have put the pages beside a file it must keep
            showDocument(result.files.value(0, press.path), result.picture);
        else
            for (const QByteArray& file : result.files)
                m_strip.addChecked(file);
    }
    if (!press.quiet && result.reason != ZO_CAPTURE_OK)
        capture_messages::sayFailed(m_settings.language, result.reason, press.path);
    if (press.ended)
        press.ended(result.written > 0 ? PressEnd::Written : PressEnd::Failed);
    if (press.seriesEnded)
        press.seriesEnded(result.written);
}

// True, after saying so, when there is no work folder to save into: a press then writes nothing
// anywhere else.
bool CaptureController::reportNoFolder(const QByteArray& path) {
    if (!path.isEmpty())
        return false;
    capture_messages::sayNoFolder(m_settings.language);
    return true;
}

QByteArray CaptureController::bookPath() {
    const QByteArray path = m_namer.makeBookPath();
    reportNoFolder(path);
    return path;
}

void CaptureController::showDocument(const QByteArray& path, const QImage& picture) {
    addDocumentToStrip(m_strip, path, picture);
}

void CaptureController::lockSwitches(bool locked) {
    m_locked = locked;
    for (QWidget* control : {m_widgets.split, m_widgets.flatten, m_widgets.upright})
        control->setEnabled(!locked);
    m_format.setLocked(locked);
}

// The engine's own rule for a file that is there applies: the caller chose the name.
void CaptureController::captureToPath(const QString& path) {
    queued_capture::start(m_roles.main(), path.toLocal8Bit(), &m_alive, {});
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
    if (!m_locked)
        captureToFile(m_roles.main());
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
