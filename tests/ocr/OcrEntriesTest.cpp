// The library as the program and the PDF writer call it: through its C entries, on small clean
// pictures rendered here, so the suite also runs under the sanitizers.
#include "PageCorpus.h"
#include "QuilOcr.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

struct Picture {
    QString file;
    QString truth;
    std::vector<QRect> lines; // the bounds of each line's ink, in the file's pixels
};

// Dark lines on light paper, `width` pixels wide, text `em` pixels high.
Picture render(const QString& file, int width, int em, const QStringList& lines,
               const QString& family) {
    QFont font;
    font.setFamilies({family, "WenQuanYi Zen Hei"});
    font.setPixelSize(em);
    const int pitch = em * 2;
    QImage image(width, pitch * int(lines.size() + 1), QImage::Format_RGB32);
    image.fill(QColor(240, 238, 232));
    Picture picture{file, lines.join("\n"), {}};
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(QColor(30, 30, 30));
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(QPoint(width / 12, pitch * (i + 1)), lines[i]);
    painter.end();
    // Each line's ink, found in the band halfway to the lines around it: the font's metrics
    // do not cover the glyphs of the fallback font.
    for (int i = 0; i < lines.size(); ++i) {
        QRect ink;
        for (int y = pitch * i + pitch / 2; y < pitch * (i + 1) + pitch / 2; ++y)
            for (int x = 0; x < width; ++x)
                if (qGray(image.pixel(x, y)) < 128)
                    ink |= QRect(x, y, 1, 1);
        picture.lines.push_back(ink);
    }
    EXPECT_TRUE(image.save(file));
    return picture;
}

QString readText(const QString& file) {
    return QString::fromUtf8(fnQuilOCREx(QFile::encodeName(file).constData(), 50, 0, 0.6f, 0.3f,
                                         3.0f, 2.0f, false, false));
}

QString withoutSpaces(QString text) {
    return text.remove(QRegularExpression("\\s"));
}

class OcrEntries : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(fnInit(4, DOCSCANNER_BIN_DIR "/"), 1); }

    QTemporaryDir dir;
    const QStringList english = {"The quick brown fox jumps over", "the lazy dog near the river."};
    const QStringList chinese = {"文件扫描完成后系统会自动保存", "请将资料平放在底板中央"};
};

int threadCount() {
    return int(std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                             std::filesystem::directory_iterator()));
}

} // namespace

