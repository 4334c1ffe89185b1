// Build-time tool: draws the program's icon, a camera over a page, at each size the desktop asks
// for, from the same icon font as the program's other pictures.
//
//   render_icon FONT.ttf OUTPUT_DIR SIZE...   writes OUTPUT_DIR/SIZExSIZE/docscanner.png

#include "Glyph.h"

#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <cstdio>

namespace {

constexpr char16_t kCamera = 0xF030;

QImage render(const QString& family, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // A rounded tile keeps the glyph readable on light and dark panels alike.
    const QRectF tile(size * 0.04, size * 0.04, size * 0.92, size * 0.92);
    QLinearGradient fill(tile.topLeft(), tile.bottomLeft());
    fill.setColorAt(0.0, QColor(0x2A, 0x9D, 0xE0));
    fill.setColorAt(1.0, QColor(0x15, 0x6F, 0xAE));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(tile, size * 0.18, size * 0.18);
    // The page under the camera: a white sheet in the lower part of the tile.
    const QRectF page(size * 0.20, size * 0.62, size * 0.60, size * 0.24);
    painter.setBrush(Qt::white);
    painter.drawRect(page);
    // Below 24 pixels the text lines would blur into grey; the sheet alone reads better.
    if (size >= 24) {
        painter.setBrush(QColor(0x15, 0x6F, 0xAE));
        const double line = std::max(1.0, size * 0.03);
        for (int i = 0; i < 3; ++i)
            painter.drawRect(QRectF(page.left() + size * 0.06,
                                    page.top() + size * (0.05 + 0.065 * i),
                                    page.width() - size * (i == 2 ? 0.24 : 0.12), line));
    }
    const QPainterPath camera = fittedGlyph(family, kCamera, size, 0.26);
    painter.translate(0, -size * 0.13);
    painter.fillPath(camera, Qt::white);
    return image;
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: render_icon FONT.ttf OUTPUT_DIR SIZE...\n");
        return 2;
    }
    const int id = QFontDatabase::addApplicationFont(QString::fromLocal8Bit(argv[1]));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) {
        std::fprintf(stderr, "render_icon: cannot load the font %s\n", argv[1]);
        return 1;
    }
    const QDir output(QString::fromLocal8Bit(argv[2]));
    for (int i = 3; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLatin1(argv[i]).toInt(&ok);
        if (!ok || size < 16 || size > 1024) {
            std::fprintf(stderr, "render_icon: bad size %s\n", argv[i]);
            return 2;
        }
        const QString folder = QStringLiteral("%1x%1").arg(size);
        const QString path = output.filePath(folder + QStringLiteral("/docscanner.png"));
        if (!output.mkpath(folder) || !render(families.first(), size).save(path)) {
            std::fprintf(stderr, "render_icon: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
