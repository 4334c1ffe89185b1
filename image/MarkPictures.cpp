#include "MarkPictures.h"

#include "Glyph.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPathStroker>

#include <cstdio>

namespace {

constexpr int kSize = 25; // the toolbar shows its items at this size, unscaled

// Drawn pictures are built as filled regions, so they take the same rim as the glyphs.
QPainterPath stroked(const QPainterPath& path, double width) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(path).simplified();
}

QPainterPath line() {
    QPainterPath path(QPointF(5, 20));
    path.lineTo(20, 5);
    return stroked(path, 2.5);
}

QPainterPath triangle() {
    QPainterPath path(QPointF(12.5, 4));
    path.lineTo(3.5, 20.5);
    path.lineTo(21.5, 20.5);
    path.closeSubpath();
    return stroked(path, 2.2);
}

// Three strokes of growing width.
QPainterPath lineWidths() {
    QPainterPath all;
    const double widths[] = {1.5, 3.0, 5.0};
    const double rows[] = {5.5, 11.5, 19.0};
    for (int i = 0; i < 3; ++i) {
        QPainterPath path(QPointF(4, rows[i]));
        path.lineTo(21, rows[i]);
        all = all.united(stroked(path, widths[i]));
    }
    return all;
}

// A ring, half of it filled: half see-through.
QPainterPath opacity() {
    QPainterPath ring;
    ring.addEllipse(QPointF(12.5, 12.5), 8.5, 8.5);
    QPainterPath half;
    half.moveTo(12.5, 4);
    half.arcTo(QRectF(4, 4, 17, 17), 90, 180);
    half.closeSubpath();
    return stroked(ring, 2.0).united(half);
}

struct Mark {
    const char* name;
    char16_t glyph;          // a glyph of the icon font, or
    QPainterPath (*drawn)(); // a drawn shape where no glyph fits
};

const Mark kMarks[] = {
    {"mouse", 0xF245, nullptr}, {"clean", 0xF1F8, nullptr},    {"pen", 0xF040, nullptr},
    {"line", 0, line},          {"texticon", 0xF031, nullptr}, {"trangle", 0, triangle},
    {"rect", 0xF096, nullptr},  {"ellipse", 0xF10C, nullptr},  {"lw", 0, lineWidths},
    {"color", 0xF043, nullptr}, {"opcity", 0, opacity},        {"eraser", 0xF12D, nullptr},
    {"back", 0xF112, nullptr},  {"quit", 0xF011, nullptr},     {"undo", 0xF0E2, nullptr},
};

// The toolbar lies over the live picture: a rim of the opposite tone keeps each picture visible
// on dark and light video. The on picture is light on the toolbar's darker highlight.
QImage render(const QPainterPath& shape, bool on) {
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor fill = on ? QColor(255, 255, 255) : QColor(0x37, 0x47, 0x4F);
    const QColor rim = on ? QColor(40, 20, 20, 200) : QColor(255, 255, 255, 220);
    painter.strokePath(shape, QPen(rim, 2.0));
    painter.fillPath(shape, fill);
    return image;
}

} // namespace

bool renderMarkPictures(const QString& iconFamily, const QString& dir) {
    const QDir output(dir);
    if (!output.mkpath(QStringLiteral(".")))
        return false;
    for (const Mark& mark : kMarks) {
        const QPainterPath shape =
            mark.drawn ? mark.drawn() : fittedGlyph(iconFamily, mark.glyph, kSize, 0.1);
        for (const bool on : {false, true}) {
            const QString path =
                output.filePath(QString::fromLatin1(mark.name) + (on ? "on.png" : ".png"));
            if (!render(shape, on).save(path)) {
                std::fprintf(stderr, "render_pictures: cannot write %s\n", qPrintable(path));
                return false;
            }
        }
    }
    return true;
}
