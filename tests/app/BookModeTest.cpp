// Book mode end to end: a scripted book on the virtual camera (CAMCORE_VIRTUAL_SOURCE), its
// leaves turned one after another through the engine's page watch, into the dialog and the
// engine's capture, and the searchable PDF read back with pdftotext. CI turns 3 spreads;
// CAMCORE_QUALITY_FULL=1 turns 32.
#include "CamCoreTesting.h"
#include "CameraFixture.h"

#include "QMultiCapDialog.h"
#include "ThumbnailApi.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest/QTest>

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <random>
#include <vector>

namespace {

using namespace app_test;

int spreads() {
    return qEnvironmentVariableIntValue("CAMCORE_QUALITY_FULL") == 1 ? 32 : 3;
}

// The folder the virtual camera shows, named before the engine first reads its environment;
// the pictures are drawn once the application exists to draw them.
const QString bookDir = [] {
    const QString dir = tempRoot() + "/book";
    QDir().mkpath(dir);
    setenv("CAMCORE_VIRTUAL_SOURCE", QFile::encodeName(dir).constData(), 1);
    return dir;
}();

constexpr int kWidth = 3264;
constexpr int kHeight = 2448;

const char* const kProse[] = {
    "The river bends twice before the mill, and the path follows it",
    "through the reeds where the herons wait for the evening light.",
    "Nobody remembers who built the bridge, only that it was there",
    "when the first houses went up along the northern bank of it.",
    "In winter the water freezes at the edges and the children slide",
    "on the ice until their mothers call them home for supper again.",
};

// A page number as words ("sixty four"): OCR reads words more surely than a lone "11".
QString numberWords(int n) {
    static const char* const ones[] = {"zero",    "one",     "two",       "three",    "four",
                                       "five",    "six",     "seven",     "eight",    "nine",
                                       "ten",     "eleven",  "twelve",    "thirteen", "fourteen",
                                       "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
    static const char* const tens[] = {"",      "",      "twenty",  "thirty", "forty",
                                       "fifty", "sixty", "seventy", "eighty", "ninety"};
    if (n < 20)
        return QString::fromLatin1(ones[n]);
    QString words = QString::fromLatin1(tens[n / 10]);
    if (n % 10 != 0)
        words += ' ' + QString::fromLatin1(ones[n % 10]);
    return words;
}

// One page of the book: its number as a heading, then paragraphs of prose whose lengths and
// last lines differ from page to page, as a printed book's do.
void drawPage(QPainter& painter, const QRect& area, int number) {
    QFont heading(QStringLiteral("DejaVu Sans"));
    heading.setPixelSize(110);
    heading.setLetterSpacing(QFont::AbsoluteSpacing, 4); // no ligatures: "fi" stays two letters
    painter.setFont(heading);
    painter.setPen(QColor(25, 25, 25));
    const QRect text = area.adjusted(130, 150, -130, -150);
    painter.drawText(text.topLeft() + QPoint(0, 100), "Page " + numberWords(number));
    QFont body(QStringLiteral("DejaVu Serif"));
    body.setPixelSize(40);
    painter.setFont(body);
    std::mt19937 layout(static_cast<unsigned>(number));
    std::uniform_int_distribution<int> paragraph(1, 6);
    int y = text.top() + 260;
    for (int line = 0; y < text.bottom();) {
        for (int left = paragraph(layout); left > 0 && y < text.bottom(); --left, ++line, y += 64) {
            QString prose = QString::fromLatin1(kProse[(line + number) % 6]);
            if (left == 1) // a paragraph's last line ends early
                prose.truncate(prose.indexOf(' ', 8 + static_cast<int>(layout() % 40)));
            painter.drawText(QPoint(text.left(), y), prose);
        }
        y += 64;
    }
}

// A spread filling the view: two pages either side of the spine's shadow, lit a little unevenly.
QImage spread(int left) {
    QImage picture(kWidth, kHeight, QImage::Format_RGB32);
    picture.fill(QColor(236, 232, 222));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    drawPage(painter, QRect(0, 0, kWidth / 2, kHeight), left);
    drawPage(painter, QRect(kWidth / 2, 0, kWidth / 2, kHeight), left + 1);
    QLinearGradient spine(kWidth / 2 - 90, 0, kWidth / 2 + 90, 0);
    spine.setColorAt(0, QColor(0, 0, 0, 0));
    spine.setColorAt(0.5, QColor(0, 0, 0, 150));
    spine.setColorAt(1, QColor(0, 0, 0, 0));
    painter.fillRect(QRect(kWidth / 2 - 90, 0, 180, kHeight), spine);
    return picture;
}

// The same spread with an arm reaching in from below and a hand resting on the left page.
QImage withHand(QImage picture) {
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(150, 112, 95));
    painter.drawRect(QRect(700, 1500, 420, kHeight - 1500));
    painter.drawEllipse(QRect(620, 1200, 580, 460));
    return picture;
}

// The pictures in the order the leaves show them: the closed book's cover, then `count` spreads;
// after the second, a hand rests on it, and the same spread shows again once it has gone.
void writeBook(int count = spreads()) {
    QDir(bookDir).removeRecursively();
    QDir().mkpath(bookDir);
    int index = 0;
    const auto save = [&index](const QImage& picture) {
        ASSERT_TRUE(
            picture.save(QStringLiteral("%1/%2.png").arg(bookDir).arg(index++, 3, 10, QChar('0'))));
    };
    QImage cover(kWidth, kHeight, QImage::Format_RGB32);
    cover.fill(QColor(60, 50, 45));
    QPainter(&cover).fillRect(QRect(kWidth / 2 + 40, 60, kWidth / 2 - 100, kHeight - 120),
                              QColor(120, 30, 35));
    save(cover);
    for (int s = 0; s < count; ++s) {
        const QImage pages = spread(2 * s + 1);
        save(pages);
        if (s == 1) {
            save(withHand(pages));
            save(pages);
        }
    }
}

int editDistance(const QString& a, const QString& b) {
    std::vector<int> row(static_cast<std::size_t>(b.size()) + 1);
    std::iota(row.begin(), row.end(), 0);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[static_cast<std::size_t>(j)];
            row[static_cast<std::size_t>(j)] =
                std::min({above + 1, row[static_cast<std::size_t>(j - 1)] + 1,
                          diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row.back();
}

// The page of `count` whose heading is nearest to what the OCR read ("elghteen" is eighteen,
// "fortyone" forty one), or 0 when no heading is near enough.
int pageNamed(const QString& read, int count) {
    int best = 0;
    int bestDistance = 3; // three letters wrong is no page's heading: "?" is not "one"
    for (int page = 1; page <= count; ++page)
        if (const int distance = editDistance(read, numberWords(page).remove(' '));
            distance < bestDistance) {
            best = page;
            bestDistance = distance;
        }
    return best;
}

// The headings of the PDF's text layer, one list entry per page: the letters after "Page",
// lower case and without spaces ("?" where none was read).
QStringList pageNumbers(const QString& pdf) {
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!tool.waitForFinished(60000))
        return {};
    QStringList numbers;
    const QString text = QString::fromUtf8(tool.readAllStandardOutput());
    QStringList pages = text.split(QChar('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    static const QRegularExpression heading(QStringLiteral("Page(.*)$"),
                                            QRegularExpression::MultilineOption |
                                                QRegularExpression::CaseInsensitiveOption);
    for (const QString& page : pages) {
        const QRegularExpressionMatch found = heading.match(page);
        QString letters = found.hasMatch() ? found.captured(1).toLower() : QString();
        letters.remove(QRegularExpression(QStringLiteral("[^a-z]")));
        numbers.append(letters.isEmpty() ? QStringLiteral("?") : letters);
    }
    return numbers;
}

class BookModeTest : public CameraTest {
protected:
    void TearDown() override {
        form.reset();
        CameraTest::TearDown();
    }
    QLabel* label() const { return dialog->findChild<QLabel*>(QStringLiteral("labelCapCount")); }
    void press() const {
        dialog->findChild<QAbstractButton*>(QStringLiteral("pushButtonStart"))->click();
    }
    // The strip's entries as the user sees them: each path, marked when it is not checked.
    QStringList strip() const {
        ThumbnailLibrary& library = form->thumbnails();
        const auto count = library.entry<GetImgCountFn>("GetImgCount");
        const auto path = library.entry<GetImageFilePathFn>("GetImageFilePath");
        const auto checked = library.entry<IsCheckedFn>("IsChecked");
        QStringList entries;
        for (int i = 0; count != nullptr && i < count(); ++i)
            entries.append(QString::fromLocal8Bit(path(i)) +
                           (checked(i) != 0 ? "" : " (unchecked)"));
        return entries;
    }
    static QStringList books() {
        return QDir(papyraDir()).entryList({QStringLiteral("Book_*.pdf")}, QDir::Files);
    }
    // Lets the camera show `frames` more frames.
    static bool waitFrames(int frames) {
        const std::uint64_t until = camcore::testing::frameCounts(0).frames + frames;
        return QTest::qWaitFor([&] { return camcore::testing::frameCounts(0).frames > until; },
                               30000);
    }
    // The window on the virtual camera's book, and its multi-capture dialog in book mode.
    void openBookDialog() {
        form = makeFormWith(1, "DevIndex=0\nResolution=0\nMultiCapMode=2\n");
        ASSERT_TRUE(waitForVideo(*form));
        button(*form, "pushButtonAutoScan")->click();
        dialog = form->findChild<QMultiCapDialog*>();
        ASSERT_NE(dialog, nullptr);
    }
    QAbstractButton* dialogButton(const char* name) const {
        return dialog->findChild<QAbstractButton*>(QLatin1String(name));
    }
    QListWidget* pictures() const {
        return dialog->findChild<QListWidget*>(QStringLiteral("listWidgetBookPages"));
    }
    // The book's only file, with the page each of its pages was read as (0 for none of 1..count).
    static std::vector<int> pagesOfTheBook(int count) {
        if (books().size() != 1)
            return {};
        std::vector<int> found;
        for (const QString& heading : pageNumbers(papyraDir() + "/" + books().first()))
            found.push_back(pageNamed(heading, count));
        return found;
    }
    bool turnTo(int pages) {
        return camcore::testing::turnVirtualPage(0) &&
               QTest::qWaitFor(
                   [&] {
                       return label()->text() == QStringLiteral("%1 pages in the book").arg(pages);
                   },
                   60000);
    }

    std::unique_ptr<MainForm> form;
    QMultiCapDialog* dialog = nullptr;
};

// Every page of the book is in the PDF once, in reading order, read from its own text; the cover
// it lay closed at, a hand resting on a spread and the same spread shown again add nothing. The
// run's stop leaves a whole document, listed once in the strip, and the window's own capture
// switches are back on the camera.
TEST_F(BookModeTest, EveryPageOfTheBookIsInThePdfOnceAndInOrder) {
    writeBook();
    ASSERT_NO_FATAL_FAILURE(openBookDialog());
    ASSERT_TRUE(dialogButton("radioButtonBook")->isChecked());

    const int started = traceLines().size();
    press();
    // The page lying there when the run starts is taken once still, but a closed book's cover
    // has no print: it is no page.
    ASSERT_TRUE(waitFrames(45));
    EXPECT_FALSE(label()->text().endsWith("in the book")) << label()->text().toStdString();
    for (int s = 1; s <= spreads(); ++s) {
        ASSERT_TRUE(turnTo(2 * s)) << "spread " << s << ": " << label()->text().toStdString();
        if (s == 2) {
            for (int again = 0; again < 2; ++again) {
                ASSERT_TRUE(camcore::testing::turnVirtualPage(0));
                ASSERT_TRUE(waitFrames(45));
                EXPECT_EQ(label()->text(), QStringLiteral("4 pages in the book"));
            }
        }
    }
    const int from = traceLines().size();
    press(); // returns at once: the run is finished behind the window
    ASSERT_TRUE(waitForCaptures(*form));
    const int pages = 2 * spreads();
    EXPECT_EQ(label()->text(),
              QStringLiteral("%1 pages in the book, photography completed").arg(pages));
    EXPECT_TRUE(callsSince(from).contains("ZoEnableSplitCap(0, false)"));

    ASSERT_EQ(books().size(), 1);
    EXPECT_EQ(strip().join('\n').toStdString(), (papyraDir() + "/" + books().first()).toStdString())
        << "one entry for the book";
    EXPECT_TRUE(callsSince(started).filter("ZoImage.jpg").isEmpty())
        << "its picture is a page of the book, not a second capture";
    const QStringList headings = pageNumbers(papyraDir() + "/" + books().first());
    std::vector<int> found;
    for (const QString& heading : headings)
        found.push_back(pageNamed(heading, pages));
    std::vector<int> expected(static_cast<std::size_t>(pages));
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(found, expected) << headings.join(", ").toStdString();
    EXPECT_TRUE(
        QDir(papyraDir()).entryList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden).isEmpty())
        << "no working file is left beside the book";
}

// The pages added show in the dialog as small pictures in order. The last spread comes out of the
// book while the run goes on, and laid down again it is taken again; at the end of the run too.
// The book keeps its other pages in order, with their text, and the pictures stay after the run.
TEST_F(BookModeTest, TheLastSpreadComesOutAndLaidDownAgainIsTakenAgain) {
    writeBook(3);
    ASSERT_NO_FATAL_FAILURE(openBookDialog());
    QListWidget* pictures = this->pictures();
    QAbstractButton* remove = dialogButton("pushButtonRemoveSpread");
    ASSERT_TRUE(pictures != nullptr && remove != nullptr);
    EXPECT_FALSE(pictures->isHidden());
    EXPECT_EQ(remove->text(), QStringLiteral("Remove last spread"));
    const auto removeAndWaitFor = [&](int pages) {
        remove->click();
        return QTest::qWaitFor(
            [&] { return label()->text() == QStringLiteral("%1 pages in the book").arg(pages); },
            60000);
    };

    press();
    ASSERT_TRUE(turnTo(2));
    EXPECT_FALSE(remove->isEnabled()) << "the first spread made the book's file";
    ASSERT_TRUE(turnTo(4));
    EXPECT_EQ(pictures->count(), 4);
    ASSERT_TRUE(remove->isEnabled());
    ASSERT_TRUE(removeAndWaitFor(2));
    EXPECT_EQ(pictures->count(), 2);
    ASSERT_TRUE(camcore::testing::turnVirtualPage(0)); // a hand over the spread, then gone
    ASSERT_TRUE(waitFrames(30));
    ASSERT_TRUE(turnTo(4)) << "the spread laid down again is new to the book";
    ASSERT_TRUE(turnTo(6));
    ASSERT_TRUE(removeAndWaitFor(4));
    press();
    ASSERT_TRUE(waitForCaptures(*form));
    EXPECT_EQ(label()->text(), QStringLiteral("4 pages in the book, photography completed"));
    EXPECT_EQ(pictures->count(), 4);
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_EQ(pagesOfTheBook(6), std::vector<int>({1, 2, 3, 4}));
    form->onChinese();
    EXPECT_EQ(remove->text(), QStringLiteral("删除上一页"));
}

// A re-take takes the spread lying there again, the book's first too, and it replaces the last
// one: at the start, in the middle and at the end of a run the book keeps each page once, in
// order, with its text, and the strip one entry for it.
TEST_F(BookModeTest, ARetakeReplacesTheLastSpreadWithTheOneLyingThere) {
    writeBook(3);
    ASSERT_NO_FATAL_FAILURE(openBookDialog());
    QListWidget* pictures = this->pictures();
    QAbstractButton* retake = dialogButton("pushButtonRetakeSpread");
    ASSERT_TRUE(pictures != nullptr && retake != nullptr);
    EXPECT_EQ(retake->text(), QStringLiteral("Re-take"));
    const int started = traceLines().size();
    const auto retakeAndWaitFor = [&](int pages) {
        EXPECT_TRUE(retake->isEnabled());
        retake->click();
        EXPECT_FALSE(retake->isEnabled()) << "one re-take at a time";
        return QTest::qWaitFor(
            [&] {
                return retake->isEnabled() && pictures->count() == pages &&
                       label()->text() == QStringLiteral("%1 pages in the book").arg(pages);
            },
            60000);
    };

    press();
    ASSERT_TRUE(turnTo(2));
    ASSERT_TRUE(retakeAndWaitFor(2));
    ASSERT_TRUE(turnTo(4));
    ASSERT_TRUE(retakeAndWaitFor(4));
    ASSERT_TRUE(camcore::testing::turnVirtualPage(0)); // a hand over the spread, then gone
    ASSERT_TRUE(camcore::testing::turnVirtualPage(0));
    ASSERT_TRUE(waitFrames(45));
    EXPECT_EQ(label()->text(), QStringLiteral("4 pages in the book")) << "taken once already";
    ASSERT_TRUE(turnTo(6));
    ASSERT_TRUE(retakeAndWaitFor(6));
    press();
    ASSERT_TRUE(waitForCaptures(*form));
    EXPECT_EQ(label()->text(), QStringLiteral("6 pages in the book, photography completed"));
    EXPECT_EQ(callsSince(started).filter("ZoRemoveLastPdfPagesQueued done").size(), 3);
    ASSERT_EQ(books().size(), 1);
    EXPECT_EQ(strip(), QStringList{papyraDir() + "/" + books().first()});
    EXPECT_EQ(pagesOfTheBook(6), std::vector<int>({1, 2, 3, 4, 5, 6}));
    form->onChinese();
    EXPECT_EQ(retake->text(), QStringLiteral("重拍"));
}

// A run stopped while the book lies closed leaves no file and no entry in the strip: its cover is
// no page, though the page lying there when a run starts is taken. Without a work folder a run
// does not start, and says why.
TEST_F(BookModeTest, ARunWithoutPagesLeavesNoFileAndNoFolderStartsNone) {
    writeBook(0); // the cover only, whichever picture the camera has come to
    form = makeFormWith(1, "DevIndex=0\nMultiCapMode=2\n");
    ASSERT_TRUE(waitForVideo(*form));
    button(*form, "pushButtonAutoScan")->click();
    dialog = form->findChild<QMultiCapDialog*>();
    press();
    ASSERT_TRUE(waitFrames(20));
    press();
    EXPECT_EQ(label()->text(), QStringLiteral("0 pages in the book, photography completed"));
    EXPECT_TRUE(books().isEmpty());
    EXPECT_TRUE(strip().isEmpty()) << strip().join(", ").toStdString();
    form->onChinese();
    EXPECT_EQ(label()->text(), QStringLiteral("书本已有 0 页, 拍照结束"));

    ASSERT_TRUE(QDir(papyraDir()).removeRecursively());
    press();
    const auto* start = dialog->findChild<QAbstractButton*>(QStringLiteral("pushButtonStart"));
    EXPECT_EQ(start->text(), QStringLiteral("启动"));
    ASSERT_EQ(messages().size(), 1);
    EXPECT_EQ(messages()[0],
              qMakePair(QStringLiteral("提示"), QStringLiteral("工作目录无法使用, 图像未保存!")));
    EXPECT_FALSE(QFileInfo::exists(papyraDir()));
}

} // namespace
