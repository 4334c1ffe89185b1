#include "AppFixture.h"

#include "CamCoreTesting.h"
#include "IdCardCommand.h"
#include "Settings.h"
#include "ThumbnailApi.h"
#include "ThumbnailLibrary.h"
#include "WorkFolder.h"
#include "ZoApi.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <cstdlib>
#include <utility>

namespace {

using namespace app_test;
using testing_support::readFile;

const QString kSampleCard =
    QStringLiteral(DOCSCANNER_SOURCE_DIR "/libs/camcore/samples/sample-card.txt");
// The log's first line, in the local encoding (UTF-8): 79 bytes.
const QByteArray kHeader = "姓名,性别,民族,出生,住址,号码,发证机关,有效期,操作日期,\r";

// A CSV text as a spreadsheet reads it: fields end at a comma outside quotes, "" inside quotes is
// one quote, and a record ends at a carriage return outside quotes. The log ends every line with
// a comma, so the empty field after it is dropped.
QList<QByteArrayList> parseCsv(const QByteArray& text) {
    QList<QByteArrayList> records;
    QByteArrayList fields;
    QByteArray field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
            field += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == ',' || c == '\r')) {
            fields.append(std::exchange(field, {}));
            if (c == '\r') {
                if (fields.last().isEmpty())
                    fields.removeLast();
                records.append(std::exchange(fields, {}));
            }
        } else {
            field += c;
        }
    }
    return records;
}

// The path a traced engine call answered last ("" when none).
QString lastAnswer(const QString& call) {
    const QStringList lines = traceLines();
    for (auto line = lines.crbegin(); line != lines.crend(); ++line)
        if (line->startsWith(call + "() -> \""))
            return line->section('"', 1, 1);
    return {};
}

bool isJpeg(const QString& path) {
    return QImageReader(path).format() == "jpeg";
}

class IdCardTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        placeCard(kSampleCard);
    }
    void TearDown() override {
        unsetenv("CAMCORE_VIRTUAL_IDCARD");
        camcore::testing::removeVirtualIDCard();
        AppTest::TearDown();
    }

    static void placeCard(const QString& path) {
        setenv("CAMCORE_VIRTUAL_IDCARD", QFile::encodeName(path).constData(), 1);
        ASSERT_TRUE(camcore::testing::placeVirtualIDCard());
    }

    // The strip's entries, with "*" after the checked ones.
    static QStringList entries(ThumbnailLibrary& strip) {
        const auto count = strip.entry<GetImgCountFn>("GetImgCount");
        const auto path = strip.entry<GetImageFilePathFn>("GetImageFilePath");
        const auto checked = strip.entry<IsCheckedFn>("IsChecked");
        QStringList list;
        for (int i = 0; count != nullptr && i < count(); ++i)
            list.append(QString::fromLocal8Bit(path(i)) + (checked(i) != 0 ? "*" : ""));
        return list;
    }
};

// The reader's button reads: the first reading makes the log with its header and the
// card's line, as it has always been written, and puts the photo and the card image, named by
// the time of the line, checked into the strip; the engine's files are gone. A second reading
// adds a line and two more pictures; without a card nothing happens.
TEST_F(IdCardTest, ReadButtonLogsTheCardAndAddsBothPicturesToTheStrip) {
    auto form = makeForm();
    auto* button = form->findChild<QPushButton*>(QStringLiteral("pushButtonReadIDCard"));
    EXPECT_FALSE(button->isHidden()) << "offered on the second tab while the reader is there";
    button->click();

    const QString logPath = papyraDir() + "/IDInfo.csv";
    const QByteArray log = readFile(logPath);
    ASSERT_TRUE(log.startsWith(kHeader));
    EXPECT_EQ(kHeader.size(), 79);
    const QRegularExpression line(QStringLiteral(
        "^张晓明,男,汉,1985年03月07日,示范市南山区学府路88号青石小区3栋201室,'012345198503070017',"
        "示范市公安局南山分局,2016.05.20-2036.05.20,'(\\d{4})-(\\d\\d)-(\\d\\d) "
        "(\\d\\d):(\\d\\d):(\\d\\d)',\r$"));
    const QRegularExpressionMatch match = line.match(QString::fromUtf8(log.mid(kHeader.size())));
    ASSERT_TRUE(match.hasMatch()) << log.toStdString();
    QString stamp;
    for (int part = 1; part <= 6; ++part)
        stamp += match.captured(part);
    const QString base = papyraDir() + '/' + stamp;
    EXPECT_EQ(entries(form->thumbnails()),
              QStringList({base + "_head.jpg*", base + "_idcard.jpg*"}));
    EXPECT_TRUE(isJpeg(base + "_head.jpg"));
    EXPECT_TRUE(isJpeg(base + "_idcard.jpg"));
    const QString engineHead = lastAnswer("ZoGetIDHeadImagePath");
    const QString engineCard = lastAnswer("ZoMakeIDCard");
    ASSERT_FALSE(engineHead.isEmpty());
    EXPECT_FALSE(QFile::exists(engineHead));
    EXPECT_FALSE(QFile::exists(engineCard));

    button->click();
    const QByteArray twice = readFile(logPath);
    EXPECT_EQ(twice.count(kHeader), 1);
    EXPECT_EQ(parseCsv(twice).size(), 3);
    const QStringList four = entries(form->thumbnails());
    EXPECT_EQ(four.size(), 4);
    EXPECT_EQ(QSet<QString>(four.begin(), four.end()).size(), 4);
    for (QString entry : four)
        EXPECT_TRUE(isJpeg(entry.remove('*'))) << entry.toStdString();

    camcore::testing::removeVirtualIDCard();
    button->click();
    EXPECT_EQ(readFile(logPath), twice);
    EXPECT_EQ(entries(form->thumbnails()).size(), 4);
    EXPECT_TRUE(messages().isEmpty());
}

