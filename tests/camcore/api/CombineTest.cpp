#include "EngineFixture.h"
#include "ZoApi.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kDotsPerMeter300 = 11811;

// Pictures are compared by pixels, so the sources are lossless.
class CombineTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.path() + "/" + name; }
    QByteArray local(const QString& name) const { return QFile::encodeName(path(name)); }
    void solid(const QString& name, QSize size, QColor colour) const {
        QImage image(size, QImage::Format_RGB888);
        image.fill(colour);
        image.setDotsPerMeterX(kDotsPerMeter300);
        image.setDotsPerMeterY(kDotsPerMeter300);
        ASSERT_TRUE(image.save(path(name)));
    }
    static bool near(QColor pixel, QColor colour) {
        return std::abs(pixel.red() - colour.red()) < 40 &&
               std::abs(pixel.green() - colour.green()) < 40 &&
               std::abs(pixel.blue() - colour.blue()) < 40;
    }
    // The smallest rectangle holding every pixel of `colour`.
    static QRect bounds(const QImage& image, QColor colour) {
        QRect found;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (near(image.pixelColor(x, y), colour))
                    found |= QRect(x, y, 1, 1);
        return found;
    }
    static int count(const QImage& image, QColor colour) {
        int found = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                found += near(image.pixelColor(x, y), colour) ? 1 : 0;
        return found;
    }

    QTemporaryDir dir{QDir::tempPath() + "/mix;dir-XXXXXX"}; // a ";" inside every path
};

TEST_F(CombineTest, MixStacksOrJoinsSideBySideCentredOnWhite) {
    solid("front.png", {40, 30}, Qt::red);
    solid("back.png", {20, 10}, Qt::blue);
    const QByteArray list = local("front.png") + ";" + local("back.png") + ";";

    struct Case {
        int a, b, c, d;
        QSize size;
        QRect back;
    };
    for (const Case& layout : {Case{1, 2, 0, 0, {40, 40}, {10, 30, 20, 10}},
                               Case{0, 1, 2, 0, {60, 30}, {40, 10, 20, 10}}}) {
        const QByteArray out = local(QString("mixed%1.png").arg(layout.a));
        ASSERT_EQ(ZoImagesMix(list, layout.a, layout.b, layout.c, layout.d, out), 1);
        const QImage mixed(QFile::decodeName(out));
        EXPECT_EQ(mixed.size(), layout.size);
        EXPECT_EQ(bounds(mixed, Qt::red), QRect(0, 0, 40, 30));
        EXPECT_EQ(bounds(mixed, Qt::blue), layout.back);
        EXPECT_EQ(count(mixed, Qt::white), layout.size.width() * layout.size.height() - 1400);
        EXPECT_EQ(mixed.dotsPerMeterX(), kDotsPerMeter300);
    }

    // A PDF the engine wrote is a source like any picture.
    ASSERT_EQ(ZoImagesMix(list, 1, 2, 0, 0, local("mixed.pdf")), 1);
    EXPECT_EQ(ZoGetImageWidth(local("mixed.pdf")), 40);
    EXPECT_EQ(ZoGetImageHeight(local("mixed.pdf")), 40);
    ASSERT_EQ(ZoImagesMix(local("mixed.pdf") + ";" + local("back.png") + ";", 0, 1, 2, 0,
                          local("again.png")),
              1);
    const QImage again(path("again.png"));
    EXPECT_EQ(again.size(), QSize(60, 40));
    // The PDF holds a JPEG: its colours are near, not exact, so its middle pixels are read.
    EXPECT_EQ(again.size(), QSize(60, 40));
    const std::pair<QPoint, QColor> samples[] = {
        {{20, 15}, Qt::red}, {{20, 35}, Qt::blue}, {{50, 20}, Qt::blue}, {{5, 35}, Qt::white}};
    for (const auto& [at, colour] : samples)
        EXPECT_TRUE(near(again.pixelColor(at), colour)) << at.x() << "," << at.y();

    // Nothing is written from a missing source or an unknown layout.
    EXPECT_EQ(ZoImagesMix(local("front.png") + ";" + local("none.png") + ";", 1, 2, 0, 0,
                          local("bad1.png")),
              0);
    EXPECT_EQ(ZoImagesMix(list, 2, 1, 0, 0, local("bad2.png")), 0);
    EXPECT_FALSE(QFile::exists(path("bad1.png")) || QFile::exists(path("bad2.png")));
}

