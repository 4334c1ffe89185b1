#include "Corpus.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

namespace corpus {

namespace {

constexpr double kDegree = CV_PI / 180;

class Random {
public:
    explicit Random(std::uint32_t seed) : m_engine(seed) {}
    double uniform(double low = 0, double high = 1) {
        return low + (high - low) * (m_engine() / 4294967296.0);
    }
    int integer(int low, int high) {
        return low + static_cast<int>(m_engine() % static_cast<std::uint32_t>(high - low + 1));
    }
    bool chance(double p) { return uniform() < p; }
    std::uint32_t seed() { return m_engine(); }

private:
    std::mt19937 m_engine;
};

enum class Desk { Wood, Dark, Coloured, White, Fabric, Mat };
const char* const kDeskNames[] = {"wood", "dark", "coloured", "white", "fabric", "cutting mat"};

// One sheet's placement: its size in millimetres and its corners in the full frame (continuous
// coordinates, before the half-pixel shift to pixel centres).
struct Placement {
    cv::Size2d mm;
    double pxPerMm = 6;
    double angle = 0;
    std::array<cv::Point2d, 4> corners;
};

// Everything random about a scene, drawn from its index alone.
struct Plan {
    Kind kind = Kind::Page;
    Desk desk = Desk::Wood;
    cv::Vec3d deskColour;
    std::vector<Placement> sheets;
    double falloff = 0.2;
    cv::Point2d lamp;
    cv::Vec3d tint{1, 1, 1};
    bool hand = false;
    int handCorner = 0;
    bool photo = false, stamp = false, highlight = false, darkBox = false;
    double textTilt = 0;
    cv::Vec3d paper{245, 245, 242};
    cv::Vec3d cardColour;
    double shadowDepth = 0.4, shadowLeft = 0.02, shadowRight = 0.02, dip = 0.01;
    std::uint32_t seed = 0;
};

// Corners of a `mm` sheet turned by `angle` about `centre` with each corner moved by up to
// `jitter` of the diagonal (perspective), in full-frame pixels.
std::array<cv::Point2d, 4> place(cv::Size2d mm, double pxPerMm, double angle, cv::Point2d centre,
                                 double jitter, Random& random) {
    const double w = mm.width * pxPerMm / 2;
    const double h = mm.height * pxPerMm / 2;
    const double c = std::cos(angle * kDegree);
    const double s = std::sin(angle * kDegree);
    const double reach = jitter * std::hypot(2 * w, 2 * h);
    std::array<cv::Point2d, 4> corners;
    const std::array<cv::Point2d, 4> local{{{-w, -h}, {w, -h}, {w, h}, {-w, h}}};
    for (std::size_t i = 0; i < 4; ++i) {
        const double a = random.uniform(0, 2 * CV_PI);
        const double r = random.uniform(0, reach);
        corners[i] = centre +
                     cv::Point2d(c * local[i].x - s * local[i].y, s * local[i].x + c * local[i].y) +
                     cv::Point2d(r * std::cos(a), r * std::sin(a));
    }
    return corners;
}

// The largest scale at which a turned sheet (with room for perspective) fits the frame.
double fittingScale(cv::Size2d mm, double angle, double margin) {
    const double c = std::abs(std::cos(angle * kDegree));
    const double s = std::abs(std::sin(angle * kDegree));
    const double w = mm.width * c + mm.height * s;
    const double h = mm.width * s + mm.height * c;
    return std::min((kFrameWidth * (1 - 2 * margin)) / w, (kFrameHeight * (1 - 2 * margin)) / h);
}

Placement placeSheet(cv::Size2d mm, double pxPerMm, double angle, double jitter, Random& random,
                     cv::Rect2d area = cv::Rect2d(0, 0, kFrameWidth, kFrameHeight)) {
    Placement p;
    p.mm = mm;
    p.angle = angle;
    p.pxPerMm = std::min(pxPerMm, fittingScale(mm, angle, 0.06));
    const double c = std::abs(std::cos(angle * kDegree));
    const double s = std::abs(std::sin(angle * kDegree));
    const double halfW = (mm.width * c + mm.height * s) * p.pxPerMm / 2 + 0.05 * kFrameWidth;
    const double halfH = (mm.width * s + mm.height * c) * p.pxPerMm / 2 + 0.05 * kFrameHeight;
    const double x = area.width > 2 * halfW
                         ? random.uniform(area.x + halfW, area.x + area.width - halfW)
                         : area.x + area.width / 2;
    const double y = area.height > 2 * halfH
                         ? random.uniform(area.y + halfH, area.y + area.height - halfH)
                         : area.y + area.height / 2;
    p.corners = place(mm, p.pxPerMm, angle, {x, y}, jitter, random);
    return p;
}

Plan planOf(int index) {
    Random random(0x9e3779b9u * static_cast<std::uint32_t>(index + 1));
    Plan plan;
    plan.seed = random.seed();
    if (index < 110)
        plan.kind = Kind::Page;
    else if (index < 130)
        plan.kind = Kind::Card;
    else if (index < 150)
        plan.kind = Kind::CardPair;
    else
        plan.kind = Kind::Spread;

    const bool whiteOnWhite = index % 8 == 5;
    plan.desk =
        whiteOnWhite
            ? Desk::White
            : std::array<Desk, 6>{Desk::Wood,   Desk::Dark, Desk::Coloured,
                                  Desk::Fabric, Desk::Wood, Desk::Mat}[static_cast<std::size_t>(
                  random.integer(0, 5))];
    const std::array<cv::Vec3d, 6> colours{{{40, 70, 140},
                                            {50, 110, 60},
                                            {150, 50, 45},
                                            {110, 110, 115},
                                            {190, 160, 70},
                                            {70, 50, 90}}};
    plan.deskColour = colours[static_cast<std::size_t>(random.integer(0, 5))];
    plan.falloff = random.uniform(0.08, 0.45);
    plan.lamp = {random.uniform(-0.3, 1.3) * kFrameWidth, random.uniform(-0.3, 1.3) * kFrameHeight};
    plan.tint = {random.uniform(0.93, 1.0), random.uniform(0.96, 1.0), random.uniform(0.88, 1.0)};
    const double level = whiteOnWhite ? random.uniform(246, 252) : random.uniform(232, 252);
    plan.paper = {level, level - random.uniform(0, 4), level - random.uniform(0, 10)};

    switch (plan.kind) {
    case Kind::Page: {
        const std::array<cv::Size2d, 4> sizes{{{210, 297}, {297, 210}, {148, 210}, {216, 279}}};
        const cv::Size2d mm = sizes[static_cast<std::size_t>(random.integer(0, 3))];
        const double angle = random.uniform(-30, 30);
        plan.sheets.push_back(placeSheet(mm, random.uniform(5.0, 8.5), angle, 0.025, random));
        plan.hand = index % 7 == 3;
        plan.photo = random.chance(0.4);
        plan.stamp = random.chance(0.3);
        plan.highlight = random.chance(0.3);
        plan.darkBox = random.chance(0.25);
        plan.textTilt = random.chance(0.25) ? random.uniform(-1.5, 1.5) : 0.0;
        break;
    }
    case Kind::Card:
        plan.sheets.push_back(placeSheet({85.6, 54}, random.uniform(6.0, 8.0),
                                         random.uniform(-30, 30), 0.015, random));
        plan.hand = index % 5 == 1;
        break;
    case Kind::CardPair: {
        const bool stacked = random.chance(0.3);
        const double pxPerMm = random.uniform(5.5, 7.0);
        const double gap = random.uniform(0.12, 0.4);
        cv::Rect2d first(0, 0, kFrameWidth / 2.0, kFrameHeight);
        cv::Rect2d second(kFrameWidth / 2.0, 0, kFrameWidth / 2.0, kFrameHeight);
        if (stacked) {
            first = cv::Rect2d(kFrameWidth * 0.2, 0, kFrameWidth * 0.6, kFrameHeight / 2.0);
            second = cv::Rect2d(kFrameWidth * 0.2, kFrameHeight / 2.0, kFrameWidth * 0.6,
                                kFrameHeight / 2.0);
        }
        const double shrink = gap * 85.6 * pxPerMm / 2;
        if (stacked) {
            first.height -= shrink;
            second.y += shrink;
            second.height -= shrink;
        } else {
            first.width -= shrink;
            second.x += shrink;
            second.width -= shrink;
        }
        plan.sheets.push_back(
            placeSheet({85.6, 54}, pxPerMm, random.uniform(-12, 12), 0.015, random, first));
        plan.sheets.push_back(
            placeSheet({85.6, 54}, pxPerMm, random.uniform(-12, 12), 0.015, random, second));
        break;
    }
    case Kind::Spread: {
        const cv::Size2d mm = random.chance(0.5) ? cv::Size2d(296, 210) : cv::Size2d(352, 250);
        const double width = random.uniform(0.55, 0.9) * kFrameWidth;
        plan.sheets.push_back(
            placeSheet(mm, width / mm.width, random.uniform(-15, 15), 0.02, random));
        plan.hand = index % 6 == 2;
        plan.shadowDepth = random.uniform(0.3, 0.6);
        plan.shadowLeft = random.uniform(0.012, 0.04);
        plan.shadowRight = random.uniform(0.012, 0.04);
        plan.dip = random.uniform(0.004, 0.02);
        break;
    }
    }
    plan.handCorner = random.integer(0, 3);
    plan.cardColour = {random.uniform(170, 235), random.uniform(180, 235),
                       random.uniform(190, 240)};
    return plan;
}

// ---------------------------------------------------------------------------------------------
// Desks

QColor colourOf(const cv::Vec3d& c) {
    return QColor(static_cast<int>(c[0]), static_cast<int>(c[1]), static_cast<int>(c[2]));
}

// The desk, drawn at no more than 1000 pixels across and enlarged: it is out of focus, and the
// sensor noise added last brings back fine detail. CV_32FC3.
cv::Mat desk(const Plan& plan, cv::Size size, double scale, Random& random) {
    cv::RNG noise(random.seed());
    const double shrink = std::min(1.0, 1000.0 / size.width);
    const cv::Size small(static_cast<int>(std::lround(size.width * shrink)),
                         static_cast<int>(std::lround(size.height * shrink)));
    const cv::Vec3d base = plan.desk == Desk::Wood    ? cv::Vec3d(110, 80, 55)
                           : plan.desk == Desk::Dark  ? cv::Vec3d(32, 30, 30)
                           : plan.desk == Desk::White ? cv::Vec3d(228, 227, 224)
                           : plan.desk == Desk::Mat   ? cv::Vec3d(40, 95, 70)
                                                      : plan.deskColour;
    QImage painted(small.width, small.height, QImage::Format_RGB888);
    painted.fill(colourOf(base));
    {
        QPainter painter(&painted);
        painter.setRenderHint(QPainter::Antialiasing);
        const double w = small.width;
        const double h = small.height;
        if (plan.desk == Desk::Wood || plan.desk == Desk::White) {
            // Grain: long gently waving streaks.
            const int streaks = plan.desk == Desk::Wood ? 160 : 40;
            for (int i = 0; i < streaks; ++i) {
                const double y = random.uniform(0, h);
                const double wave = random.uniform(0.5, 3) * h / 250;
                QPainterPath streak(QPointF(-10, y));
                streak.cubicTo(QPointF(w * 0.3, y - 3 * wave), QPointF(w * 0.65, y + 3 * wave),
                               QPointF(w + 10, y + wave));
                QColor colour = random.chance(0.5) ? QColor(255, 230, 200) : QColor(30, 20, 10);
                colour.setAlpha(plan.desk == Desk::Wood ? random.integer(20, 60)
                                                        : random.integer(5, 15));
                painter.setPen(QPen(colour, random.uniform(0.5, 3) * h / 750));
                painter.drawPath(streak);
            }
        } else if (plan.desk == Desk::Mat) {
            // A cutting mat: a grid of light lines every 10 mm, each 1 mm wide.
            const double step = 10 * 7 * scale * shrink;
            painter.setPen(QPen(QColor(150, 200, 170, 110), std::max(0.6, 7 * scale * shrink)));
            for (double x = random.uniform(0, step); x < w; x += step)
                painter.drawLine(QPointF(x, 0), QPointF(x, h));
            for (double y = random.uniform(0, step); y < h; y += step)
                painter.drawLine(QPointF(0, y), QPointF(w, y));
        }
    }
    cv::Mat image;
    cv::Mat(small, CV_8UC3, painted.bits(), painted.bytesPerLine()).convertTo(image, CV_32FC3);

    // Mottling: smooth noise a few percent of the frame across.
    cv::Mat mottle(std::max(2, small.height / 40), std::max(2, small.width / 40), CV_32F);
    noise.fill(mottle, cv::RNG::NORMAL, 0, plan.desk == Desk::White ? 3 : 8);
    cv::resize(mottle, mottle, small, 0, 0, cv::INTER_CUBIC);
    cv::Mat mottle3;
    cv::merge(std::vector<cv::Mat>{mottle, mottle, mottle}, mottle3);
    image += mottle3;
    if (plan.desk == Desk::Fabric) {
        cv::Mat weave(small, CV_32FC3);
        noise.fill(weave, cv::RNG::NORMAL, 0, 18);
        cv::GaussianBlur(weave, weave, {0, 0}, std::max(0.7, 3 * scale * shrink));
        image += weave;
    }
    if (small != size)
        cv::resize(image, image, size, 0, 0, cv::INTER_LINEAR);
    return image;
}

// ---------------------------------------------------------------------------------------------
// Sheet content

const char* const kWords[] = {
    "the",     "report",  "shows",   "that",     "sales",    "rose",     "in",      "every",
    "region",  "during",  "spring",  "while",    "costs",    "fell",     "by",      "nine",
    "percent", "our",     "team",    "will",     "review",   "budget",   "plans",   "for",
    "next",    "year",    "and",     "share",    "results",  "with",     "board",   "members",
    "before",  "final",   "meeting", "office",   "library",  "museum",   "garden",  "river",
    "morning", "evening", "quickly", "careful",  "simple",   "modern",   "history", "science",
    "market",  "product", "service", "customer", "delivery", "contract", "payment", "invoice",
    "number",  "address", "station", "weather",  "summer",   "winter",   "travel",  "machine",
    "paper",   "camera",  "picture", "document", "reader",   "letter",   "window",  "kitchen",
    "student", "teacher", "lesson",  "chapter",  "section",
};

std::string randomLine(Random& random, const QFontMetricsF& metrics, double width) {
    std::string line;
    for (;;) {
        const std::string word = kWords[static_cast<std::size_t>(
            random.integer(0, static_cast<int>(std::size(kWords)) - 1))];
        const std::string next = line.empty() ? word : line + " " + word;
        if (metrics.horizontalAdvance(QString::fromStdString(next)) > width)
            return line;
        line = next;
    }
}

QFont font(const char* family, double pixels, bool bold = false) {
    QFont f{QString::fromLatin1(family)};
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    f.setBold(bold);
    return f;
}

// A page of text: a title, paragraphs, and as planned a photo, a stamp, a marker stroke and a
// dark box. `area` is where the page lies in the content (a spread holds two).
void drawPage(QPainter& painter, QPainter& regions, QRectF area, double pxPerMm, const Plan& plan,
              bool extras, Random& random, Sheet& sheet) {
    const double em = 4.2 * pxPerMm; // 12 point text
    const double left = area.left() + 0.1 * area.width();
    const double right = area.right() - 0.1 * area.width();
    double y = area.top() + 0.09 * area.height();

    QRectF photo;
    if (extras && plan.photo) {
        photo = QRectF(area.left() + area.width() * 0.55, area.top() + area.height() * 0.3,
                       area.width() * 0.35, area.height() * 0.2);
        QLinearGradient sky(photo.topLeft(), photo.bottomLeft());
        sky.setColorAt(0, QColor(70, 120, 200));
        sky.setColorAt(1, QColor(220, 180, 90));
        painter.fillRect(photo, sky);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(40, 110, 50));
        painter.drawEllipse(QPointF(photo.center().x(), photo.bottom()), photo.width() * 0.45,
                            photo.height() * 0.4);
        painter.setBrush(QColor(250, 230, 120));
        painter.drawEllipse(photo.topLeft() + QPointF(photo.width() * 0.25, photo.height() * 0.3),
                            photo.height() * 0.12, photo.height() * 0.12);
        regions.fillRect(photo, QColor(Photo, Photo, Photo));
    }
    if (extras && plan.darkBox) {
        const QRectF box(left, area.top() + area.height() * 0.62, (right - left) * 0.6,
                         area.height() * 0.05);
        painter.fillRect(box, QColor(55, 60, 70));
        regions.fillRect(box, QColor(DarkBox, DarkBox, DarkBox));
    }

