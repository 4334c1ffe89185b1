#pragma once

#include "pipeline/ViewTransform.h"
#include "process/watermark/Watermark.h"

#include <QDateTime>
#include <QImage>
#include <QPainter>
#include <QTransform>

namespace camcore {

// The picture a capture starts from, as the view shows it: the visible part of the source,
// turned. `fromSource` maps source pixels onto it.
struct ViewedPicture {
    QSize size;
    QTransform fromSource;
};
ViewedPicture viewedPicture(const ViewTransform& view, QSize source);

// Where the watermark goes on a finished picture of `size` pixels, stored at `dpi`; `anchor` is
// the offsets-mode position already mapped onto that picture.
struct WatermarkTarget {
    QSize size;
    int dpi = 200;
    QPointF anchor;
};

// Draws the mark in the picture's pixel coordinates through `painter`, whose transform may
// scale them (the preview). A point is 1/72 inch at the target's DPI. The turned text stays
// inside the picture: a fixed place keeps a margin of 2 % of the shorter side, an anchor is
// moved in as far as needed.
void drawWatermark(QPainter& painter, const Watermark& mark, const WatermarkTarget& target,
                   const QDateTime& now);

// The same onto a finished picture.
void drawWatermark(QImage& picture, const Watermark& mark, const WatermarkTarget& target,
                   const QDateTime& now);

} // namespace camcore
