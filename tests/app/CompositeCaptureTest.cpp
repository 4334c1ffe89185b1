#include "AppFixture.h"

#include "ZoApi.h"

#include "CamCoreTesting.h"
#include "ThumbnailApi.h"
#include "support/TestEnvironment.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest/QTest>

namespace {

using namespace app_test;

// The prompt in the Chinese and in the English window.
const QString kPrompt =
    QStringLiteral("第一张或身份证正面已拍照, 请翻面或更换文档后点击确认拍照第二张");
const QString kPromptEnglish =
    QStringLiteral("The first side is taken. Turn the page or the card over, or lay the next "
                   "document, then press OK to take the second side.");

// The merge box and its prompt, and the main-sub mix, driven through the window's controls.
class CompositeCaptureTest : public AppTest {
protected:
    void start(const QByteArray& settings = {}) {
        if (!settings.isEmpty())
            writeSettings("[Zo twain driver param]\n" + settings);
        form = makeForm();
    }
    void TearDown() override {
        form.reset();
        AppTest::TearDown();
    }
    template <typename T> T* widget(const char* name) {
        return form->findChild<T*>(QString::fromLatin1(name));
    }
    void click(const char* name) { widget<QAbstractButton>(name)->click(); }
    void press() {
        click("pushButtonScan");
        ASSERT_TRUE(waitForCaptures(*form));
    }

    // The strip's entries by name, each marked when it is not checked.
    QStringList strip() {
        ThumbnailLibrary& library = form->thumbnails();
        const auto count = library.entry<GetImgCountFn>("GetImgCount");
        const auto path = library.entry<GetImageFilePathFn>("GetImageFilePath");
        const auto checked = library.entry<IsCheckedFn>("IsChecked");
        QStringList entries;
        for (int i = 0; count != nullptr && i < count(); ++i)
            entries.append(QFileInfo(QString::fromLocal8Bit(path(i))).fileName() +
                           (checked(i) != 0 ? "" : " (unchecked)"));
        return entries;
    }
    static QStringList pictures() {
        return QDir(papyraDir()).entryList({"*.jpg", "*.pdf"}, QDir::Files, QDir::Name);
    }
    static QSize sizeOf(const QString& name) {
        return QImageReader(papyraDir() + '/' + name).size();
    }
    int prompts() const {
        int count = 0;
        for (const auto& [title, text] : messages())
            count += text == (form->language() == 0 ? kPrompt : kPromptEnglish) ? 1 : 0;
        return count;
    }