    painter.save();
    const QPointF middle = area.center();
    painter.translate(middle);
    painter.rotate(plan.textTilt);
    painter.translate(-middle);
    const double tilt = plan.textTilt * kDegree;
    auto turned = [&](QPointF p) {
        const QPointF d = p - middle;
        return cv::Point2d(middle.x() + d.x() * std::cos(tilt) - d.y() * std::sin(tilt) - 0.5,
                           middle.y() + d.x() * std::sin(tilt) + d.y() * std::cos(tilt) - 0.5);
    };
    painter.setPen(QColor(25, 25, 30));
    const QFont title = font("DejaVu Sans", 1.7 * em, true);
    painter.setFont(title);
    y += 1.7 * em;
    const std::string heading = randomLine(random, QFontMetricsF(title), (right - left) * 0.7);
    painter.drawText(QPointF(left, y), QString::fromStdString(heading));
    sheet.text.push_back(heading);
    sheet.baselines.push_back({turned({left, y}), turned({left + (right - left) * 0.6, y})});
    y += 1.2 * em;

    const QFont body = font("DejaVu Serif", em);
    painter.setFont(body);
    const QFontMetricsF metrics(body);
    int lineInParagraph = 0;
    while (y + 2 * em < area.bottom() - 0.07 * area.height()) {
        y += 1.5 * em;
        const bool besidePhoto =
            !photo.isNull() && y > photo.top() - 0.3 * em && y - em < photo.bottom() + 0.3 * em;
        const bool besideBox = extras && plan.darkBox &&
                               y > area.top() + area.height() * 0.62 - 0.3 * em &&
                               y - em < area.top() + area.height() * 0.67 + 0.3 * em;
        if (besideBox)
            continue;
        const double end = besidePhoto ? photo.left() - em : right;
        const bool last = ++lineInParagraph == 5;
        const std::string words = randomLine(random, metrics, (end - left) * (last ? 0.6 : 1.0));
        if (last)
            lineInParagraph = 0;
        painter.drawText(QPointF(left, y), QString::fromStdString(words));
        sheet.text.push_back(words);
        const double width = metrics.horizontalAdvance(QString::fromStdString(words));
        sheet.baselines.push_back({turned({left, y}), turned({left + width, y})});
        if (last)
            y += 0.6 * em;
    }
    painter.restore();

