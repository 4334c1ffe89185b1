#include "idcard/CardImage.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace camcore {
namespace {

// The card at 300 dpi, and the page's white margin around and between the two sides.
constexpr int kCardWidth = 1011;
constexpr int kCardHeight = 638;
constexpr int kMargin = 60;

const QColor kLabel(40, 90, 150);
const QColor kInk(20, 20, 20);

// The families a Linux desktop has for Chinese first, then a Latin face for the digits.
QFont cardFont(int pixels, bool bold = false) {
    QFont font;
    font.setFamilies({QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Noto Sans SC"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

void drawBlank(QPainter& painter, const QRect& side) {
    QPainterPath outline;
    outline.addRoundedRect(side, 36, 36);
    QLinearGradient shade(side.topLeft(), side.bottomRight());
    shade.setColorAt(0, QColor(236, 243, 250));
    shade.setColorAt(1, QColor(250, 244, 232));
    painter.fillPath(outline, shade);
    painter.setPen(QPen(QColor(170, 180, 195), 3));
    painter.drawPath(outline);
}

// A label and its value; the value wraps inside `width` and is cut below `lines` lines.
void drawField(QPainter& painter, QPoint at, const QString& label, const std::string& value,
               int width, int lines = 1) {
    painter.setFont(cardFont(30));
    painter.setPen(kLabel);
    const int labelWidth = painter.fontMetrics().horizontalAdvance(label) + 24;
    painter.drawText(QRect(at, QSize(labelWidth, 50)), Qt::AlignLeft | Qt::AlignVCenter, label);
    painter.setFont(cardFont(36));
    painter.setPen(kInk);
    const QRect box(at + QPoint(labelWidth, 0), QSize(width - labelWidth, 50 * lines));
    painter.save();
    painter.setClipRect(box);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text(value));
    painter.restore();
}

void drawPhoto(QPainter& painter, const QImage& photo, const QRect& box) {
    if (photo.isNull())
        return;
    const QImage scaled = photo.scaled(box.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const QPoint corner = box.center() - scaled.rect().center();
    painter.drawImage(corner, scaled);
}

void drawFront(QPainter& painter, const IdCard& card, const QRect& side) {
    drawBlank(painter, side);
    const QPoint o = side.topLeft();
    constexpr int kTextWidth = 640;
    drawField(painter, o + QPoint(60, 70), QStringLiteral("姓名"), card.name, kTextWidth);
    drawField(painter, o + QPoint(60, 145), QStringLiteral("性别"), card.sex, 260);
    drawField(painter, o + QPoint(330, 145), QStringLiteral("民族"), card.nation, 370);
    drawField(painter, o + QPoint(60, 220), QStringLiteral("出生"), card.birth, kTextWidth);
    drawField(painter, o + QPoint(60, 295), QStringLiteral("住址"), card.address, kTextWidth, 3);
    drawField(painter, o + QPoint(60, 520), QStringLiteral("公民身份号码"), card.number, 900);
    drawPhoto(painter, card.photo, QRect(o + QPoint(720, 70), QSize(250, 310)));
}

void drawBack(QPainter& painter, const IdCard& card, const QRect& side) {
    drawBlank(painter, side);
    const QPoint o = side.topLeft();
    painter.setFont(cardFont(64, true));
    painter.setPen(kInk);
    painter.drawText(QRect(o + QPoint(0, 120), QSize(side.width(), 120)), Qt::AlignCenter,
                     QStringLiteral("居民身份证"));
    drawField(painter, o + QPoint(120, 420), QStringLiteral("签发机关"), card.authority, 800);
    drawField(painter, o + QPoint(120, 500), QStringLiteral("有效期限"), card.validity, 800);
}

} // namespace

QImage drawCardPage(const IdCard& card) {
    QImage page(kCardWidth + 2 * kMargin, 2 * kCardHeight + 3 * kMargin, QImage::Format_RGB888);
    page.fill(Qt::white);
    const int dotsPerMetre = qRound(kCardPageDpi / 0.0254);
    page.setDotsPerMeterX(dotsPerMetre);
    page.setDotsPerMeterY(dotsPerMetre);
    QPainter painter(&page);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    drawFront(painter, card, QRect(kMargin, kMargin, kCardWidth, kCardHeight));
    drawBack(painter, card, QRect(kMargin, 2 * kMargin + kCardHeight, kCardWidth, kCardHeight));
    return page;
}

} // namespace camcore
