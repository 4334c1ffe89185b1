#include "EngineFixture.h"

#include <QDir>
#include <QFile>
#include <QtTest/QTest>

#include <cstdlib>

namespace engine_test {
namespace {

// Runs before main(), so before the engine reads the variables.
const bool environmentSet = [] {
    setenv("CAMCORE_VIRTUAL_CAMERAS", "3", 1);
    setenv("CAMCORE_REAL_CAMERAS", "0", 1);
    const QString path =
        QDir::tempPath() + QStringLiteral("/camcore-api-trace-%1.log").arg(getpid());
    QFile::remove(path);
    setenv("CAMCORE_TRACE", QFile::encodeName(path).constData(), 1);
    return true;
}();

} // namespace

QString tracePath() {
    return QFile::decodeName(qgetenv("CAMCORE_TRACE"));
}

QStringList traceLines() {
    QFile file(tracePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

std::unique_ptr<QWidget> makeWindow(int width, int height) {
    auto widget = std::make_unique<QWidget>();
    widget->resize(width, height);
    widget->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(widget.get()));
    return widget;
}

ZoWindow handleOf(QWidget& widget) {
    return static_cast<ZoWindow>(widget.winId());
}

QRect parseVideoRect(const char* text) {
    const QStringList parts = QString::fromLatin1(text).split('.');
    if (parts.size() != 4)
        return {};
    return QRect(QPoint(parts[0].toInt(), parts[1].toInt()),
                 QPoint(parts[2].toInt() - 1, parts[3].toInt() - 1));
}

QRect videoRectEx(int cam) {
    int left = -1, top = -1, right = -1, bottom = -1;
    ZoGetVideoRectEx(cam, left, top, right, bottom);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QImage grabVideo(QWidget& widget, int cam) {
    return widget.grab(videoRectEx(cam)).toImage().convertToFormat(QImage::Format_RGB888);
}

double meanLevel(const QImage& image) {
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    double sum = 0;
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* line = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            sum += line[x];
    }
    return grey.isNull() ? 0 : sum / (double(grey.width()) * grey.height());
}

bool waitForPicture(QWidget& widget, int timeoutMs) {
    return QTest::qWaitFor(
        [&] {
            const QImage shot = widget.grab().toImage();
            return meanLevel(
                       shot.copy(shot.rect().adjusted(shot.width() / 4, shot.height() / 4,
                                                      -shot.width() / 4, -shot.height() / 4))) > 40;
        },
        timeoutMs);
}

} // namespace engine_test
