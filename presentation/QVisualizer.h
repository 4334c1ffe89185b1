#pragma once

#include <QWidget>

class QBasePlate;
class QPanel;
class QTopPlate;
struct Settings;

// The presentation window: the main camera draws its live picture into it, and over the picture
// lie, from bottom to top, the drawing canvas, the input layer that takes the mouse, and the
// toolbar at the left edge. The layers are children of this window, not windows of their own:
// translucent windows stacked over the video need a compositor, which plain X11 lacks and
// Wayland does not let a program stack. None of them is a native window, since a native child
// would hide its siblings.
class QVisualizer : public QWidget {
    Q_OBJECT

public:
    // `settings` holds the annotation values of the canvas and toolbar.
    explicit QVisualizer(Settings& settings, QWidget* parent = nullptr);

    // Hides the window and reports that the main window takes the video back.
    void leave();
    // The toolbar item last chosen; the input layer shows its cursor.
    void setMode(int item);
    int mode() const { return m_mode; }

    QPanel* panel() const { return m_panel; }
    QTopPlate* topPlate() const { return m_topPlate; }
    QBasePlate* basePlate() const { return m_basePlate; }

signals:
    void left();
    void quitRequested();
    // Ctrl+S: the annotated picture is to be saved.
    void saveRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // Closing the window (from the window manager, or Alt+F4) leaves the mode as the back item
    // does: the main window is hidden meanwhile, and a window that closed would end the program.
    void closeEvent(QCloseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QPanel* m_panel;
    QTopPlate* m_topPlate;
    QBasePlate* m_basePlate;
    int m_mode = 0;
};