TEST_F(CombineTest, InsetLandsAtTheNegatedDistancesFramedAndClipped) {
    solid("main.png", {200, 100}, Qt::white);
    solid("sub.png", {50, 40}, Qt::green);
    const QByteArray main = local("main.png");
    const QByteArray sub = local("sub.png");

    // 10 px from the left edge, its bottom 5 px above the bottom edge.
    ASSERT_EQ(ZoCombineMainSubEn(main, sub, local("inset.png"), 30, 20, -10, -5), 1);
    const QImage inset(path("inset.png"));
    EXPECT_EQ(inset.size(), QSize(200, 100));
    EXPECT_EQ(bounds(inset, Qt::black), QRect(10, 75, 30, 20)); // the frame
    EXPECT_EQ(bounds(inset, Qt::green), QRect(11, 76, 28, 18)); // inside it
    EXPECT_EQ(bounds(inset, Qt::white), QRect(0, 0, 200, 100)); // everywhere else

    // Reaching past the right and bottom edges: cut off there, the picture keeps its size.
    ASSERT_EQ(ZoCombineMainSubEn(main, sub, local("edge.png"), 30, 20, -185, 10), 1);
    const QImage edge(path("edge.png"));
    EXPECT_EQ(edge.size(), QSize(200, 100));
    EXPECT_EQ(bounds(edge, Qt::green), QRect(186, 91, 14, 9));

    EXPECT_EQ(ZoCombineMainSubEn(main, sub, local("flat.png"), 0, 20, 0, 0), 0);
    EXPECT_EQ(ZoCombineMainSubEn(main, sub, local("flat.png"), 30, -1, 0, 0), 0);
    EXPECT_FALSE(QFile::exists(path("flat.png")));
}

// Queued on a camera's jobs, the same compositions are written behind the caller, in the order
// asked for, each told with its file; a source that cannot be read is told by its reason.
TEST_F(CombineTest, QueuedCompositionsWriteTheSamePicturesOrSayWhyNot) {
    ZoInit();
    solid("main.png", {200, 100}, Qt::white);
    solid("sub.png", {50, 40}, Qt::green);
    const QByteArray main = local("main.png");
    const QByteArray sub = local("sub.png");
    const QByteArray list = main + ";" + sub + ";";
    QList<QPair<int, QString>> ends; // reason, files
    const ZoCaptureCallback record = [](const ZoCaptureResult* result, void* user) {
        static_cast<QList<QPair<int, QString>>*>(user)->append(
            {result->reason, QString::fromLocal8Bit(result->files)});
    };
    ASSERT_GT(ZoImagesMixQueued(1, list, 1, 2, 0, 0, local("mixed.png"), record, &ends), 0);
    ASSERT_GT(
        ZoCombineMainSubQueued(1, main, sub, local("inset.png"), 30, 20, -10, -5, record, &ends),
        0);
    ASSERT_GT(ZoImagesMixQueued(1, local("gone.png") + ";", 1, 2, 0, 0, local("never.png"), record,
                                &ends),
              0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ends.size() == 3; }, 30000));

    EXPECT_EQ(ends[0], qMakePair(int(ZO_CAPTURE_OK), path("mixed.png") + "\n"));
    EXPECT_EQ(ends[1], qMakePair(int(ZO_CAPTURE_OK), path("inset.png") + "\n"));
    EXPECT_EQ(ends[2], qMakePair(int(ZO_CAPTURE_PICTURE_DAMAGED), QString()));
    EXPECT_FALSE(QFile::exists(path("never.png")));
    ASSERT_EQ(ZoImagesMix(list, 1, 2, 0, 0, local("mixedNow.png")), 1);
    ASSERT_EQ(ZoCombineMainSubEn(main, sub, local("insetNow.png"), 30, 20, -10, -5), 1);
    EXPECT_EQ(QImage(path("mixed.png")), QImage(path("mixedNow.png")));
    EXPECT_EQ(QImage(path("inset.png")), QImage(path("insetNow.png")));
}

} // namespace