    std::unique_ptr<MainForm> form;
};

TEST_F(CompositeCaptureTest, MergeTakesTwoShotsAndListsOnlyTheResult) {
    start();
    EXPECT_FALSE(widget<QAbstractButton>("radioButtonV")->isEnabled());
    click("checkBoxMix");
    EXPECT_TRUE(widget<QAbstractButton>("radioButtonV")->isEnabled());
    EXPECT_TRUE(widget<QAbstractButton>("radioButtonH")->isEnabled());
    const int from = traceLines().size();
    press(); // the prompt is answered at once; the second shot follows it

    EXPECT_EQ(pictures(), QStringList({"Image00000.jpg", "Image00001.jpg", "Image00002.jpg"}));
    EXPECT_EQ(strip(), QStringList({"Image00002.jpg"}));
    EXPECT_EQ(widget<QLineEdit>("lineEditFileNameInit")->text(), "3");
    EXPECT_EQ(prompts(), 1);
    const QSize shot = sizeOf("Image00000.jpg");
    EXPECT_EQ(sizeOf("Image00002.jpg"), QSize(shot.width(), shot.height() * 2));
    EXPECT_EQ(callsSince(from).filter(QRegularExpression("^ZoImagesMixQueued\\(")).size(), 1);

    // Side by side, and unchecking between merges starts again from a first shot.
    click("radioButtonH");
    click("checkBoxMix");
    EXPECT_FALSE(widget<QAbstractButton>("radioButtonH")->isEnabled());
    click("checkBoxMix");
    press();
    EXPECT_EQ(prompts(), 2);
    EXPECT_EQ(sizeOf("Image00005.jpg"), QSize(shot.width() * 2, shot.height()));
    EXPECT_EQ(strip(), QStringList({"Image00002.jpg", "Image00005.jpg"}));
}

TEST_F(CompositeCaptureTest, MergeNeverWritesTwoShotsToOnePath) {
    start();
    widget<QComboBox>("comboBoxNameRule")->setCurrentIndex(3);
    widget<QLineEdit>("lineEditFileName")->setText("doc");
    click("checkBoxMix");
    press();
    EXPECT_EQ(pictures(), QStringList({"doc.jpg", "doc_2.jpg", "doc_3.jpg"}));
    EXPECT_EQ(strip(), QStringList({"doc_3.jpg"}));
    const QSize shot = sizeOf("doc.jpg");
    EXPECT_EQ(sizeOf("doc_3.jpg"), QSize(shot.width(), shot.height() * 2));
}

TEST_F(CompositeCaptureTest, MergeAddsOnePageToTheCollectedDocument) {
    start();
    widget<QComboBox>("comboBoxFmt")->setCurrentIndex(2);
    press();
    press();
    const QString document = papyraDir() + "/Image00000.pdf";
    ASSERT_EQ(testing_support::pdfPageCount(document), 2);
    const QByteArray before = testing_support::readFile(document);

    click("checkBoxMix");
    press();
    EXPECT_EQ(testing_support::pdfPageCount(document), 3);
    EXPECT_EQ(pictures(), QStringList({"Image00000.pdf"})) << "the shots are no files of the user";
    EXPECT_EQ(strip(), QStringList({"Image00000.pdf"}));
    // Pages are appended as updates: the first two pages' bytes stay where they were.
    EXPECT_TRUE(testing_support::readFile(document).startsWith(before));
}

// The picture-in-picture press lists every file it made: both shots unchecked, the result
// checked, so only the result is handed on. An entry the user unchecked stays unchecked when its
// document grows, and no other entry changes.
TEST_F(CompositeCaptureTest, InsetListsItsShotsUncheckedAndAGrowingDocumentKeepsTheUsersCheck) {
    start("OpenSub=1\n");
    ASSERT_TRUE(widget<QAbstractButton>("checkBoxPIP")->isChecked());
    click("checkBoxInVideo");
    press();
    EXPECT_EQ(pictures(), QStringList({"Image00000.jpg", "Image00001.jpg", "Image00002.jpg"}));
    EXPECT_EQ(strip(), QStringList({"Image00000.jpg (unchecked)", "Image00001.jpg (unchecked)",
                                    "Image00002.jpg"}));
    EXPECT_EQ(sizeOf("Image00002.jpg"), sizeOf("Image00000.jpg"));

    click("checkBoxInVideo");
    click("checkBoxPIP");
    widget<QComboBox>("comboBoxFmt")->setCurrentIndex(2);
    press();
    const int document = strip().size() - 1;
    ASSERT_EQ(strip().value(document), "Image00003.pdf");
    form->thumbnails().setItemChecked(document, 0);
    press();
    EXPECT_EQ(strip(), QStringList({"Image00000.jpg (unchecked)", "Image00001.jpg (unchecked)",
                                    "Image00002.jpg", "Image00003.pdf (unchecked)"}));
}

TEST_F(CompositeCaptureTest, MainSubMixWithoutASubPictureSaysSoAndListsNothing) {
    start("OpenSub=1\n");
    click("checkBoxMainSub");
    ASSERT_TRUE(widget<QAbstractButton>("checkBoxPIP")->isChecked());
    ASSERT_TRUE(camcore::testing::unplugVirtualCamera(1));
    // The engine hears of the unplug from the camera's thread; a scratch capture tells when.
    const QByteArray scratch = QFile::encodeName(tempRoot() + "/scratch.jpg");
    ASSERT_TRUE(QTest::qWaitFor([&] { return ZoCapture(1, scratch.constData()) == 0; }));
    press();
    EXPECT_TRUE(strip().isEmpty());
    EXPECT_TRUE(pictures().isEmpty());
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().front().second.contains("Image00000.jpg"));
}

} // namespace
