#pragma once

#include <QObject>

#include <array>

class QDialog;
class QTabWidget;
class QWidget;
class ThumbnailLibrary;
struct Settings;

// Where the main window's parts stand for its size: the strip, the preview and the control
// panel below the title strip and above a bottom band of command rows, whose buttons depend on
// the language.
class WindowLayout : public QObject {
public:
    // The form's parts it places.
    struct Widgets {
        QWidget* title;
        QTabWidget* panel;
        // The row under the preview, left to right: six buttons and the zoom slider between
        // zooming out and in.
        std::array<QWidget*, 5> previewButtons; // drag, cut, turn left and right, zoom out
        QWidget* zoomSlider;
        std::array<QWidget*, 2> zoomButtons; // zoom in, full screen
        QWidget* openFolder;
        QWidget* visualizer;
        // The bottom row, right to left: capture, multi-capture, compose, print, OCR.
        std::array<QWidget*, 5> commands;
    };

    WindowLayout(QDialog* window, const Settings& settings, ThumbnailLibrary& strip,
                 const Widgets& widgets);

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
    QDialog* m_window;
    const Settings& m_settings;
    ThumbnailLibrary& m_strip;
    QWidget* m_thumbnailHost = nullptr;
    QWidget* m_preview = nullptr;
    Widgets m_widgets;
    bool m_formAlive = true;
};
