#include "CamCoreTesting.h"
#include "EngineFixture.h"
#include "ZoApi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using camcore::testing::placeVirtualIDCard;
using camcore::testing::removeVirtualIDCard;

const QString kSampleCard =
    QStringLiteral(DOCSCANNER_SOURCE_DIR "/libs/camcore/samples/sample-card.txt");

// The eight texts in the order of the getters.
std::vector<std::string> cardTexts() {
    return {ZoGetIDName(),    ZoGetIDSex(), ZoGetIDNation(), ZoGetIDBirthFull(),
            ZoGetIDAddress(), ZoGetIDNum(), ZoGetIDDepart(), ZoGetIDTermDay()};
}

// Pixels of the picture within `tolerance` of the colour, in each channel.
int pixelsNear(const QImage& image, QColor colour, int tolerance = 24) {
    int count = 0;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) {
            const QColor c = rgb.pixelColor(x, y);
            count += std::abs(c.red() - colour.red()) <= tolerance &&
                     std::abs(c.green() - colour.green()) <= tolerance &&
                     std::abs(c.blue() - colour.blue()) <= tolerance;
        }
    return count;
}

QByteArray jpegFormat(const char* path) {
    return QImageReader(QString::fromLocal8Bit(path)).format();
}

class IdCardTest : public ::testing::Test {
protected:
    void SetUp() override { place(kSampleCard); }
    void TearDown() override {
        unsetenv("CAMCORE_VIRTUAL_IDCARD");
        removeVirtualIDCard();
    }

    static bool place(const QString& cardFile) {
        setenv("CAMCORE_VIRTUAL_IDCARD", QFile::encodeName(cardFile).constData(), 1);
        return placeVirtualIDCard();
    }

    // A card file in the temporary folder, with the sample's photo.
    QString writeCard(const QByteArray& lines) {
        const QString path = m_dir.filePath("card.txt");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const QString photo = QFileInfo(kSampleCard).dir().filePath("sample-card-photo.png");
        file.write(lines + "photo=" + QFile::encodeName(photo) + "\n");
        return path;
    }

    QTemporaryDir m_dir;
};

const QColor kSkin(232, 196, 170); // the sample photo's face

// The sample card: its texts in UTF-8, the photo as a JPEG of its own size, and a page with both
// sides at 300 dpi whose front holds the photo; every file has a name of its own in a private
// folder, and reading the card again reads the same card.
TEST_F(IdCardTest, ReadsTheSampleCardAndDrawsBothSidesOnOnePage) {
    ASSERT_TRUE(ZoReadIDCard());
    const std::vector<std::string> expected{"张晓明",
                                            "男",
                                            "汉",
                                            "1985年03月07日",
                                            "示范市南山区学府路88号青石小区3栋201室",
                                            "012345198503070017",
                                            "示范市公安局南山分局",
                                            "2016.05.20-2036.05.20"};
    EXPECT_EQ(cardTexts(), expected);

    const std::string head = ZoGetIDHeadImagePath();
    EXPECT_EQ(jpegFormat(head.c_str()), "jpeg");
    const QImage photo(QString::fromLocal8Bit(head.c_str()));
    EXPECT_EQ(photo.size(), QSize(102, 126));
    EXPECT_GT(pixelsNear(photo, kSkin), 500);
    EXPECT_EQ(QFileInfo(QFileInfo(QString::fromLocal8Bit(head.c_str())).path()).permissions() &
                  (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
              0);

    const std::string card = ZoMakeIDCard();
    const std::string again = ZoMakeIDCard();
    ASSERT_NE(card, "");
    EXPECT_NE(card, again);
    EXPECT_NE(card, head);
    EXPECT_EQ(jpegFormat(card.c_str()), "jpeg");
    const QImage page(QString::fromLocal8Bit(card.c_str()));
    EXPECT_NEAR(page.dotsPerMeterX() * 0.0254, 300, 1);
    // Two cards of 85.6 x 54 mm, one above the other, with margins.
    EXPECT_GT(page.width(), 1011);
    EXPECT_GT(page.height(), 2 * 638);
    const QImage front = page.copy(0, 0, page.width(), page.height() / 2);
    const QImage back = page.copy(0, page.height() / 2, page.width(), page.height() / 2);
    EXPECT_GT(pixelsNear(front, kSkin, 16), 500) << "the photo is on the front";
    EXPECT_EQ(pixelsNear(back, kSkin, 16), 0);
    EXPECT_GT(pixelsNear(front, Qt::black, 60), 2000) << "the fields are written";
    EXPECT_GT(pixelsNear(back, Qt::black, 60), 2000) << "authority and validity are written";

    EXPECT_TRUE(QFile::exists(QString::fromLocal8Bit(head.c_str())));
    EXPECT_TRUE(QFile::exists(QString::fromLocal8Bit(card.c_str())));
    ASSERT_TRUE(ZoReadIDCard());
    EXPECT_EQ(cardTexts(), expected);
    EXPECT_NE(ZoGetIDHeadImagePath(), head);
}

// Without a readable card nothing of an earlier card is left, and the trace says why; a card
// file is read when the card is placed, with escapes, fields left out, and clear refusals.
TEST_F(IdCardTest, CardsArePlacedAndRemovedAndBadCardFilesAreRefused) {
    ASSERT_TRUE(ZoReadIDCard());
    removeVirtualIDCard();
    EXPECT_FALSE(ZoReadIDCard());
    EXPECT_TRUE(engine_test::traceLines().last().endsWith("[no card on the reader]"));
    EXPECT_EQ(cardTexts(), std::vector<std::string>(8));
    EXPECT_STREQ(ZoGetIDHeadImagePath(), "");
    EXPECT_STREQ(ZoMakeIDCard(), "");

    ASSERT_TRUE(place(writeCard("# a comment\nname=李四\r\naddress=一路1号\\n二楼\\\\3\n"
                                "number=0001\n")));
    ASSERT_TRUE(ZoReadIDCard());
    EXPECT_EQ(cardTexts(),
              (std::vector<std::string>{"李四", "", "", "", "一路1号\n二楼\\3", "0001", "", ""}));

    const QString bad = writeCard("name=王五\nsurname=王\n");
    EXPECT_FALSE(place(bad));
    EXPECT_FALSE(ZoReadIDCard());
    EXPECT_TRUE(engine_test::traceLines().last().endsWith("[line 2 is not a known key=value]"));
    EXPECT_EQ(cardTexts(), std::vector<std::string>(8));

    QFile photoless(m_dir.filePath("photoless.txt"));
    ASSERT_TRUE(photoless.open(QIODevice::WriteOnly));
    photoless.write("name=王五\nphoto=missing.png\n");
    photoless.close();
    EXPECT_FALSE(place(photoless.fileName()));
    EXPECT_FALSE(ZoReadIDCard());

    unsetenv("CAMCORE_VIRTUAL_IDCARD");
    EXPECT_FALSE(placeVirtualIDCard());
    EXPECT_FALSE(ZoReadIDCard());
}

} // namespace
