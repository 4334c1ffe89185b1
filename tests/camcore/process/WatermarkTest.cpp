#include "process/watermark/Watermark.h"
#include "process/watermark/WatermarkDraw.h"

#include <QImage>
#include <QRect>

#include <gtest/gtest.h>

#include <cstring>

namespace {

using camcore::drawWatermark;
using camcore::readWatermark;
using camcore::Watermark;
using camcore::WatermarkTarget;

_WATERMARKPARAM record(const char* text) {
    _WATERMARKPARAM r;
    std::memset(&r, 0, sizeof r);
    std::strncpy(r.szText, text, sizeof r.szText - 1);
    std::strcpy(r.szFontName, "宋体");
    r.nFontSize = 72;
    r.byRed = 255;
    r.byAlpha = 255;
    r.bFixedPos = 1;
    return r;
}

// Pixels the mark changed on a white picture.
QRect markedArea(const QImage& picture) {
    QRect area;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixelColor(x, y) != QColor(Qt::white))
                area |= QRect(x, y, 1, 1);
    return area;
}

QImage drawn(const Watermark& mark, QSize size = {800, 600}, int dpi = 100, QPointF anchor = {}) {
    QImage picture(size, QImage::Format_RGB888);
    picture.fill(Qt::white);
    drawWatermark(picture, mark, WatermarkTarget{size, dpi, anchor},
                  QDateTime(QDate(2026, 12, 7), QTime(10, 35, 1)));
    return picture;
}

TEST(WatermarkRecordTest, UntrustedValuesAreReadIntoTheirRanges) {
    _WATERMARKPARAM r = record("水印");
    r.nFontSize = -1;
    r.nFixedPos = 7;
    r.nAngle = 400;
    std::optional<Watermark> mark = readWatermark(r, 2, {640, 480});
    ASSERT_TRUE(mark);
    EXPECT_EQ(mark->text, QStringLiteral("水印"));
    EXPECT_EQ(mark->fontFamily, QStringLiteral("宋体"));
    EXPECT_EQ(mark->fontPoints, 80);
    EXPECT_EQ(mark->place, 0);
    EXPECT_EQ(mark->angle, 90);
    EXPECT_FALSE(mark->withDate);

    r.nFontSize = 2'000'000'000;
    r.bFixedPos = 0;
    r.nPosX = -5;
    r.nPosY = 100'000;
    mark = readWatermark(r, 5, {640, 480});
    ASSERT_TRUE(mark);
    EXPECT_EQ(mark->fontPoints, Watermark::kMaxFontPoints);
    EXPECT_EQ(mark->position, QPoint(0, 480));
    EXPECT_TRUE(mark->withDate);
    EXPECT_FALSE(readWatermark(r, 3, {640, 480})) << "only types 2 and 5 exist";

    // Fields without a terminator are read no further than themselves and cut between
    // characters: 100 three-byte characters fill the text field, 33 fit the font field.
    QByteArray chinese;
    for (int i = 0; i < 100; ++i)
        chinese += "水";
    std::memcpy(r.szText, chinese.constData(), sizeof r.szText);
    std::memcpy(r.szFontName, chinese.constData(), sizeof r.szFontName);
    mark = readWatermark(r, 2, {});
    ASSERT_TRUE(mark);
    EXPECT_EQ(mark->text, QString(99, QChar(0x6C34)));
    EXPECT_EQ(mark->fontFamily, QString(33, QChar(0x6C34)));
}

TEST(WatermarkDrawTest, FixedPlacesKeepTheirMarginAndTheTurnedTextInside) {
    Watermark mark;
    mark.text = QStringLiteral("MARK");
    mark.fontPoints = 72; // 100 pixels at 100 DPI
    mark.color = QColor(255, 0, 0);
    const int margin = 12; // 2 % of 600

    mark.place = 2;
    const QRect bottomRight = markedArea(drawn(mark));
    ASSERT_FALSE(bottomRight.isEmpty());
    EXPECT_GT(bottomRight.height(), 50);
    EXPECT_LE(bottomRight.right(), 800 - margin);
    EXPECT_LE(bottomRight.bottom(), 600 - margin);
    EXPECT_GT(bottomRight.left(), 400);

    mark.place = 0;
    mark.angle = 90; // reads upwards along the left edge
    const QRect turned = markedArea(drawn(mark));
    EXPECT_GT(turned.height(), turned.width());
    EXPECT_GE(turned.left(), margin - 1);
    EXPECT_GE(turned.top(), margin - 1);

    // An anchor beyond the picture moves the mark in as far as needed, and no further; a date
    // line makes it taller.
    mark.angle = 0;
    mark.fontPoints = 24;
    mark.fixedPlace = false;
    const QRect oneLine = markedArea(drawn(mark, {800, 600}, 100, {790, 590}));
    EXPECT_GT(oneLine.right(), 785);
    EXPECT_GT(oneLine.bottom(), 570);
    mark.withDate = true;
    const QRect twoLines = markedArea(drawn(mark, {800, 600}, 100, {790, 590}));
    EXPECT_GT(twoLines.right(), 785);
    EXPECT_GT(twoLines.left(), 0);
    EXPECT_GT(twoLines.height(), oneLine.height() * 3 / 2);
}

TEST(WatermarkDrawTest, OpacityColourAndChineseGlyphs) {
    Watermark mark;
    mark.text = QStringLiteral("水");
    mark.fontFamily = QStringLiteral("宋体"); // no such family on Linux: the fallbacks draw it
    mark.fontPoints = 144;
    mark.color = QColor(0, 0, 255, 128);
    const QImage water = drawn(mark);
    // The most covered pixel is blue at half strength over white.
    int least = 255;
    QColor deepest;
    for (int y = 0; y < water.height(); ++y)
        for (int x = 0; x < water.width(); ++x)
            if (water.pixelColor(x, y).red() < least) {
                least = water.pixelColor(x, y).red();
                deepest = water.pixelColor(x, y);
            }
    EXPECT_NEAR(deepest.red(), 127, 4);
    EXPECT_NEAR(deepest.green(), 127, 4);
    EXPECT_EQ(deepest.blue(), 255);

    // A missing glyph is drawn as the same box for every character: two characters that
    // differ must give different pictures.
    mark.text = QStringLiteral("火");
    EXPECT_NE(drawn(mark), water);
    mark.text = QStringLiteral("\U000F0000"); // private use: no font has it
    const QImage box = drawn(mark);
    mark.text = QStringLiteral("\U000F0001");
    EXPECT_EQ(drawn(mark), box) << "the comparison above would not tell boxes apart";
}

} // namespace
