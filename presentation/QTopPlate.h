#pragma once

#include <QWidget>

class QBasePlate;
class QPanel;

// The input layer of presentation mode. It lies over the canvas, takes every mouse event there
// but those on the canvas's open text box (which places its caret and selects its text itself)
// and hands it to the canvas in the same coordinates, shows the cursor of the current tool, and
// raises the toolbar again after each release so that it stays above. It paints nothing.
class QTopPlate : public QWidget {
    Q_OBJECT

public:
    explicit QTopPlate(QWidget* parent = nullptr);

    void setBasePlate(QBasePlate* basePlate);
    void setPanel(QPanel* panel) { m_panel = panel; }
    // The cursor of toolbar item `item`; the quit item and unknown items leave it.
    void setCursorMode(int item);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The layer is cut where the text box lies, so that the clicks there reach the box.
    void leaveToTextBox(const QRect& box);

    QBasePlate* m_basePlate = nullptr;
    QRect m_textBox; // in this layer's coordinates; empty while no box is open
    QPanel* m_panel = nullptr;
};
