// Build-time tool: draws the program's pictures from glyphs of the icon font, so that every
// picture shares one flat style and no picture file is kept in the repository.
//
//   render_pictures FONT.ttf OUTPUT_DIR

#include "Glyph.h"
#include "MarkPictures.h"

#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

enum class Style {
    Plain,   // the glyph filled in one colour
    Outlined // filled, with a light rim so that a cursor shows on dark and light pictures
};

struct Picture {
    const char* name;
    char16_t glyph;
    int size; // square, in pixels
    QRgb colour;
    double inset; // free border, as a share of the size
    Style style = Style::Plain;
};

constexpr QRgb kInk = 0xFF37474F;    // buttons
constexpr QRgb kMuted = 0xFF6B7378;  // unchecked indicators, arrows
constexpr QRgb kAccent = 0xFF1B89CA; // checked indicators

const Picture kPictures[] = {
    // Picture buttons under the preview and the two large command buttons
    {"hand", 0xF256, 48, kInk, 0.12},        // drag the video
    {"cut", 0xF125, 48, kInk, 0.12},         // draw a crop rectangle
    {"rotateleft", 0xF0E2, 48, kInk, 0.12},  // turn left
    {"rotateright", 0xF01E, 48, kInk, 0.12}, // turn right
    {"zoomin", 0xF00E, 48, kInk, 0.12},
    {"zoomout", 0xF010, 48, kInk, 0.12},
    {"fullsrn", 0xF065, 48, kInk, 0.14},  // reset the view to the whole picture
    {"open", 0xF07C, 64, kInk, 0.10},     // work folder
    {"curvepen", 0xF1FC, 64, kInk, 0.10}, // presentation mode
    // Check box and radio button indicators
    {"checkbox_unchecked", 0xF096, 20, kMuted, 0.05},
    {"checkbox_checked", 0xF14A, 20, kAccent, 0.05},
    {"radio_normal", 0xF10C, 15, kMuted, 0.02},
    {"radio_selected", 0xF192, 15, kAccent, 0.02},
    // Combo box and scroll bar arrows
    {"array_down", 0xF0D7, 12, kMuted, 0.10},
    {"add-line_vertical", 0xF0D7, 10, kMuted, 0.05},
    {"sub-line_vertical", 0xF0D8, 10, kMuted, 0.05},
    {"add-line_horizontal", 0xF0DA, 10, kMuted, 0.05},
    {"sub-line_horizontal", 0xF0D9, 10, kMuted, 0.05},
    // The logo of the about dialog: a camera over a page
    {"Papyra", 0xF030, 100, kAccent, 0.06},
    // Cursors: the pencil's tip is the lower left corner, the eraser's hot spot its centre
    {"pencil", 0xF040, 25, kInk, 0.0, Style::Outlined},
    {"eraser", 0xF12D, 45, kInk, 0.08, Style::Outlined},
};

QImage render(const QString& family, const Picture& picture) {
    QImage image(picture.size, picture.size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath glyph = fittedGlyph(family, picture.glyph, picture.size, picture.inset);
    if (picture.style == Style::Outlined)
        painter.strokePath(glyph, QPen(QColor(255, 255, 255, 230), 2.0));
    painter.fillPath(glyph, QColor::fromRgba(picture.colour));
    return image;
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: render_pictures FONT.ttf OUTPUT_DIR\n");
        return 2;
    }
    const int id = QFontDatabase::addApplicationFont(QString::fromLocal8Bit(argv[1]));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) {
        std::fprintf(stderr, "render_pictures: cannot load the font %s\n", argv[1]);
        return 1;
    }
    const QDir output(QString::fromLocal8Bit(argv[2]));
    if (!output.mkpath(QStringLiteral(".")))
        return 1;
    for (const Picture& picture : kPictures) {
        const QString path = output.filePath(QString::fromLatin1(picture.name) + ".png");
        if (!render(families.first(), picture).save(path)) {
            std::fprintf(stderr, "render_pictures: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return renderMarkPictures(families.first(), output.filePath(QStringLiteral("mark"))) ? 0 : 1;
}
