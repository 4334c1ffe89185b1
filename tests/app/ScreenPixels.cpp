#include "ScreenPixels.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace app_test {

QImage onScreen(const QWidget* widget, QRect rect) {
    const QPoint at = widget->mapToGlobal(rect.topLeft());
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, at.x(), at.y(), rect.width(), rect.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

bool looksLikeThePicture(const QImage& image) {
    int min = 255, max = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int value = qGray(image.pixel(x, y));
            min = std::min(min, value);
            max = std::max(max, value);
        }
    return max - min > 60;
}

} // namespace app_test
