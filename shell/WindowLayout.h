#pragma once

#include <QHash>

class QDialog;
class QWidget;
class ThumbnailLibrary;
struct Settings;

// Where the main window's parts stand for its size: the strip, the preview and the control
// panel above a bottom band of command rows, whose buttons depend on the language.
class WindowLayout {
public:
    WindowLayout(QDialog* window, const Settings& settings, ThumbnailLibrary& strip);

    // The strip's host and the preview are made by the window after its form.
    void setAreas(QWidget* thumbnailHost, QWidget* preview);
    // The form's controls are gone once the window starts to shut down.
    void formDestroyed() { m_formAlive = false; }

    void layoutWindow();
    void layoutBottomRow();

private:
    QWidget* named(const char* name);

    QDialog* m_window;
    const Settings& m_settings;
    ThumbnailLibrary& m_strip;
    QWidget* m_thumbnailHost = nullptr;
    QWidget* m_preview = nullptr;
    bool m_formAlive = true;
    QHash<const char*, QWidget*> m_controls;
};