    if (extras && plan.highlight && sheet.baselines.size() > 4) {
        const auto& line = sheet.baselines[3];
        const QRectF mark(line[0].x, line[0].y - 0.85 * em, (line[1].x - line[0].x) * 0.7,
                          em * 1.1);
        painter.fillRect(mark, QColor(255, 235, 40, 110));
        regions.fillRect(mark, QColor(Highlight, Highlight, Highlight));
    }
    if (extras && plan.stamp) {
        const QPointF centre(area.left() + area.width() * 0.72, area.top() + area.height() * 0.82);
        const double r = area.width() * 0.09;
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(205, 35, 40, 220), r * 0.06));
        painter.drawEllipse(centre, r, r);
        painter.drawEllipse(centre, r * 0.8, r * 0.8);
        painter.setFont(font("DejaVu Sans", r * 0.3, true));
        painter.drawText(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), Qt::AlignCenter,
                         QStringLiteral("PAID"));
        regions.setPen(Qt::NoPen);
        regions.setBrush(QColor(Stamp, Stamp, Stamp));
        regions.drawEllipse(centre, r * 1.05, r * 1.05);
    }
}

void drawCard(QPainter& painter, QPainter& regions, QRectF area, const Plan& plan) {
    QLinearGradient background(area.topLeft(), area.bottomRight());
    background.setColorAt(0, colourOf(plan.cardColour));
    background.setColorAt(1, colourOf(plan.cardColour * 0.92));
    painter.fillRect(area, background);
    const double u = area.width() / 85.6;
    painter.fillRect(QRectF(area.left(), area.top(), area.width(), 8 * u), QColor(150, 40, 50));
    const QRectF photo(area.left() + 5 * u, area.top() + 13 * u, 22 * u, 28 * u);
    painter.fillRect(photo, QColor(200, 210, 220));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(120, 90, 70));
    painter.drawEllipse(QPointF(photo.center().x(), photo.top() + 10 * u), 6 * u, 7.5 * u);
    painter.drawEllipse(QPointF(photo.center().x(), photo.bottom()), 10 * u, 8 * u);
    regions.fillRect(photo, QColor(Photo, Photo, Photo));
    painter.setPen(QColor(20, 20, 30));
    painter.setFont(font("DejaVu Sans", 3.2 * u));
    for (int i = 0; i < 5; ++i)
        painter.drawText(QPointF(area.left() + 32 * u, area.top() + 17 * u + i * 6 * u),
                         QStringLiteral("FIELD %1  0123 4567 %2").arg(i + 1).arg(i * 37));
}

