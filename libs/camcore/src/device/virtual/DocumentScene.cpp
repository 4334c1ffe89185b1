#include "device/virtual/DocumentScene.h"

#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <exception>
#include <vector>

namespace camcore {

namespace {

// The scene is laid out on a 1000 x 750 board scaled to the frame. A landscape A4 sheet of
// 840 x 594 covers two thirds of it, and its bounding box at the largest tilt still leaves a
// margin of desk on every side.
constexpr double kBoardWidth = 1000.0;
constexpr double kBoardHeight = 750.0;
constexpr double kPageWidth = 840.0;
constexpr double kPageHeight = 594.0;
constexpr double kMargin = 48.0;
constexpr double kTextRight = 600.0; // text stays clear of the QR code's quiet zone

const QColor kPaper(246, 244, 238);
const QColor kInk(28, 28, 34);

// Pages differ in how they lie, the way a sheet put down by hand does.
struct Placement {
    double angle;
    double dx;
    double dy;
};
constexpr std::array<Placement, 6> kPlacements{{
    {4.5, 6, -4},
    {-3.5, -5, 3},
    {5.5, 4, 5},
    {-4.0, -6, -3},
    {3.0, 3, -5},
    {-5.0, -4, 4},
}};

const Placement& placement(int page) {
    const int n = static_cast<int>(kPlacements.size());
    return kPlacements[static_cast<std::size_t>(((page - 1) % n + n) % n)];
}

// Board units to pixels, and the transform from page units (before scaling) to pixels.
struct Geometry {
    double scale = 1.0;
    QTransform page; // maps page coordinates, already in pixels, onto the frame
};

Geometry geometry(QSize frameSize, int page) {
    Geometry g;
    g.scale = std::min(frameSize.width() / kBoardWidth, frameSize.height() / kBoardHeight);
    const Placement& p = placement(page);
    const QPointF origin((frameSize.width() - kBoardWidth * g.scale) / 2,
                         (frameSize.height() - kBoardHeight * g.scale) / 2);
    const QPointF centre =
        origin + QPointF(kBoardWidth / 2 + p.dx, kBoardHeight / 2 + p.dy) * g.scale;
    g.page.translate(centre.x(), centre.y());
    g.page.rotate(p.angle);
    g.page.translate(-kPageWidth / 2 * g.scale, -kPageHeight / 2 * g.scale);
    return g;
}

// Small deterministic generator: the desk must look the same in every frame and every run.
class Random {
public:
    explicit Random(std::uint32_t seed) : m_state(seed) {}
    double uniform() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state / 4294967296.0;
    }

private:
    std::uint32_t m_state;
};

// Wood grain: long, gently waving streaks a little lighter or darker than the board. Drawn at
// no more than 1000 pixels across and scaled up, since stroking it at 8 MP took half a second;
// the desk is out of focus anyway, and the sensor noise adds the fine detail back.
QImage deskTexture(QSize frameSize) {
    const QSize size = frameSize.width() > kBoardWidth
                           ? frameSize.scaled(static_cast<int>(kBoardWidth), frameSize.height(),
                                              Qt::KeepAspectRatio)
                           : frameSize;
    QImage desk(size, QImage::Format_RGB32);
    const double w = size.width();
    const double h = size.height();
    QPainter painter(&desk);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient board(0, 0, w, h);
    board.setColorAt(0, QColor(96, 75, 58));
    board.setColorAt(1, QColor(68, 52, 41));
    painter.fillRect(QRectF(0, 0, w, h), board);

    Random random(0x2545f491u);
    painter.setBrush(Qt::NoBrush);
    for (int i = 0; i < 180; ++i) {
        const double y = random.uniform() * h;
        const double wave = (0.5 + 2.5 * random.uniform()) * h / 250;
        QPainterPath streak(QPointF(-10, y));
        streak.cubicTo(QPointF(w * 0.3, y - 3 * wave), QPointF(w * 0.65, y + 3 * wave),
                       QPointF(w + 10, y + wave));
        QColor colour = random.uniform() < 0.5 ? QColor(138, 110, 86) : QColor(38, 28, 21);
        colour.setAlpha(20 + static_cast<int>(45 * random.uniform()));
        painter.setPen(QPen(colour, (0.4 + 2.6 * random.uniform()) * h / kBoardHeight));
        painter.drawPath(streak);
    }
    return desk;
}

void drawDesk(QPainter& painter, QSize size) {
    const QImage desk = deskTexture(size);
    if (desk.size() == size) {
        painter.drawImage(0, 0, desk);
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(QPointF(0, 0), QSizeF(size)), desk);
    painter.restore();
}

// One path for all dark modules, so antialiasing leaves no seams between neighbours.
void drawModules(QPainter& painter, const ZXing::BitMatrix& modules, const QRectF& target) {
    if (modules.width() <= 0 || modules.height() <= 0)
        return;
    const double mw = target.width() / modules.width();
    const double mh = target.height() / modules.height();
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (int y = 0; y < modules.height(); ++y) {
        for (int x = 0; x < modules.width();) {
            if (!modules.get(x, y)) {
                ++x;
                continue;
            }
            const int run = x;
            while (x < modules.width() && modules.get(x, y))
                ++x;
            path.addRect(QRectF(target.x() + run * mw, target.y() + y * mh, (x - run) * mw, mh));
        }
    }
    painter.fillPath(path, kInk);
}

// The writer gives one pixel per module without a quiet zone; the page supplies the quiet zone.
void drawCode(QPainter& painter, ZXing::BarcodeFormat format, const std::string& text,
              const QRectF& target) {
    try {
        const ZXing::BitMatrix modules =
            ZXing::MultiFormatWriter(format).setMargin(0).encode(text, 0, 0);
        drawModules(painter, modules, target);
    } catch (const std::exception&) {
        // Content the symbology cannot carry: the page is drawn without this code.
    }
}

QFont font(const char* family, double pixels, double scale, bool bold = false) {
    QFont f{QString::fromLatin1(family)};
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels * scale))));
    f.setBold(bold);
    return f;
}