// The ID recognition button photographs the card under the main camera as a capture does, named
// by the naming rule, and leaves the reader and the log alone.
TEST_F(IdCardTest, PhotographButtonCapturesTheCardWithoutTheReader) {
    auto form = makeForm();
    auto* button = form->findChild<QPushButton*>(QStringLiteral("pushButtonRecogID"));
    EXPECT_FALSE(button->isHidden()) << "always offered on the second tab";
    const int from = traceLines().size();
    button->click();
    ASSERT_TRUE(waitForCaptures(*form));
    EXPECT_EQ(entries(form->thumbnails()), QStringList{papyraDir() + "/Image00000.jpg*"});
    EXPECT_TRUE(isJpeg(papyraDir() + "/Image00000.jpg"));
    EXPECT_TRUE(callsSince(from).filter(QStringLiteral("ZoReadIDCard")).isEmpty());
    EXPECT_FALSE(QFile::exists(papyraDir() + "/IDInfo.csv"));
    EXPECT_TRUE(messages().isEmpty());
}

class IdCardCommandTest : public IdCardTest {
protected:
    void SetUp() override {
        IdCardTest::SetUp();
        m_settings.workPath = QFile::encodeName(m_dir.path());
        m_folder.init();
        ASSERT_TRUE(m_strip.load(QStringLiteral(DOCSCANNER_BIN_DIR "/libThumbnail.so")));
        m_strip.clearAllItem();
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    Settings m_settings;
    WorkFolder m_folder{m_settings, nullptr};
    ThumbnailLibrary m_strip;
    // Every reading of these tests falls in the same second.
    IdCardCommand m_command{m_folder, m_strip, [] {
                                return QDateTime(QDate(2026, 12, 7), QTime(10, 35, 1));
                            }};
};

// Three readings in one second keep six pictures apart; a comma, a quote or a line break stays
// inside its column, an empty field keeps its place and the number its leading zeros.
TEST_F(IdCardCommandTest, SameSecondReadingsKeepEveryPictureAndEveryColumn) {
    QFile card(path("card.txt"));
    ASSERT_TRUE(card.open(QIODevice::WriteOnly));
    card.write("name=欧\"阳\nsex=女\naddress=一路1号,二楼\nnumber=0012\nauthority=第一\\n第二\n"
               "photo=" +
               QFile::encodeName(QFileInfo(kSampleCard).dir().filePath("sample-card-photo.png")) +
               "\n");
    card.close();
    placeCard(card.fileName());

    for (int reading = 0; reading < 3; ++reading)
        m_command.read();

    const QByteArrayList fields{"欧\"阳",
                                "女",
                                "",
                                "",
                                "一路1号,二楼",
                                "'0012'",
                                "第一\n第二",
                                "",
                                "'2026-12-07 10:35:01'"};
    const QList<QByteArrayList> records = parseCsv(readFile(path("IDInfo.csv")));
    ASSERT_EQ(records.size(), 4);
    EXPECT_EQ(records[0].size(), 9);
    for (int n = 1; n < 4; ++n)
        EXPECT_EQ(records[n], fields);

    QStringList expected;
    for (const char* stamp : {"20261207103501", "20261207103501_2", "20261207103501_3"})
        for (const char* kind : {"_head.jpg", "_idcard.jpg"})
            expected.append(path(QString::fromLatin1(stamp) + kind) + '*');
    EXPECT_EQ(entries(m_strip), expected);
    for (QString entry : expected)
        EXPECT_TRUE(isJpeg(entry.remove('*'))) << entry.toStdString();
}

// A picture that cannot be copied (a folder in the way) gets no entry and the engine keeps its
// file; the other picture replaces an older file of its name, and the line is written.
TEST_F(IdCardCommandTest, AFailedCopyKeepsTheEnginesPictureAndAddsNoEntry) {
    ASSERT_TRUE(QDir().mkdir(path("20261207103501_head.jpg")));
    QFile older(path("20261207103501_idcard.jpg"));
    ASSERT_TRUE(older.open(QIODevice::WriteOnly));
    older.write("an older file of the same name");
    older.close();

    m_command.read();

    EXPECT_EQ(entries(m_strip), QStringList{path("20261207103501_idcard.jpg") + '*'});
    EXPECT_TRUE(isJpeg(path("20261207103501_idcard.jpg")));
    const QString engineHead = lastAnswer("ZoGetIDHeadImagePath");
    EXPECT_TRUE(isJpeg(engineHead)) << "the engine's photo is kept";
    EXPECT_FALSE(QFile::exists(lastAnswer("ZoMakeIDCard")));
    EXPECT_EQ(parseCsv(readFile(path("IDInfo.csv"))).size(), 2);
    QFile::remove(engineHead);
}

} // namespace