Sheet makeSheet(const Plan& plan, std::size_t which, double scale, Random& random) {
    const Placement& placement = plan.sheets[which];
    const double k = placement.pxPerMm * scale; // content pixels per millimetre
    const cv::Size size(std::max(8, static_cast<int>(std::lround(placement.mm.width * k))),
                        std::max(8, static_cast<int>(std::lround(placement.mm.height * k))));
    QImage content(size.width, size.height, QImage::Format_RGB888);
    QImage regions(size.width, size.height, QImage::Format_Grayscale8);
    content.fill(colourOf(plan.paper));
    regions.fill(0);
    Sheet sheet;
    {
        QPainter painter(&content);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        QPainter regionPainter(&regions);
        const QRectF all(0, 0, size.width, size.height);
        if (plan.kind == Kind::Page) {
            drawPage(painter, regionPainter, all, k, plan, true, random, sheet);
        } else if (plan.kind == Kind::Spread) {
            drawPage(painter, regionPainter, QRectF(0, 0, size.width / 2.0, size.height), k, plan,
                     false, random, sheet);
            drawPage(painter, regionPainter,
                     QRectF(size.width / 2.0, 0, size.width / 2.0, size.height), k, plan, false,
                     random, sheet);
        } else {
            drawCard(painter, regionPainter, all, plan);
        }
    }
    sheet.content = cv::Mat(size, CV_8UC3, content.bits(), content.bytesPerLine()).clone();
    sheet.regions = cv::Mat(size, CV_8UC1, regions.bits(), regions.bytesPerLine()).clone();

    // Print on plain paper is ink; paper near anything printed is "near"; the outer 2% is edge.
    cv::Mat grey;
    cv::cvtColor(sheet.content, grey, cv::COLOR_RGB2GRAY);
    const double paperGrey = 0.299 * plan.paper[0] + 0.587 * plan.paper[1] + 0.114 * plan.paper[2];
    sheet.regions.setTo(Ink, (grey < paperGrey - 40) & (sheet.regions == Paper));
    cv::Mat printed = sheet.regions != Paper;
    cv::Mat anyMark = grey < paperGrey - 8;
    printed |= anyMark;
    cv::dilate(printed, printed, cv::Mat::ones(7, 7, CV_8U));
    sheet.regions.setTo(Near, printed & (sheet.regions == Paper));
    const int edge = std::max(2, size.width / 50);
    cv::Mat inner(size, CV_8U, cv::Scalar(0));
    inner(cv::Rect(edge, edge, size.width - 2 * edge, size.height - 2 * edge)).setTo(255);
    sheet.regions.setTo(Edge, inner == 0);

    // Millimetres to full-frame pixels, then content pixels to rendered pixels.
    const cv::Point2f mmCorners[4] = {
        {0, 0},
        {static_cast<float>(placement.mm.width), 0},
        {static_cast<float>(placement.mm.width), static_cast<float>(placement.mm.height)},
        {0, static_cast<float>(placement.mm.height)}};
    cv::Point2f frameCorners[4];
    for (std::size_t i = 0; i < 4; ++i) {
        frameCorners[i] = placement.corners[i];
        sheet.corners[i] = placement.corners[i] - cv::Point2d(0.5, 0.5);
    }
    const cv::Matx33d mmToFrame(cv::getPerspectiveTransform(mmCorners, frameCorners));
    const double sx = placement.mm.width / size.width; // content pixels to millimetres
    const double sy = placement.mm.height / size.height;
    const cv::Matx33d contentToMm(sx, 0, 0.5 * sx, 0, sy, 0.5 * sy, 0, 0, 1);
    const cv::Matx33d fullToRendered(scale, 0, -0.5, 0, scale, -0.5, 0, 0, 1);
    sheet.contentToFrame = fullToRendered * mmToFrame * contentToMm;
    return sheet;
}

