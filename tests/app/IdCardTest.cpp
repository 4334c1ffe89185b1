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

#include <csignal>
#include <cstdlib>
#include <sys/resource.h>
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
    IdCardCommand m_command{m_folder, m_strip, [] { return 1; },
                            [] {
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

// No reading replaces a picture: names of the same second left by an earlier run are passed
// over. Without a usable work folder the card is not read and nothing is written at the top of
// the file system. A work folder that takes no files loses no picture: the engine keeps both, and
// the user is told where they are.
TEST_F(IdCardCommandTest, NoPictureIsReplacedOrLostAndTheUserHearsWhereTheyAre) {
    QFile older(path("20261207103501_head.jpg"));
    ASSERT_TRUE(older.open(QIODevice::WriteOnly));
    older.write("a picture of an earlier run");
    older.close();
    IdCardCommand afterRestart{m_folder, m_strip, [] { return 1; },
                               [] {
                                   return QDateTime(QDate(2026, 12, 7), QTime(10, 35, 1));
                               }};
    afterRestart.read();
    EXPECT_EQ(entries(m_strip), QStringList({path("20261207103501_2_head.jpg*"),
                                             path("20261207103501_2_idcard.jpg*")}));
    EXPECT_EQ(readFile(path("20261207103501_head.jpg")), "a picture of an earlier run");
    EXPECT_TRUE(messages().isEmpty());

    Settings noFolderSettings;
    WorkFolder noFolder{noFolderSettings, nullptr}; // never made
    const int before = traceLines().size();
    IdCardCommand{noFolder, m_strip,
                  [] {
                      return 1;
                  }}
        .read();
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].second.contains(QStringLiteral("work folder")));
    EXPECT_TRUE(callsSince(before).filter(QStringLiteral("ZoReadIDCard")).isEmpty());
    EXPECT_FALSE(QFile::exists(QStringLiteral("/IDInfo.csv")));

    // A folder of the kernel's: it is there, and no file can be made in it, whoever runs this.
    Settings readOnlySettings;
    readOnlySettings.workPath = "/proc/self";
    WorkFolder readOnly{readOnlySettings, nullptr};
    readOnly.init();
    ASSERT_TRUE(readOnly.usable());
    IdCardCommand{readOnly, m_strip,
                  [] {
                      return 0;
                  }}
        .read();
    EXPECT_EQ(entries(m_strip).size(), 2) << "no entry for a picture that is not there";
    ASSERT_EQ(messages().size(), 2);
    const QString said = messages()[1].second;
    EXPECT_TRUE(said.contains(QStringLiteral("工作目录"))) << "said in the window's language";
    for (const QString& engineFile :
         {lastAnswer("ZoGetIDHeadImagePath"), lastAnswer("ZoMakeIDCard")}) {
        ASSERT_FALSE(engineFile.isEmpty());
        EXPECT_TRUE(said.contains(engineFile)) << said.toStdString();
        EXPECT_TRUE(isJpeg(engineFile)) << "the engine's picture is kept";
        QFile::remove(engineFile);
    }
}

// A record the disk took only part of is taken back: the next record starts on a line of its
// own. A card text a spreadsheet would run as a formula is kept as text.
TEST_F(IdCardCommandTest, ALogWriteCutShortIsTakenBackAndNoFieldRunsAsAFormula) {
    QFile card(path("card.txt"));
    ASSERT_TRUE(card.open(QIODevice::WriteOnly));
    card.write("name==HYPERLINK(\"x\")\nsex=+1\nnation=-2\naddress=@SUM(A1)\nnumber=0012\n"
               "authority=\tx\nphoto=" +
               QFile::encodeName(QFileInfo(kSampleCard).dir().filePath("sample-card-photo.png")) +
               "\n");
    card.close();
    placeCard(card.fileName());

    // A log longer than the pictures the engine and the copies write, so that a size limit just
    // past its end cuts only the log's next record.
    QFile log(path("IDInfo.csv"));
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    log.write(kHeader + "filler," + QByteArray(4 << 20, 'x') + ",\r");
    log.close();
    const qint64 full = QFileInfo(log).size();
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = old;
    tight.rlim_cur = static_cast<rlim_t>(full + 10);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    m_command.read();
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old), 0);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_EQ(QFileInfo(log).size(), full) << "the part written is taken back";

    m_command.read();
    const QList<QByteArrayList> records = parseCsv(readFile(path("IDInfo.csv")));
    ASSERT_EQ(records.size(), 3);
    EXPECT_EQ(records[2], QByteArrayList({"'=HYPERLINK(\"x\")", "'+1", "'-2", "", "'@SUM(A1)",
                                          "'0012'", "'\tx", "", "'2026-12-07 10:35:01'"}));
}

} // namespace
