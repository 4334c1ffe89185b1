#pragma once

class CameraRoles;
class QBarcodeResultDlg;

// The barcode button: the engine reads the codes of the main camera's newest frame, and the
// result window shows them without blocking the main window.
class BarcodeCommand {
public:
    BarcodeCommand(const CameraRoles& roles, QBarcodeResultDlg& dialog);

    // Blocks while the engine decodes (tens of milliseconds for a full frame), under a busy
    // cursor.
    void read();

private:
    const CameraRoles& m_roles;
    QBarcodeResultDlg& m_dialog;
};
