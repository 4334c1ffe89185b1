#include "Glyph.h"

#include <QFont>
#include <QTransform>

#include <algorithm>

QPainterPath fittedGlyph(const QString& family, char16_t glyph, int size, double inset) {
    QFont font(family);
    font.setPixelSize(256);
    QPainterPath path;
    path.addText(0, 0, font, QString(QChar(glyph)));
    const QRectF bounds = path.boundingRect();
    const double box = size * (1.0 - 2.0 * inset);
    const double scale = box / std::max(bounds.width(), bounds.height());
    QTransform transform;
    transform.translate(size / 2.0, size / 2.0);
    transform.scale(scale, scale);
    transform.translate(-bounds.center().x(), -bounds.center().y());
    return transform.map(path);
}
