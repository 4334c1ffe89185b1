#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

class QWidget;

// What a widget paints by itself, without children or background, on a transparent image.
QImage paintedBy(QWidget& widget);

// Pixels of `image` inside `area` that are not fully transparent.
int inkIn(const QImage& image, const QRect& area);

// The pixels within `radius` of `centre` along each axis.
inline QRect around(QPoint centre, int radius = 2) {
    return QRect(centre - QPoint(radius, radius), QSize(2 * radius + 1, 2 * radius + 1));
}
