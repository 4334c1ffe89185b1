#include "AppFixture.h"

#include "CamCoreTesting.h"
#include "LanguageSource.h"
#include "OcrPicture.h"
#include "QOCRResultDlg.h"
#include "ThumbnailApi.h"
#include "ZoApi.h"
#include "platform/Paths.h"
#include "support/QtMessages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTextEdit>
#include <QTimer>
#include <QtTest/QTest>

namespace {

using namespace app_test;

// Words of the virtual camera's page, in lines of several sizes.
const QStringList kPageWords = {"Document", "Scanning", "sample", "sheet",  "camera",
                                "quick",    "brown",    "jumps",  "liquor", "Notes"};

// What a program prints for the file; empty when it fails.
QString printed(const QString& program, const QStringList& arguments) {
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        return {};
    return QString::fromUtf8(tool.readAllStandardOutput());
}

// How a word processor's HTML export writes `text`: other than ASCII as numeric entities.
QString asHtml(const QString& text) {
    QString html;
    for (const QChar c : text)
        html += c.unicode() < 0x80 ? QString(c) : QStringLiteral("&#%1;").arg(c.unicode());
    return html;
}

// A page of its own that the camera's page does not contain.
void writeOldPage(const QString& path) {
    QImage page(1000, 300, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 48));
    painter.drawText(page.rect(), Qt::AlignCenter, QStringLiteral("OLD STALE PICTURE"));
    painter.end();
    ASSERT_TRUE(page.save(path));
}

class OcrTest : public AppTest {
protected:
    // The result window is brought to the front; the offscreen platform has no stacking order.
    testing_support::ExpectQtWarning m_noRaise{QStringLiteral("does not support raise()")};

    void start() {
        m_form = makeForm();
        m_dialog = m_form->findChild<QOCRResultDlg*>();
        ASSERT_NE(m_dialog, nullptr);
        m_text = m_dialog->findChild<QTextEdit*>(QStringLiteral("textEdit"));
        ASSERT_NE(m_text, nullptr);
    }

    // The window goes while messages are still recorded: its shutdown may report.
    void TearDown() override {
        m_form.reset();
        AppTest::TearDown();
    }

    void press() { m_form->findChild<QPushButton*>(QStringLiteral("pushButtonOCR"))->click(); }

    // The busy cursor lasts until the text is shown.
    bool waitForResult() {
        return QTest::qWaitFor([] { return QGuiApplication::overrideCursor() == nullptr; }, 60000);
    }

    int pageWordsShown() const {
        int found = 0;
        for (const QString& word : kPageWords)
            found += m_text->toPlainText().contains(word) ? 1 : 0;
        return found;
    }

    static QStringList ocrCaptures(int fromLine) {
        return callsSince(fromLine).filter(QRegularExpression("^ZoCapture(Queued)?\\(.*11\\.jpg"));
    }

    std::unique_ptr<MainForm> m_form;
    QOCRResultDlg* m_dialog = nullptr;
    QTextEdit* m_text = nullptr;
};

// The width is brought to exactly 1200 with the aspect kept; a picture no wider is not touched.
TEST_F(OcrTest, PicturesWiderThan1200AreScaledToItAndOthersLeftAlone) {
    const QString dir = tempRoot() + "/reduce/";
    ASSERT_TRUE(QDir().mkpath(dir));
    const struct {
        QSize taken, read;
    } cases[] = {{{2592, 1944}, {1200, 900}},
                 {{1201, 901}, {1200, 900}},
                 {{1200, 900}, {1200, 900}},
                 {{1024, 768}, {1024, 768}}};
    for (const auto& [taken, read] : cases) {
        const QString path = dir + QString::number(taken.width()) + ".jpg";
        QImage picture(taken, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        ASSERT_TRUE(picture.save(path));
        const QByteArray before = testing_support::readFile(path);

        ocr::limitWidth(path);
        QImageReader reader(path);
        EXPECT_EQ(reader.size(), read) << taken.width();
        EXPECT_EQ(reader.format(), "jpeg") << taken.width();
        if (taken == read) {
            EXPECT_EQ(testing_support::readFile(path), before) << taken.width();
        }
    }
}

// The picture goes to the program's private folder; an "11.jpg" someone left in the shared
// temporary folder is neither overwritten nor read. A second press while the first is being
// read is refused, and a later one replaces what the user typed into the window.
TEST_F(OcrTest, APressShowsThePageTextAndTheNextPressReplacesIt) {
    const QString shared = QDir::tempPath() + "/11.jpg";
    writeOldPage(shared);
    const QByteArray planted = testing_support::readFile(shared);
    start();
    // The page lies askew under the camera, as pages do: the library straightens it itself.
    const int from = traceLines().size();

    press();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
    press();
    ASSERT_TRUE(waitForResult());
    EXPECT_TRUE(m_dialog->isVisible());
    EXPECT_GE(pageWordsShown(), 5) << m_text->toPlainText().toStdString();
    EXPECT_FALSE(m_text->toPlainText().contains("STALE"));
    const QStringList captures = ocrCaptures(from);
    ASSERT_EQ(captures.size(), 1) << "the press during the recognition is refused";
    EXPECT_TRUE(captures[0].contains(platform::privateTempDir() + "11.jpg"))
        << captures[0].toStdString();

    m_text->setPlainText(QStringLiteral("corrected by the user"));
    press();
    ASSERT_TRUE(waitForResult());
    EXPECT_FALSE(m_text->toPlainText().contains("corrected"));
    EXPECT_GE(pageWordsShown(), 5);
    EXPECT_EQ(testing_support::readFile(shared), planted);
}

// A capture that fails is never answered with an older picture's text.
TEST_F(OcrTest, AFailedCaptureSaysNothingWasTakenInsteadOfReadingAnOlderPicture) {
    start();
    writeOldPage(platform::privateTempDir() + "11.jpg");
    writeOldPage(QDir::tempPath() + "/11.jpg");
    camcore::testing::unplugVirtualCamera(0);
    // The engine hears of the unplug from the camera's thread; a scratch capture tells when.
    const QByteArray scratch = QFile::encodeName(tempRoot() + "/scratch.jpg");
    ASSERT_TRUE(QTest::qWaitFor([&] { return ZoCapture(0, scratch.constData()) == 0; }));

    press();
    ASSERT_TRUE(waitForResult());
    EXPECT_TRUE(m_dialog->isVisible());
    EXPECT_EQ(m_text->toPlainText(), "No picture could be taken; there is nothing to recognise. "
                                     "The camera is disconnected.");
}

// Recognised text is never taken for markup: every character the library read is shown.
// Without a private folder for its picture (the temporary folder takes no new folder) nothing
// goes to a shared place: the press is refused and the user is told why.
TEST_F(OcrTest, WithoutAPrivateFolderThePressIsRefusedAndSaysWhy) {
    // A file where the temporary folder should be: no folder can be made in it, whoever runs this.
    const QString blocked = tempRoot() + "/not-a-folder";
    QFile file(blocked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QByteArray temp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(blocked));
    const auto restore = qScopeGuard([&temp] { qputenv("TMPDIR", temp); });
    const testing_support::ExpectQtWarning noFolder(QStringLiteral("no private temporary folder"));
    if (!platform::privateTempDir().isEmpty())
        GTEST_SKIP() << "this process made its private folder before the test";

    start();
    const int from = traceLines().size();
    press();
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].second.contains(QStringLiteral("private folder")));
    EXPECT_TRUE(ocrCaptures(from).isEmpty());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(m_dialog->isVisible());
}

