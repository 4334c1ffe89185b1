#include "OcrPicture.h"

#include "QuilOcr.h"

#include "platform/Paths.h"

#include <QFile>
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

namespace {

// The picture the OCR button captures and reads (scaled down in place), and its full-size copy;
// none without the private folder.
QString inPrivateFolder(const QString& name) {
    const QString folder = platform::privateTempDir();
    return folder.isEmpty() ? QString() : folder + name;
}
QString capturedPath() {
    return inPrivateFolder(QStringLiteral("11.jpg"));
}
QString keptPath() {
    return inPrivateFolder(QStringLiteral("ocr-page.jpg"));
}

} // namespace

// A press whose capture failed removed the captured picture: the kept one is an older page.
QString readPicture() {
    return QFileInfo::exists(capturedPath()) && QFileInfo::exists(keptPath()) ? keptPath()
                                                                              : QString();
}

void keepReadPicture(const QString& path) {
    const QString kept = keptPath();
    if (kept.isEmpty())
        return;
    QFile::remove(kept);
    QFile::copy(path, kept);
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