void drawText(QPainter& painter, double scale, int page) {
    auto at = [scale](double x, double y) {
        return QPointF(x, y) * scale;
    };
    painter.setPen(kInk);

    painter.setFont(font("DejaVu Sans", 28, scale, true));
    painter.drawText(at(kMargin, 78), QStringLiteral("Document Scanning Test Page"));
    painter.setFont(font("DejaVu Sans", 15, scale));
    painter.setPen(QColor(90, 90, 96));
    painter.drawText(at(kMargin, 104),
                     QStringLiteral("A sample sheet for capture, cropping and recognition"));
    painter.setPen(QPen(QColor(120, 120, 126), 1.5 * scale));
    painter.drawLine(at(kMargin, 120), at(kTextRight, 120));

    static const char* const english[] = {
        "This sheet checks every step from the camera to the saved file.",
        "Its text is set in a plain sans-serif face at several sizes,",
        "and the codes carry the page number so a reader can be tested.",
        "The page lies a few degrees askew on a dark wooden desk, lit",
        "by a lamp from the upper left, with a little sensor noise.",
        "The quick brown fox jumps over the lazy dog. 0123456789",
        "Pack my box with five dozen liquor jugs! (A-Z, a-z, 0-9)",
    };
    painter.setPen(kInk);
    painter.setFont(font("DejaVu Sans", 15, scale));
    double baseline = 152;
    for (const char* line : english) {
        painter.drawText(at(kMargin, baseline), QString::fromLatin1(line));
        baseline += 24;
    }

    painter.setFont(font("WenQuanYi Zen Hei", 24, scale));
    painter.drawText(at(kMargin, 346), QStringLiteral("文档扫描测试页"));
    painter.setFont(font("WenQuanYi Zen Hei", 19, scale));
    painter.drawText(at(kMargin, 378),
                     QStringLiteral("这是一页用于检验文字识别和条码识别的测试文档。"));
    painter.drawText(at(kMargin, 406), QStringLiteral("请保持页面平整、光线均匀，然后拍照保存。"));

    painter.setFont(font("DejaVu Sans", 15, scale, true));
    painter.drawText(at(652, 276), QStringLiteral("Notes"));

    painter.setFont(font("DejaVu Sans Mono", 13, scale));
    painter.drawText(at(kMargin, 534), QString::fromStdString(documentBarcodeText(page)));

    painter.setFont(font("DejaVu Sans", 20, scale, true));
    const QRectF pageNumber(at(kPageWidth - kMargin - 200, 520), at(kPageWidth - kMargin, 552));
    painter.drawText(pageNumber, Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Page %1").arg(page));
}

void drawPage(QPainter& painter, const Geometry& g, int page) {
    const double s = g.scale;
    painter.setTransform(g.page);
    painter.setPen(Qt::NoPen);
    // A soft shadow: layers of faint black, each a little larger, under the sheet.
    for (int i = 6; i >= 1; --i) {
        const double grow = i * 1.6 * s;
        painter.setBrush(QColor(0, 0, 0, 14));
        painter.drawRect(QRectF(4 * s - grow, 6 * s - grow, kPageWidth * s + 2 * grow,
                                kPageHeight * s + 2 * grow));
    }
    painter.fillRect(QRectF(0, 0, kPageWidth * s, kPageHeight * s), kPaper);

    // A ruled box for notes, as forms have: straight lines inside the page for detectors to
    // tell from its edges.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kInk, 1.2 * s));
    painter.drawRect(QRectF(640 * s, 250 * s, 152 * s, 220 * s));
    painter.setPen(QPen(QColor(150, 150, 156), 0.8 * s));
    for (double y = 312; y < 460; y += 26)
        painter.drawLine(QPointF(650 * s, y * s), QPointF(782 * s, y * s));

    drawCode(painter, ZXing::BarcodeFormat::QRCode, documentQrText(page),
             QRectF(640 * s, kMargin * s, 152 * s, 152 * s));
    drawCode(painter, ZXing::BarcodeFormat::Code128, documentBarcodeText(page),
             QRectF(kMargin * s, 440 * s, 340 * s, 70 * s));
    // Fonts need the application's font database; without one the page has codes but no text.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        drawText(painter, s, page);
    painter.resetTransform();
}

// The lamp stands to the upper left: light falls off towards the far corner to about three
// quarters. Sensor noise is a fixed pattern of up to +-5 levels, hashed from the position.
void applyLampAndNoise(QImage& image) {
    const int w = image.width();
    const int h = image.height();
    std::vector<float> across(static_cast<std::size_t>(w));
    for (int x = 0; x < w; ++x) {
        const double d = (x / static_cast<double>(w) - 0.3) / 0.7;
        across[static_cast<std::size_t>(x)] = static_cast<float>(1.0 - 0.16 * d * d);
    }
    for (int y = 0; y < h; ++y) {
        const double d = (y / static_cast<double>(h) - 0.25) / 0.75;
        const float down = static_cast<float>(1.0 - 0.12 * d * d);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            std::uint32_t hash = static_cast<std::uint32_t>(x) * 0x9e3779b1u ^
                                 static_cast<std::uint32_t>(y) * 0x85ebca77u;
            hash ^= hash >> 15;
            hash *= 0x2c1b3c6du;
            hash ^= hash >> 12;
            const float noise = static_cast<float>(hash % 11) - 5.0f;
            const float light = across[static_cast<std::size_t>(x)] * down;
            auto channel = [light, noise](int v) {
                return std::clamp(static_cast<int>(v * light + noise + 0.5f), 0, 255);
            };
            const QRgb p = line[x];
            line[x] = qRgb(channel(qRed(p)), channel(qGreen(p)), channel(qBlue(p)));
        }
    }
}

} // namespace

DocumentLayout documentLayout(QSize frameSize, int page) {
    const Geometry g = geometry(frameSize, page);
    const double w = kPageWidth * g.scale;
    const double h = kPageHeight * g.scale;
    DocumentLayout layout;
    layout.corners = g.page.map(QPolygonF(QList<QPointF>{{0, 0}, {w, 0}, {w, h}, {0, h}}));
    layout.angle = placement(page).angle;
    return layout;
}

std::string documentQrText(int page) {
    return "DOCSCAN-PAGE-" + std::to_string(page);
}

std::string documentBarcodeText(int page) {
    return "PAGE" + std::to_string(page) + "-12345";
}

QImage renderDocumentScene(QSize frameSize, int page) {
    if (frameSize.isEmpty())
        return {};
    QImage image(frameSize, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    {
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        drawDesk(painter, frameSize);
        drawPage(painter, geometry(frameSize, page), page);
    }
    applyLampAndNoise(image);
    return image;
}

} // namespace camcore