// A spread's pages curve down into the spine: its shadow, a dark gutter, and top and bottom
// edges that dip towards it.
void shadeSpine(const Plan& plan, Sheet& sheet, cv::Mat& shape) {
    const int w = sheet.content.cols;
    const int h = sheet.content.rows;
    const double spine = w / 2.0;
    for (int x = 0; x < w; ++x) {
        const double d = (x + 0.5 - spine) / w;
        const double width = d < 0 ? plan.shadowLeft : plan.shadowRight;
        const double shade = 1 - plan.shadowDepth * std::exp(-std::abs(d) / width);
        const double gutter = std::abs(d) * w < 1.5 ? 0.6 : 1.0;
        for (int y = 0; y < h; ++y) {
            cv::Vec3b& p = sheet.content.at<cv::Vec3b>(y, x);
            for (int c = 0; c < 3; ++c)
                p[c] = cv::saturate_cast<uchar>(p[c] * shade * gutter);
        }
        const double dip = plan.dip * h * std::exp(-std::abs(d) / 0.03);
        const int cut = static_cast<int>(dip);
        if (cut > 0) {
            shape(cv::Rect(x, 0, 1, std::min(cut, h))).setTo(0);
            shape(cv::Rect(x, std::max(0, h - cut), 1, std::min(cut, h))).setTo(0);
        }
    }
}

