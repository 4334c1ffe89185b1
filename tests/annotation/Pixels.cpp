#include "Pixels.h"

#include <QWidget>

QImage paintedBy(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

int inkIn(const QImage& image, const QRect& area) {
    int ink = 0;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            ink += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    return ink;
}
