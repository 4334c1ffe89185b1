#include "OcrCommand.h"

#include "CameraRoles.h"
#include "OcrWorker.h"
#include "QOCRResultDlg.h"
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
// with the text of an older page.
void OcrCommand::recognise() {
    if (m_running)
        return;
    const QString path = platform::privateTempDir() + QStringLiteral("11.jpg");
    QFile::remove(path);
    const int written = ZoCapture(m_roles.main(), path.toLocal8Bit().constData());
    if (written <= 0 || !QFileInfo(path).isFile()) {
        show(QString::fromUtf8(m_settings.language == 0
                                   ? "未能拍摄图像, 没有可识别的内容。"
                                   : "No picture could be taken; there is nothing to recognise."));
        return;
    }
    m_running = true;
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, path] { worker->recognise(path); });
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
