#include "BarcodeCommand.h"

#include "CameraRoles.h"
#include "QBarcodeResultDlg.h"
#include "QueuedCapture.h"
#include "ZoApi.h"

#include <QGuiApplication>

BarcodeCommand::BarcodeCommand(const CameraRoles& roles, QBarcodeResultDlg& dialog)
    : m_roles(roles), m_dialog(dialog) {}

BarcodeCommand::~BarcodeCommand() {
    if (m_reading)
        QGuiApplication::restoreOverrideCursor();
}

void BarcodeCommand::read() {
    if (m_reading)
        return;
    const int reading = queued_capture::readBarcodes(m_roles.main(), &m_alive,
                                                     [this](const QByteArray& markup, int reason) {
                                                         m_reading = false;
                                                         QGuiApplication::restoreOverrideCursor();
                                                         show(markup, reason);
                                                     });
    if (reading <= 0) {
        show({}, -reading);
        return;
    }
    m_reading = true;
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
}

// The engine answers UTF-8.
void BarcodeCommand::show(const QByteArray& markup, int reason) {
    m_dialog.setBarcodeResult(QString::fromUtf8(markup), reason);
    m_dialog.show();
    m_dialog.raise();
}
