#pragma once

#include <QRect>
#include <QString>

// The toolbar's 14 items: two columns of 25-pixel squares, each with an off and an on picture.
namespace panel {

inline constexpr int kItemCount = 14;

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
    kQuit
};

// Where item `i` sits in the toolbar.
QRect itemRect(int i);
// ":/image/mark/<name>.png", or "<name>on.png" when `on`.
QString picturePath(int i, bool on);
// The clean item and the three dialog items act without moving the highlight off the tool.
bool keepsHighlight(int i);

} // namespace panel
