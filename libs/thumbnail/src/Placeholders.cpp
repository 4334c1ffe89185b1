#include "Placeholders.h"

#include <QPainter>
#include <QPainterPath>

namespace thumbnail {

namespace {

const QColor kPanel(0xee, 0xef, 0xf1);
const QColor kInk(0x9a, 0xa0, 0xa8);

QImage blank(QSize box) {
    QImage image(box, QImage::Format_ARGB32_Premultiplied);
    image.fill(kPanel);
    return image;
}

// A sheet with a folded corner, centred in the box, two thirds of its height.
QPainterPath sheet(QSize box) {
    const qreal h = box.height() * 0.66;
    const qreal w = h * 0.75;
    const QRectF r((box.width() - w) / 2, (box.height() - h) / 2, w, h);
    const qreal fold = w * 0.28;
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    path.moveTo(r.right() - fold, r.top());
    path.lineTo(r.right() - fold, r.top() + fold);
    path.lineTo(r.right(), r.top() + fold);
    return path;
}

} // namespace

QImage waitingPlaceholder(QSize box) {
    QImage image = blank(box);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kInk);
    const qreal r = qMax(2.0, box.height() / 30.0);
    const QPointF centre(box.width() / 2.0, box.height() / 2.0);
    for (int i = -1; i <= 1; ++i)
        painter.drawEllipse(centre + QPointF(i * r * 3.5, 0), r, r);
    return image;
}

QImage brokenPlaceholder(QSize box) {
    QImage image = blank(box);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kInk, 2));
    painter.setBrush(Qt::white);
    painter.drawPath(sheet(box));
    // A red cross over the sheet says "this file did not open" without words.
    const qreal s = box.height() * 0.14;
    const QPointF c(box.width() / 2.0, box.height() / 2.0 + s * 0.6);
    painter.setPen(QPen(QColor(0xc6, 0x28, 0x28), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(c + QPointF(-s, -s), c + QPointF(s, s));
    painter.drawLine(c + QPointF(-s, s), c + QPointF(s, -s));
    return image;
}

QImage documentPlaceholder(QSize box, const QString& label) {
    QImage image = blank(box);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kInk, 2));
    painter.setBrush(Qt::white);
    const QPainterPath path = sheet(box);
    painter.drawPath(path);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(qMax(8, box.height() / 7));
    painter.setFont(font);
    painter.setPen(QColor(0x5a, 0x60, 0x68));
    painter.drawText(path.boundingRect(), Qt::AlignCenter, label);
    return image;
}

} // namespace thumbnail
