#include "BarcodeCommand.h"

#include "CameraRoles.h"
#include "QBarcodeResultDlg.h"
#include "ZoApi.h"

#include <QGuiApplication>

BarcodeCommand::BarcodeCommand(const CameraRoles& roles, QBarcodeResultDlg& dialog)
    : m_roles(roles), m_dialog(dialog) {}

void BarcodeCommand::read() {
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    // The engine answers UTF-8; the text is copied before any other engine call.
    const QString result = QString::fromUtf8(ZoReadBarcode(m_roles.main()));
    QGuiApplication::restoreOverrideCursor();
    m_dialog.setBarcodeResult(result);
    m_dialog.show();
    m_dialog.raise();
}