TEST_F(OcrTest, TextThatLooksLikeMarkupIsShownAsItWasRead) {
    Settings settings;
    const LanguageSource language(settings);
    QOCRResultDlg dialog(language);
    const QString read = QStringLiteral("a<b and c>d\n<p>x &amp; y</p>");
    dialog.setOCRResult(read);
    EXPECT_EQ(dialog.findChild<QTextEdit*>(QStringLiteral("textEdit"))->toPlainText(), read);
}

// What OCR read is kept as the user corrected it, in each format the settings dialog offers,
// named by the naming rule in the work folder and listed in the strip unchecked. Each file reads
// back in the program a user would open it with: a word processor's reader for Word, a zip
// reader for the workbook (one line a row), a PDF text extractor for the page, whose words are
// the ones read on the picture (the user's edits go to the text formats only).
TEST_F(OcrTest, SaveKeepsTheShownTextInTheFormatChosenInTheSettings) {
    start();
    press();
    ASSERT_TRUE(waitForResult());
    const QString added = QStringLiteral("校对过的 line");
    m_text->setPlainText(m_text->toPlainText() + '\n' + added);
    const QString shown = m_text->toPlainText();

    auto* save = m_dialog->findChild<QPushButton*>(QStringLiteral("pushButtonSave"));
    auto* line = m_dialog->findChild<QLabel*>(QStringLiteral("labelSaved"));
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->text(), "Save");
    const struct {
        int choice;
        const char* name;
    } formats[] = {{3, "Image00000.txt"},
                   {0, "Image00001.rtf"},
                   {1, "Image00002.xlsx"},
                   {2, "Image00003.pdf"}};
    for (const auto& [choice, name] : formats) {
        QAction* settings = m_form->findChild<QPushButton*>("btnMenu")->menu()->actions().at(1);
        QTimer::singleShot(0, [choice] {
            auto* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            dialog->findChild<QComboBox*>("comboBoxOCRRes")->setCurrentIndex(choice);
            dialog->close();
        });
        settings->trigger();

        const QString path = papyraDir() + '/' + name;
        save->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return line->toolTip().contains(path); }, 60000))
            << name << ": " << line->toolTip().toStdString();
        EXPECT_TRUE(save->isEnabled());
        const QString file = QString::fromLatin1(name);
        if (file.endsWith(".txt"))
            EXPECT_EQ(testing_support::readFile(path), shown.toUtf8());
        else if (file.endsWith(".rtf"))
            EXPECT_TRUE(printed("unrtf", {"--html", path}).contains(asHtml(added))) << name;
        else if (file.endsWith(".xlsx"))
            EXPECT_TRUE(printed("unzip", {"-p", path, "xl/sharedStrings.xml"}).contains(added));
        else {
            const QString text = printed("pdftotext", {path, "-"});
            int found = 0;
            for (const QString& word : kPageWords)
                found += text.contains(word) ? 1 : 0;
            EXPECT_GE(found, 5) << text.toStdString();
            EXPECT_FALSE(text.contains(added));
        }

        ThumbnailLibrary& strip = m_form->thumbnails();
        const int count = strip.entry<GetImgCountFn>("GetImgCount")();
        ASSERT_GT(count, 0);
        EXPECT_EQ(
            QString::fromLocal8Bit(strip.entry<GetImageFilePathFn>("GetImageFilePath")(count - 1)),
            path);
        EXPECT_EQ(strip.entry<IsCheckedFn>("IsChecked")(count - 1), 0) << name;
    }
}

} // namespace
