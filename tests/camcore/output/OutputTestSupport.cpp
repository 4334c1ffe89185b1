#include "OutputTestSupport.h"

#include <QPainter>
#include <QRandomGenerator>

namespace output_test {

QImage colourPage(int width, int height) {
    QImage page(width, height, QImage::Format_RGB888);
    page.fill(Qt::white);
    QPainter painter(&page);
    for (int y = height / 10; y < height * 9 / 10; y += std::max(4, height / 25))
        painter.fillRect(width / 10, y, width * 7 / 10 - (y % 7) * width / 40, height / 60 + 1,
                         QColor(30, 30, 40));
    painter.fillRect(width * 6 / 10, height * 6 / 10, width / 4, height / 4, QColor(200, 40, 30));
    painter.end();
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y) {
        uchar* row = page.scanLine(y);
        for (int x = 0; x < width * 3; x += 5)
            row[x] = static_cast<uchar>(std::clamp(int(row[x]) + random.bounded(-6, 7), 0, 255));
    }
    return page;
}

QImage greyPage(int width, int height) {
    return colourPage(width, height).convertToFormat(QImage::Format_Grayscale8);
}

QImage bilevelPage(int width, int height) {
    QImage page = greyPage(width, height);
    for (int y = 0; y < height; ++y) {
        uchar* row = page.scanLine(y);
        for (int x = 0; x < width; ++x)
            row[x] = row[x] < 128 ? 0 : 255;
    }
    return page;
}

QImage noise(int width, int height, quint32 seed) {
    QImage image(width, height, QImage::Format_RGB888);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < width * 3; ++x)
            row[x] = static_cast<uchar>(random.bounded(256));
    }
    return image;
}

camcore::OutputImage outputOf(const QImage& picture, int dpi, bool bilevel) {
    camcore::OutputImage image;
    image.picture = picture;
    image.dpi = dpi;
    image.bilevel = bilevel;
    return image;
}

} // namespace output_test
