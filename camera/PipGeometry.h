#pragma once

#include <QPoint>
#include <QSize>
#include <Qt>

// Where the floating picture-in-picture window may stand and how dragging its border moves it.
// Pure functions, so the rules can be checked without windows.

// Allowed places of the window's top-left corner, in screen coordinates. A region narrower than
// the window has right < left; the clamp then keeps the window at right.
struct PipRegion {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;

    QPoint topLeft() const { return {left, top}; }
    QPoint bottomRight() const { return {right, bottom}; }
    friend bool operator==(const PipRegion&, const PipRegion&) = default;
};

// The video rectangle as the engine reports it, in preview-widget pixels.
struct VideoRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool isValid() const { return left >= 0 && top >= 0 && right > left && bottom > top; }
};

// `previewTopLeft` is the preview widget's origin on the screen, `window` the floating window's
// size. A rectangle with right 0 (nothing drawn yet) counts as 200 x 200 from its origin.
PipRegion pipRegion(QPoint previewTopLeft, VideoRect video, QSize window);

// Raises each coordinate to the region's start, then lowers it to its end.
QPoint clampToRegion(QPoint position, const PipRegion& region);

// Grab zone of a point of the window: 10 x row + column, rows and columns 0 (first 4 pixels),
// 1 (inside) and 2 (last 4 pixels). 11 is the inside.
int grabZone(QPoint point, QSize window);
Qt::CursorShape zoneCursor(int zone);

// How far a drag by `delta` in `zone` moves a window of fixed size: dragging a left or top edge
// shifts it along that axis, the inside moves it, a right or bottom edge leaves it.
QPoint dragShift(int zone, QPoint delta);
