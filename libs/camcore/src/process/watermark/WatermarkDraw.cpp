#include "process/watermark/WatermarkDraw.h"

#include <QFontMetricsF>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace camcore {
namespace {

// Linux has none of the Windows families the program stores ("宋体"): these are tried after the
// stored family, so Chinese text shows its glyphs. scripts/install-deps installs the first.
const QStringList kCjkFallbacks = {QStringLiteral("WenQuanYi Zen Hei"),
                                   QStringLiteral("Noto Sans CJK SC"),
                                   QStringLiteral("Noto Serif CJK SC")};

QFont watermarkFont(const Watermark& mark, const WatermarkTarget& target) {
    QFont font;
    QStringList families;
    if (!mark.fontFamily.isEmpty())
        families << mark.fontFamily;
    families << kCjkFallbacks;
    font.setFamilies(families);
    // Glyphs taller than four times the picture show nothing more of themselves.
    const double limit = 4.0 * std::max(target.size.width(), target.size.height());
    const double pixels = std::min(mark.fontPoints * target.dpi / 72.0, limit);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    return font;
}

QStringList watermarkLines(const Watermark& mark, const QDateTime& now) {
    QStringList lines;
    if (!mark.text.isEmpty())
        lines = mark.text.split(QLatin1Char('\n'));
    if (mark.withDate)
        lines << now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return lines;
}

// Centre of a box of `box` size inside `size`, at a fixed place or at `anchor` (its top-left),
// kept inside when it fits and centred across a side it does not fit.
QPointF boxCentre(const Watermark& mark, const WatermarkTarget& target, QSizeF box) {
    const double w = target.size.width();
    const double h = target.size.height();
    const double margin = 0.02 * std::min(w, h);
    QPointF topLeft = mark.fixedPlace ? QPointF() : target.anchor;
    if (mark.fixedPlace) {
        const double left = margin;
        const double right = w - margin - box.width();
        const double top = margin;
        const double bottom = h - margin - box.height();
        switch (mark.place) {
        case 1:
            topLeft = {right, top};
            break;
        case 2:
            topLeft = {right, bottom};
            break;
        case 3:
            topLeft = {left, bottom};
            break;
        case 4:
            topLeft = {(w - box.width()) / 2, (h - box.height()) / 2};
            break;
        default:
            topLeft = {left, top};
            break;
        }
    }
    const auto inside = [](double start, double length, double extent) {
        return length >= extent ? (extent - length) / 2 : std::clamp(start, 0.0, extent - length);
    };
    return {inside(topLeft.x(), box.width(), w) + box.width() / 2,
            inside(topLeft.y(), box.height(), h) + box.height() / 2};
}

} // namespace

ViewedPicture viewedPicture(const ViewTransform& view, QSize source) {
    const QRect visible =
        view.visibleSourceRect().toAlignedRect().intersected(QRect(QPoint(), source));
    const QTransform turn = QImage::trueMatrix(QTransform().rotate(90.0 * view.rotation()),
                                               visible.width(), visible.height());
    return {turn.mapRect(QRect(QPoint(), visible.size())).size(),
            QTransform::fromTranslate(-visible.x(), -visible.y()) * turn};
}

void drawWatermark(QPainter& painter, const Watermark& mark, const WatermarkTarget& target,
                   const QDateTime& now) {
    const QStringList lines = watermarkLines(mark, now);
    if (lines.isEmpty() || target.size.isEmpty())
        return;
    const QFont font = watermarkFont(mark, target);
    const QFontMetricsF metrics(font);
    double width = 0;
    for (const QString& line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    const double height = metrics.lineSpacing() * lines.size();

    const double radians = mark.angle * std::numbers::pi / 180.0;
    const double c = std::abs(std::cos(radians));
    const double s = std::abs(std::sin(radians));
    const QSizeF turned(width * c + height * s, width * s + height * c);
    const QPointF centre = boxCentre(mark, target, turned);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(centre);
    painter.rotate(-mark.angle); // y points down: a negative turn is counter-clockwise
    painter.setFont(font);
    painter.setPen(mark.color);
    for (qsizetype i = 0; i < lines.size(); ++i)
        painter.drawText(QPointF(-width / 2, -height / 2 + metrics.ascent() +
                                                 static_cast<double>(i) * metrics.lineSpacing()),
                         lines[i]);
    painter.restore();
}

void drawWatermark(QImage& picture, const Watermark& mark, const WatermarkTarget& target,
                   const QDateTime& now) {
    QPainter painter(&picture);
    drawWatermark(painter, mark, target, now);
}

} // namespace camcore