TEST_F(OcrEntries, UnreadableFilesGiveEmptyResults) {
    QFile text(dir.filePath("notes.jpg"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture\n");
    text.close();
    QFile empty(dir.filePath("empty.png"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    // A JPEG cut off after its first kilobyte.
    const Picture page = render(dir.filePath("page.jpg"), 800, 30, english, "DejaVu Sans");
    QFile whole(page.file);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    QFile cut(dir.filePath("cut.jpg"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(whole.read(1024));
    cut.close();

    for (const QString& file : {dir.filePath("missing.jpg"), text.fileName(), empty.fileName(),
                                cut.fileName(), dir.path()}) {
        const QByteArray path = QFile::encodeName(file);
        const char* result =
            fnQuilOCREx(path.constData(), 50, 0, 0.6f, 0.3f, 3.0f, 2.0f, false, false);
        ASSERT_NE(result, nullptr) << path.constData();
        EXPECT_STREQ(result, "") << path.constData();
        const QuilOcrWord* words = reinterpret_cast<const QuilOcrWord*>(&words);
        EXPECT_EQ(fnQuilOCRWords(path.constData(), 0, &words), 0) << path.constData();
        EXPECT_EQ(words, nullptr) << path.constData();
        EXPECT_EQ(fnQuilOCROrientation(path.constData()), -1) << path.constData();
        int scripts = -1;
        EXPECT_EQ(fnQuilOCROrientationScripts(path.constData(), &scripts), -1);
        EXPECT_EQ(scripts, QUILOCR_ALL_SCRIPTS) << path.constData();
        EXPECT_EQ(fnQuilOCRWordsIn(path.constData(), 0, QUILOCR_LATIN_ONLY, &words), 0);
    }
    EXPECT_STREQ(fnQuilOCREx(nullptr, 50, 0, 0.6f, 0.3f, 3.0f, 2.0f, false, false), "");
    EXPECT_EQ(fnQuilOCRWords(nullptr, 0, nullptr), 0);
    EXPECT_EQ(fnQuilOCROrientation(nullptr), -1);
    EXPECT_EQ(fnQuilOCROrientationScripts(nullptr, nullptr), -1);
}

// A page lying sideways or upside down gets the clockwise turn that makes it upright, in either
// script; a page without text gets none.
TEST_F(OcrEntries, OrientationIsTheTurnThatMakesThePageUpright) {
    const QStringList prose = {"Orientation is judged from the shapes of letters,",
                               "so the page needs a few lines of ordinary text,",
                               "like this paragraph about scanning books and",
                               "letters under a camera on a desk in an office."};
    const struct {
        QStringList lines;
        const char* family;
    } pages[] = {{prose, "DejaVu Sans"}, {prose + chinese + chinese, "DejaVu Serif"}};
    for (const auto& [lines, family] : pages) {
        const Picture page = render(dir.filePath("upright.png"), 1400, 36, lines, family);
        const QImage upright(page.file);
        for (int turned : {0, 90, 180, 270}) {
            const QString file = dir.filePath(QString("turned%1.png").arg(turned));
            ASSERT_TRUE(upright.transformed(QTransform().rotate(turned)).save(file));
            EXPECT_EQ(fnQuilOCROrientation(QFile::encodeName(file).constData()),
                      (360 - turned) % 360)
                << family << " turned " << turned;
        }
    }
    QImage blank(1200, 900, QImage::Format_RGB32);
    blank.fill(Qt::white);
    ASSERT_TRUE(blank.save(dir.filePath("blank.png")));
    EXPECT_EQ(fnQuilOCROrientation(QFile::encodeName(dir.filePath("blank.png")).constData()), -1);
}

TEST_F(OcrEntries, EachCallReplacesTheText) {
    const Picture first = render(dir.filePath("en.jpg"), 900, 28, english, "DejaVu Serif");
    const Picture second = render(dir.filePath("zh.jpg"), 900, 32, chinese, "WenQuanYi Zen Hei");

    const QString firstText = readText(first.file);
    EXPECT_GE(ocrcorpus::accuracy(firstText, first.truth), 0.95) << firstText.toStdString();
    const QString secondText = readText(second.file);
    EXPECT_GE(ocrcorpus::accuracy(secondText, second.truth), 0.9) << secondText.toStdString();
    EXPECT_FALSE(secondText.contains(' ')) << "Chinese is written without spaces";
    EXPECT_EQ(readText(dir.filePath("missing.jpg")), "");
}

TEST_F(OcrEntries, WordsLieOnTheirLinesAndMakeUpTheText) {
    // Read larger than the file (1000 wide, up to 1600) and smaller (3000 wide, as 1200).
    for (const auto& [width, maxWidth] : {std::pair{1000, 0}, {3000, 1200}}) {
        SCOPED_TRACE(width);
        const QStringList lines = {english[0], chinese[0], english[1]};
        const Picture picture = render(dir.filePath(QString("words%1.png").arg(width)), width,
                                       width / 30, lines, "DejaVu Sans");
        const QImage image(picture.file);

        const QuilOcrWord* words = nullptr;
        const int count =
            fnQuilOCRWords(QFile::encodeName(picture.file).constData(), maxWidth, &words);
        ASSERT_GT(count, 5);
        ASSERT_NE(words, nullptr);
        QStringList joined(lines.size());
        for (int i = 0; i < count; ++i) {
            const QuilOcrWord& word = words[i];
            const QRect box(word.left, word.top, word.width, word.height);
            EXPECT_TRUE(image.rect().contains(box)) << word.text;
            ASSERT_GE(word.line, 0);
            ASSERT_LT(word.line, lines.size()) << word.text;
            // A word sits on the ink of its own line. Tesseract's boxes for some Chinese
            // characters reach a third of a line below the ink, so the centre is what is checked.
            const QRect& ink = picture.lines[std::size_t(word.line)];
            EXPECT_TRUE(ink.contains(box.center())) << word.text << " on line " << word.line;
            EXPECT_LT(box.height(), 2 * ink.height()) << word.text;
            EXPECT_GE(word.confidence, 0.0f);
            EXPECT_LE(word.confidence, 100.0f);
            joined[word.line] += QString::fromUtf8(word.text);
        }
        EXPECT_GE(ocrcorpus::accuracy(joined.join("\n"), picture.truth), 0.9);
        if (maxWidth == 0 || width <= maxWidth) {
            EXPECT_EQ(withoutSpaces(joined.join("")), withoutSpaces(readText(picture.file)));
        }
    }
}

// ctest runs each test in a process of its own, so this is the process's first recognition.
TEST_F(OcrEntries, RecognitionStartsNoThreads) {
    const Picture page = render(dir.filePath("threads.png"), 900, 28, english, "DejaVu Sans");
    const int before = threadCount();
    EXPECT_FALSE(readText(page.file).isEmpty());
    EXPECT_EQ(threadCount(), before);
}
