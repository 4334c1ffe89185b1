#pragma once

#include <QObject>

class CameraRoles;
class LanguageSource;
class ProfileName;
class QAbstractButton;
class QWidget;
struct Settings;

// The watermark of the main camera: the "Visible" box, the setting window, and handing the
// record to the engine. The mark always belongs to the main camera; whenever that camera, its
// resolution or its device changes, the mark is installed again while the box is checked.
class WatermarkCommand {
public:
    // The window is made hidden, as a child of `parent`, from the stored values.
    WatermarkCommand(Settings& settings, const LanguageSource& language, const CameraRoles& roles,
                     QAbstractButton& visible, QWidget* parent);

    // Clears the main camera's mark and installs the one the window describes: type 5 with the
    // date, 2 without.
    void apply();
    // apply() while the box is checked; nothing otherwise.
    void reapply();
    // The box was clicked: install, or clear the main camera's mark.
    void onVisibleClicked();
    // Shows the window without blocking, in the language `flag` (others keep its texts).
    void showDialog(int flag);
    // An open dialog follows a language switch at once; a hidden one takes it when shown.
    void applyLanguage(int flag);
    // The values the window holds, into the settings (at exit, before they are written).
    void storeSettings();

private:
    Settings& m_settings;
    const CameraRoles& m_roles;
    QAbstractButton& m_visible;
    ProfileName* m_dialog; // a child of the main window
    QObject m_alive;       // what it follows ends with it
};
