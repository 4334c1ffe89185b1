#include "OcrCommand.h"

#include "CameraRoles.h"
#include "CaptureMessages.h"
#include "OcrWorker.h"
#include "QOCRResultDlg.h"
#include "QueuedCapture.h"
#include "QuilOcr.h"
#include "Settings.h"
#include "ZoApi.h"
#include "platform/Paths.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

void OcrCommand::initLibrary(const QString& programDir) {
    fnInit(4, programDir.toLocal8Bit().constData());
}

OcrCommand::OcrCommand(const Settings& settings, const CameraRoles& roles, QOCRResultDlg& dialog)
    : m_settings(settings), m_roles(roles), m_dialog(dialog), m_worker(new OcrWorker) {
    m_thread.setObjectName(QStringLiteral("recognition"));
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &OcrWorker::recognised, this, &OcrCommand::finish);
    m_thread.start();
}

OcrCommand::~OcrCommand() {
    m_thread.quit();
    m_thread.wait();
    if (m_running)
        QGuiApplication::restoreOverrideCursor();
}

// The picture of an earlier press is removed first, so a capture that fails is never answered
// with the text of an older page. The picture is taken at the press and saved behind the window.
void OcrCommand::recognise() {
    if (m_running)
        return;
    const QString folder = platform::privateTempDir();
    if (folder.isEmpty()) {
        capture_messages::sayNoPrivateFolder(m_settings.language);
        return;
    }
    const QString path = folder + QStringLiteral("11.jpg");
    QFile::remove(path);
    m_running = true;
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    const int job = queued_capture::start(
        m_roles.main(), path.toLocal8Bit(), this, [this, path](const CaptureResult& result) {
            if (result.written <= 0 || !QFileInfo(path).isFile())
                finish(noPicture(result.reason));
            else
                QMetaObject::invokeMethod(m_worker,
                                          [worker = m_worker, path] { worker->recognise(path); });
        });
    if (job <= 0)
        finish(noPicture(-job));
}

QString OcrCommand::noPicture(int reason) const {
    const int language = m_settings.language;
    return capture_messages::text(language, "未能拍摄图像, 没有可识别的内容。%1。",
                                  "No picture could be taken; there is nothing to recognise. %1.")
        .arg(capture_messages::reasonText(language, reason));
}

void OcrCommand::finish(const QString& text) {
    m_running = false;
    QGuiApplication::restoreOverrideCursor();
    show(text);
}

// Shown without waiting for it: the main window stays usable beside it.
void OcrCommand::show(const QString& text) {
    m_dialog.setOCRResult(text);
    m_dialog.show();
    m_dialog.raise();
}
