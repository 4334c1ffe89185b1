#pragma once

#include <QHash>
#include <QObject>

class QDialog;
class QWidget;
class ThumbnailLibrary;
struct Settings;

// Where the main window's parts stand for its size: the strip, the preview and the control
// panel below the title strip and above a bottom band of command rows, whose buttons depend on
// the language.
class WindowLayout : public QObject {
public:
    WindowLayout(QDialog* window, const Settings& settings, ThumbnailLibrary& strip);

    // The strip's host and the preview are made by the window after its form.
    void setAreas(QWidget* thumbnailHost, QWidget* preview);
    // The form's controls are gone once the window starts to shut down.
    void formDestroyed() { m_formAlive = false; }

    // Once, after the form: lists that cut their text off show it whole in a tool tip, no
    // button takes Enter for the whole window, and the focus starts on the tabs.
    void prepareControls();
    void layoutWindow();
    void layoutBottomRow();
    // The window cannot shrink below the size at which the control panel's groups would
    // overlap or the bottom row would run into the buttons beside it.
    void fitMinimumSize();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

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