// A hand holding the sheet down at one corner; a fingertip for a card.
void drawHand(const Plan& plan, const Sheet& sheet, double scale, cv::Mat& frame, cv::Mat& mask,
              Random& random) {
    std::array<cv::Point2d, 4> corners;
    for (std::size_t i = 0; i < 4; ++i)
        corners[i] = toRendered(sheet.corners[i], scale);
    const cv::Point2d centre = (corners[0] + corners[1] + corners[2] + corners[3]) * 0.25;
    const cv::Point2d corner = corners[static_cast<std::size_t>(plan.handCorner)];
    cv::Point2d out = corner - centre;
    const double diagonal = 2 * cv::norm(out);
    out *= 1.0 / cv::norm(out);
    const bool card = plan.kind == Kind::Card;
    const double size = card ? diagonal * 0.9 : diagonal * 0.5;

    QPainterPath hand;
    hand.setFillRule(Qt::WindingFill);
    const QPointF palm(corner.x + out.x * size * 0.32, corner.y + out.y * size * 0.32);
    const double turn = std::atan2(out.y, out.x);
    auto capsule = [&hand](QPointF a, QPointF b, double width) {
        QPainterPathStroker stroker;
        stroker.setWidth(width);
        stroker.setCapStyle(Qt::RoundCap);
        QPainterPath line(a);
        line.lineTo(b);
        hand.addPath(stroker.createStroke(line));
    };
    const double armTurn = turn + random.uniform(-0.35, 0.35);
    capsule(palm, palm + QPointF(std::cos(armTurn), std::sin(armTurn)) * size * 4, size * 0.2);
    hand.addEllipse(palm, size * 0.16, size * 0.16);
    const int fingers = card ? 1 : 4;
    for (int f = 0; f < fingers; ++f) {
        const double a = turn + CV_PI + (fingers == 1 ? 0 : (f - 1.5) * 0.28);
        const QPointF base = palm + QPointF(std::cos(a), std::sin(a)) * size * 0.1;
        const double reach = card ? 0.42 : 0.34;
        capsule(base, base + QPointF(std::cos(a), std::sin(a)) * size * reach, size * 0.075);
    }

    QImage shape(frame.cols, frame.rows, QImage::Format_Grayscale8);
    shape.fill(0);
    {
        QPainter painter(&shape);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(hand, Qt::white);
    }
    const cv::Mat alpha =
        cv::Mat(frame.rows, frame.cols, CV_8U, shape.bits(), shape.bytesPerLine()).clone();
    mask = alpha > 128;
    // Its shadow, then the hand: skin lit from one side.
    cv::Mat shadow;
    const cv::Matx23d shift(1, 0, size * 0.03, 0, 1, size * 0.04);
    cv::warpAffine(alpha, shadow, shift, alpha.size());
    cv::GaussianBlur(shadow, shadow, {0, 0}, std::max(1.0, size * 0.03));
    const cv::Vec3f skin(static_cast<float>(random.uniform(190, 230)),
                         static_cast<float>(random.uniform(140, 175)),
                         static_cast<float>(random.uniform(110, 145)));
    for (int y = 0; y < frame.rows; ++y) {
        auto* row = frame.ptr<cv::Vec3f>(y);
        for (int x = 0; x < frame.cols; ++x) {
            const float s = shadow.at<uchar>(y, x) / 255.0F;
            const float a = alpha.at<uchar>(y, x) / 255.0F;
            const float light =
                0.85F + 0.15F * static_cast<float>(std::cos((x * out.x + y * out.y) / size * 3));
            row[x] = row[x] * (1 - 0.35F * s);
            row[x] = row[x] * (1 - a) + skin * (a * light);
        }
    }
    (void)scale;
}

} // namespace

