#include "PipGeometry.h"

#include <algorithm>

PipRegion pipRegion(QPoint previewTopLeft, VideoRect video, QSize window) {
    if (video.right == 0) {
        video.right = 200;
        video.bottom = 200;
    }
    return {previewTopLeft.x() + video.left, previewTopLeft.y() + video.top,
            previewTopLeft.x() + video.right - window.width(),
            previewTopLeft.y() + video.bottom - window.height()};
}

// Not std::clamp: an inverted region is allowed and must end at its right and bottom.
QPoint clampToRegion(QPoint position, const PipRegion& region) {
    return {std::min(std::max(position.x(), region.left), region.right),
            std::min(std::max(position.y(), region.top), region.bottom)};
}

int grabZone(QPoint point, QSize window) {
    const auto band = [](int value, int extent) {
        if (value < 4)
            return 0;
        return value > extent - 4 ? 2 : 1;
    };
    return 10 * band(point.y(), window.height()) + band(point.x(), window.width());
}

Qt::CursorShape zoneCursor(int zone) {
    switch (zone) {
    case 0:
    case 22:
        return Qt::SizeFDiagCursor;
    case 2:
    case 20:
        return Qt::SizeBDiagCursor;
    case 1:
    case 21:
        return Qt::SizeVerCursor;
    case 10:
    case 12:
        return Qt::SizeHorCursor;
    default:
        return Qt::ArrowCursor;
    }
}

QPoint dragShift(int zone, QPoint delta) {
    if (zone == 11)
        return delta;
    const int row = zone / 10;
    const int column = zone % 10;
    return {column == 0 ? delta.x() : 0, row == 0 ? delta.y() : 0};
}
