#pragma once

#include <QObject>

class CameraRoles;
class QBarcodeResultDlg;

// The barcode button: the engine reads the codes of the main camera's picture of the press behind
// the window, at most five seconds, and the result window then shows them (or that the reading
// timed out, or that the camera is gone) without blocking the main window. A press while a
// reading is under way is ignored.
class BarcodeCommand {
public:
    BarcodeCommand(const CameraRoles& roles, QBarcodeResultDlg& dialog);
    ~BarcodeCommand();
    BarcodeCommand(const BarcodeCommand&) = delete;
    BarcodeCommand& operator=(const BarcodeCommand&) = delete;

    void read();
    bool reading() const { return m_reading; }

private:
    void show(const QByteArray& markup, int reason);

    const CameraRoles& m_roles;
    QBarcodeResultDlg& m_dialog;
    bool m_reading = false; // the busy cursor is shown meanwhile
    QObject m_alive;        // a reading that ends after the command is gone is not shown
};
