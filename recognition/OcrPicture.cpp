#include "OcrPicture.h"

#include "QuilOcr.h"

#include <QFileInfo>
#include <QImage>

namespace ocr {

// The fast transformation: the library evens out and resamples the picture itself, so smoothing
// here would only cost time.
void limitWidth(const QString& path, int maxWidth) {
    QImage image;
    if (!image.load(path) || image.width() <= maxWidth)
        return;
    image.scaledToWidth(maxWidth, Qt::FastTransformation).save(path);
}

// The library's numeric arguments are the values it was always called with; it ignores them.
QString recognise(const QString& path) {
    if (!QFileInfo(path).isFile())
        return {};
    const QByteArray file = path.toLocal8Bit();
    const char* text = fnQuilOCREx(file.constData(), 50, 0, 0.6f, 0.3f, 3.0f, 2.0f, false, false);
    return text != nullptr ? QString::fromUtf8(text) : QString();
}

} // namespace ocr
