#pragma once

#include "PanelItems.h"

#include <QWidget>

#include <array>

namespace Ui {
class QPanel;
}

class QBasePlate;
struct Settings;

// The floating annotation toolbar: 14 picture items in two columns, the chosen tool highlighted.
// An item selects a tool on the canvas, clears it, asks for line width, colour or opacity (kept
// in the settings), or asks the presentation window to leave or the program to quit.
class QPanel : public QWidget {
    Q_OBJECT

public:
    // `settings` holds the annotation values the dialogs start from and store into, and the
    // language the dialogs speak.
    explicit QPanel(Settings& settings, QWidget* parent = nullptr);
    ~QPanel() override;

    void setBasePlate(QBasePlate* basePlate) { m_basePlate = basePlate; }
    // Performs item i's action, closes the canvas's text box unless i is the text item, and
    // reports the item.
    void onItem(int i);
    bool isItemOn(int i) const { return m_itemOn[i]; }

public slots:
    void onBtnMouse();
    void onBtnClear();
    void onBtnDrawPen();
    void onBtnLine();
    void onBtnArrow(); // the text tool
    void onBtnTrangle();
    void onBtnRect();
    void onBtnEllipse();
    void onBtnLineWidth();
    void onBtnColor();
    void onBtnOpcity();
    void onBtnEraser();
    void onBtnReturn();
    void onBtnQuit();
    void onBtnUndo();

signals:
    // An item was chosen; the presentation window sets its cursor from it.
    void itemChosen(int item);
    void leaveRequested();
    // Close presentation mode and then the program.
    void quitRequested();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent*) override {}
    void mouseMoveEvent(QMouseEvent*) override {}
    void resizeEvent(QResizeEvent*) override {}

private:
    void selectTool(int id);

    Ui::QPanel* ui;
    Settings& m_settings;
    QBasePlate* m_basePlate = nullptr;
    std::array<bool, panel::kItemCount> m_itemOn{};
};