cv::Point2d toFull(cv::Point2d rendered, double scale) {
    return (rendered + cv::Point2d(0.5, 0.5)) * (1 / scale) - cv::Point2d(0.5, 0.5);
}

cv::Point2d toRendered(cv::Point2d full, double scale) {
    return (full + cv::Point2d(0.5, 0.5)) * scale - cv::Point2d(0.5, 0.5);
}

std::vector<Scene> scenes() {
    std::vector<Scene> list;
    for (int i = 0; i < 200; ++i) {
        const Plan plan = planOf(i);
        Scene scene;
        scene.index = i;
        scene.kind = plan.kind;
        scene.angle = plan.sheets[0].angle;
        scene.hand = plan.hand;
        const char* kind = plan.kind == Kind::Page       ? "page"
                           : plan.kind == Kind::Card     ? "card"
                           : plan.kind == Kind::CardPair ? "card pair"
                                                         : "spread";
        scene.description = std::string(kind) + " " + std::to_string(i) + ": " +
                            kDeskNames[static_cast<int>(plan.desk)] + " desk, " +
                            std::to_string(static_cast<int>(std::lround(plan.sheets[0].angle))) +
                            " degrees" + (plan.hand ? ", hand" : "");
        list.push_back(scene);
    }
    return list;
}

