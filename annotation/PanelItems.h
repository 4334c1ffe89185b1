#pragma once

#include <QRect>
#include <QString>

// The toolbar's 14 items: two columns of 25-pixel squares, each with an off and an on picture.
namespace panel {

inline constexpr int kItemCount = 15;

enum Item {
    kMouse,
    kClean,
    kPen,
    kLine,
    kText,
    kTriangle,
    kRectangle,
    kEllipse,
    kLineWidth,
    kColour,
    kOpacity,
    kEraser,
    kBack,
    kQuit,
    kUndo
};

// Where item `i` sits in the toolbar.
QRect itemRect(int i);
// The toolbar's height: its rows of items and the margins.
int panelHeight();
// What item `i` does, in the window's language (0 Chinese, 1 English): its tool tip.
QString toolTip(int i, int language);
// ":/image/mark/<name>.png", or "<name>on.png" when `on`.
QString picturePath(int i, bool on);
// The clean, undo and three dialog items act without moving the highlight off the tool.
bool keepsHighlight(int i);

} // namespace panel