Rendered render(const Scene& scene, double scale) {
    const Plan plan = planOf(scene.index);
    Random random(plan.seed);
    Rendered result;
    result.scale = scale;
    const cv::Size size(static_cast<int>(kFrameWidth * scale),
                        static_cast<int>(kFrameHeight * scale));
    cv::Mat frame = desk(plan, size, scale, random);

    for (std::size_t i = 0; i < plan.sheets.size(); ++i) {
        Sheet sheet = makeSheet(plan, i, scale, random);
        cv::Mat shape(sheet.content.size(), CV_8U, cv::Scalar(255));
        if (plan.kind == Kind::Spread)
            shadeSpine(plan, sheet, shape);
        if (plan.kind == Kind::Card || plan.kind == Kind::CardPair) {
            // Rounded corners of an ID-1 card: 3.18 mm of 85.6.
            shape.setTo(0);
            const int r =
                std::max(1, static_cast<int>(std::lround(sheet.content.cols * 3.18 / 85.6)));
            const cv::Rect inner(r, r, shape.cols - 2 * r, shape.rows - 2 * r);
            cv::rectangle(shape, {r, 0, shape.cols - 2 * r, shape.rows}, 255, cv::FILLED);
            cv::rectangle(shape, {0, r, shape.cols, shape.rows - 2 * r}, 255, cv::FILLED);
            for (const cv::Point c :
                 {inner.tl(), cv::Point(inner.br().x - 1, inner.y), inner.br() - cv::Point(1, 1),
                  cv::Point(inner.x, inner.br().y - 1)})
                cv::circle(shape, c, r, 255, cv::FILLED, cv::LINE_AA);
        }
        // The shadow it casts under a lamp at about 45 degrees: as wide as it is thick, with a
        // slightly curled sheet counted as 0.5 mm, a card as 0.8 mm and a book as 1.5 mm.
        const double thickness = plan.kind == Kind::Spread ? 1.5
                                 : plan.kind == Kind::Page ? 0.5
                                                           : 0.8;
        const double lift = thickness * plan.sheets[i].pxPerMm * scale;
        // The sheet, its shape and its shadow, drawn only over the part of the frame they cover.
        std::vector<cv::Point2f> outline;
        for (const cv::Point2d& corner : sheet.corners)
            outline.emplace_back(toRendered(corner, scale));
        const int reach = static_cast<int>(std::ceil(6 * lift)) + 4;
        const cv::Rect area =
            (cv::boundingRect(outline) + cv::Size(2 * reach, 2 * reach) - cv::Point(reach, reach)) &
            cv::Rect(0, 0, size.width, size.height);
        const cv::Matx33d toArea =
            cv::Matx33d(1, 0, -area.x, 0, 1, -area.y, 0, 0, 1) * sheet.contentToFrame;
        cv::Mat warped;
        cv::Mat alpha;
        cv::warpPerspective(sheet.content, warped, toArea, area.size(), cv::INTER_LINEAR,
                            cv::BORDER_REPLICATE);
        cv::warpPerspective(shape, alpha, toArea, area.size(), cv::INTER_LINEAR,
                            cv::BORDER_CONSTANT, 0);
        cv::Mat shadow;
        cv::warpAffine(alpha, shadow, cv::Matx23d(1, 0, lift, 0, 1, 1.5 * lift), area.size());
        cv::GaussianBlur(shadow, shadow, {0, 0}, std::max(0.5, 1.5 * lift));
        for (int y = 0; y < area.height; ++y) {
            auto* row = frame.ptr<cv::Vec3f>(area.y + y) + area.x;
            const auto* sheetRow = warped.ptr<cv::Vec3b>(y);
            const uchar* a = alpha.ptr<uchar>(y);
            const uchar* s = shadow.ptr<uchar>(y);
            for (int x = 0; x < area.width; ++x) {
                const float cover = a[x] / 255.0F;
                row[x] = row[x] * ((1 - 0.3F * s[x] / 255.0F) * (1 - cover)) +
                         cv::Vec3f(sheetRow[x]) * cover;
            }
        }
        result.sheets.push_back(std::move(sheet));
    }
    if (plan.kind == Kind::Spread) {
        const Sheet& spread = result.sheets.front();
        const cv::Matx33d toFullFrame =
            cv::Matx33d(1 / scale, 0, 0.5 / scale - 0.5, 0, 1 / scale, 0.5 / scale - 0.5, 0, 0, 1) *
            spread.contentToFrame;
        const double x = spread.content.cols / 2.0 - 0.5;
        for (std::size_t i = 0; i < 2; ++i) {
            const double y = i == 0 ? -0.5 : spread.content.rows - 0.5;
            const cv::Vec3d p = toFullFrame * cv::Vec3d(x, y, 1);
            result.spine[i] = {p[0] / p[2], p[1] / p[2]};
        }
    }

    result.hand = cv::Mat(size, CV_8U, cv::Scalar(0));
    if (plan.hand)
        drawHand(plan, result.sheets.front(), scale, frame, result.hand, random);

    // The lamp, a colour cast, the lens and the sensor's noise (2.5 levels at full size, less
    // when the frame is rendered smaller, as averaging a full frame down would make it). The
    // lamp's fall-off goes with the squared distance, which splits into a row and a column part.
    const double far =
        std::max({cv::norm(plan.lamp), cv::norm(plan.lamp - cv::Point2d(kFrameWidth, 0)),
                  cv::norm(plan.lamp - cv::Point2d(0, kFrameHeight)),
                  cv::norm(plan.lamp - cv::Point2d(kFrameWidth, kFrameHeight))});
    const double k = plan.falloff / (far * far);
    std::vector<double> across(static_cast<std::size_t>(size.width));
    for (int x = 0; x < size.width; ++x) {
        const double dx = x / scale - plan.lamp.x;
        across[static_cast<std::size_t>(x)] = k * dx * dx;
    }
    cv::GaussianBlur(frame, frame, {0, 0}, 0.6);
    // Noise from a 256-pixel tile at an offset of the scene's own: drawing a fresh normal sample
    // for every pixel cost more than the rest of the scene.
    static const cv::Mat tile = [] {
        cv::Mat t(256, 256, CV_32FC3);
        cv::RNG(7).fill(t, cv::RNG::NORMAL, 0, 1);
        return t;
    }();
    const float sigma = static_cast<float>(std::max(0.5, 2.5 * scale));
    const int ox = static_cast<int>(plan.seed % 256);
    const int oy = static_cast<int>((plan.seed / 256) % 256);
    const cv::Vec3f tint(static_cast<float>(plan.tint[0]), static_cast<float>(plan.tint[1]),
                         static_cast<float>(plan.tint[2]));
    for (int y = 0; y < size.height; ++y) {
        const double dy = y / scale - plan.lamp.y;
        const double down = k * dy * dy;
        auto* row = frame.ptr<cv::Vec3f>(y);
        const auto* grain = tile.ptr<cv::Vec3f>((y + oy) % 256);
        for (int x = 0; x < size.width; ++x) {
            const float light = static_cast<float>(1 - across[static_cast<std::size_t>(x)] - down);
            row[x] = row[x].mul(tint) * light + grain[(x + ox) % 256] * sigma;
        }
    }
    frame.convertTo(result.frame, CV_8UC3);
    return result;
}

} // namespace corpus
