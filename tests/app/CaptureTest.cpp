#include "AppFixture.h"

#include "CamCoreTesting.h"

#include "QSetFolderDlg.h"
#include "ThumbnailApi.h"
#include "ZoApi.h"
#include "platform/Paths.h"
#include "support/QtMessages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QtTest/QTest>

namespace {

using namespace app_test;

// The strip as the user sees it: each entry's path and whether it is checked.
struct Entry {
    QString path;
    bool checked;
    bool operator==(const Entry&) const = default;
};

class CaptureTest : public AppTest {
protected:
    std::unique_ptr<MainForm> start(const QByteArray& settings = {}) {
        if (!settings.isEmpty())
            writeSettings("[Zo twain driver param]\n" + settings);
        auto form = makeForm();
        m_form = form.get();
        return form;
    }

    template <typename T> T* widget(const char* name) {
        return m_form->findChild<T*>(QString::fromLatin1(name));
    }

    // A press, and the wait for its picture to be written and listed.
    void press(const char* button = "pushButtonScan") {
        widget<QPushButton>(button)->click();
        ASSERT_TRUE(waitForCaptures(*m_form));
    }

    void enter(const char* field, const QString& text) {
        auto* edit = widget<QLineEdit>(field);
        edit->setText(text);
        emit edit->editingFinished();
    }

    QList<Entry> strip() {
        ThumbnailLibrary& library = m_form->thumbnails();
        const auto count = library.entry<GetImgCountFn>("GetImgCount");
        const auto path = library.entry<GetImageFilePathFn>("GetImageFilePath");
        const auto checked = library.entry<IsCheckedFn>("IsChecked");
        QList<Entry> entries;
        for (int i = 0; count != nullptr && i < count(); ++i)
            entries.append({QString::fromLocal8Bit(path(i)), checked(i) != 0});
        return entries;
    }

    static QList<Entry> checkedEntries(const QStringList& names) {
        QList<Entry> entries;
        for (const QString& name : names)
            entries.append({papyraDir() + '/' + name, true});
        return entries;
    }

    // The pictures in the work folder, by name.
    static QStringList pictures() {
        return QDir(papyraDir())
            .entryList({"*.jpg", "*.pdf", "*.tif", "*.png"}, QDir::Files | QDir::Hidden,
                       QDir::Name);
    }

    static QStringList captures(int fromLine) {
        return callsSince(fromLine).filter(QRegularExpression("^ZoCapture(Queued)?\\("));
    }

    MainForm* m_form = nullptr;
};

TEST_F(CaptureTest, EachPressSavesTheNextAutomaticNameAndAddsOneCheckedEntry) {
    auto form = start();
    press();
    press();
    press();
    const QStringList names = {"Image00000.jpg", "Image00001.jpg", "Image00002.jpg"};
    EXPECT_EQ(pictures(), names);
    EXPECT_EQ(strip(), checkedEntries(names));
    EXPECT_EQ(widget<QLineEdit>("lineEditFileNameInit")->text(), "3");
    EXPECT_TRUE(messages().isEmpty());
    form.reset();
    EXPECT_EQ(settingsValue("FileNameCount"), "3");
}

// Presses come faster than pictures are written: names, files and strip entries keep the order of
// the presses, and a close waits for every page still being written.
TEST_F(CaptureTest, QueuedPressesKeepTheirOrderAndACloseKeepsEveryPage) {
    auto form = start("Language=1\n");
    for (int i = 0; i < 3; ++i)
        widget<QPushButton>("pushButtonScan")->click();
    ASSERT_TRUE(waitForCaptures(*m_form));
    const QStringList names = {"Image00000.jpg", "Image00001.jpg", "Image00002.jpg"};
    EXPECT_EQ(pictures(), names);
    EXPECT_EQ(strip(), checkedEntries(names));

    widget<QComboBox>("comboBoxFmt")->setCurrentIndex(2); // multi-page PDF
    for (int i = 0; i < 10; ++i)
        widget<QPushButton>("pushButtonScan")->click();
    const bool behind = m_form->PagesBehind() > 0;
    m_form->close();
    if (behind) {
        const auto* notice = widget<QLabel>("labelSavingPages");
        ASSERT_NE(notice, nullptr);
        EXPECT_TRUE(notice->text().startsWith("Saving")) << notice->text().toStdString();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_form->isVisible(); }, 60000));
    EXPECT_EQ(testing_support::pdfPageCount(papyraDir() + "/Image00003.pdf"), 10);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(CaptureTest, CounterFieldsShapeTheAutomaticNames) {
    auto form = start();
    enter("lineEditFileNameStep", "10");
    enter("lineEditFileNameInit", "5");
    press();
    press();
    press();
    EXPECT_EQ(pictures(), QStringList({"Image00005.jpg", "Image00015.jpg", "Image00025.jpg"}));

    enter("lineEditFileNameInit", "-3");
    press();
    EXPECT_TRUE(QFile::exists(papyraDir() + "/Image-0003.jpg"));

    enter("lineEditFileNameCount", "2");
    enter("lineEditFileNameInit", "123");
    enter("lineEditFileName", "Page");
    press();
    EXPECT_TRUE(QFile::exists(papyraDir() + "/Page123.jpg"));
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(CaptureTest, BadFieldEntriesAreRefusedAndTheStoredValueComesBack) {
    auto form = start("FileNameNum=6\nFileNameStep=4\nFileNameCount=9\nLanguage=0\n");
    const struct {
        const char* field;
        const char* entry;
        const char* restored;
        const char* message;
    } cases[] = {
        {"lineEditFileNameCount", "0", "6", "请输入[1-20]之间的数字!"},
        {"lineEditFileNameCount", "21", "6", "请输入[1-20]之间的数字!"},
        {"lineEditFileNameStep", "0", "4", "请输入[1-100]之间的数字!"},
        {"lineEditFileNameStep", "101", "4", "请输入[1-100]之间的数字!"},
        {"lineEditFileNameInit", "abc", "9", "请输入整数!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        const qsizetype before = messages().size();
        enter(c.field, QString::fromLatin1(c.entry));
        EXPECT_EQ(widget<QLineEdit>(c.field)->text(), c.restored);
        ASSERT_EQ(messages().size(), before + 1);
        EXPECT_EQ(messages().last(),
                  qMakePair(QStringLiteral("提示"), QString::fromUtf8(c.message)));
    }
    press();
    EXPECT_EQ(pictures(), QStringList({"Image000009.jpg"}));
    EXPECT_EQ(widget<QLineEdit>("lineEditFileNameInit")->text(), "13");
}

TEST_F(CaptureTest, MultiPagePdfAddsEveryPageToTheSameFile) {
    auto form = start();
    const int from = traceLines().size();
    widget<QComboBox>("comboBoxFmt")->setCurrentIndex(2);
    press();
    press();
    const QString path = papyraDir() + "/Image00000.pdf";
    // One capture a page: the strip's picture is the job's own page, not a second capture.
    const QString queued = QString("ZoCaptureQueued(0, \"%1\", ptr, ptr)").arg(path);
    EXPECT_EQ(captures(from), QStringList({queued, queued}));
    EXPECT_TRUE(callsSince(from).contains("ZoSetPDFMode(0, 0)"));
    EXPECT_EQ(strip(), checkedEntries({"Image00000.pdf"})) << "one entry for the document";
    EXPECT_EQ(widget<QLineEdit>("lineEditFileNameInit")->text(), "0");

    EXPECT_EQ(testing_support::pdfPageCount(path), 2);
}

// The searchable entries save PDFs as their plain twins do, with the page's text under the
// picture; choosing a plain PDF again turns the text off.
TEST_F(CaptureTest, SearchablePdfPagesCarryThePageTextInBothModes) {
    auto form = start();
    auto* formats = widget<QComboBox>("comboBoxFmt");
    const int from = traceLines().size();
    formats->setCurrentIndex(7);
    EXPECT_EQ(formats->currentText(), "Searchable single page PDF");
    press();
    formats->setCurrentIndex(8);
    press();
    press();
    formats->setCurrentIndex(1);
    EXPECT_EQ(
        callsSince(from).filter("ZoSetPdfText"),
        QStringList({"ZoSetPdfText(0, true)", "ZoSetPdfText(0, true)", "ZoSetPdfText(0, false)"}));
    EXPECT_EQ(pictures(), QStringList({"Image00000.pdf", "Image00001.pdf"}));

    const struct {
        QString file;
        int page;
    } pages[] = {{"Image00000.pdf", 1}, {"Image00001.pdf", 1}, {"Image00001.pdf", 2}};
    for (const auto& [file, page] : pages) {
        const QString text = testing_support::pdfPageText(papyraDir() + "/" + file, page);
        for (const char* word : {"Document", "Scanning", "sample"})
            EXPECT_TRUE(text.contains(word)) << file.toStdString() << page << text.toStdString();
    }
    EXPECT_EQ(testing_support::pdfPageCount(papyraDir() + "/Image00001.pdf"), 2);
}

// A document collected in one run is finished when the run ends or the format changes: no later
// capture names it again, so its pages are never lost to a new first page.
TEST_F(CaptureTest, MultiPageDocumentIsNeverRestartedByALaterCapture) {
    auto form = start();
    widget<QComboBox>("comboBoxFmt")->setCurrentIndex(2);
    press();
    press();
    form.reset();
    EXPECT_EQ(settingsValue("FileNameCount"), "1");

    form = start();
    widget<QComboBox>("comboBoxFmt")->setCurrentIndex(2);
    press();
    widget<QComboBox>("comboBoxFmt")->setCurrentIndex(0);
    press();
    EXPECT_EQ(pictures(), QStringList({"Image00000.pdf", "Image00001.pdf", "Image00002.jpg"}));
    EXPECT_EQ(testing_support::pdfPageCount(papyraDir() + "/Image00000.pdf"), 2);
    EXPECT_EQ(testing_support::pdfPageCount(papyraDir() + "/Image00001.pdf"), 1);
}

// The counter is in the settings file as soon as it moved, with every other key, so a crash
// never hands out a number again; a number set back never replaces the file of its name, and a
// press that wrote nothing gives its number back.
TEST_F(CaptureTest, CounterIsSavedAtOnceAndAFailedCaptureKeepsTheOlderFile) {
    auto form = start();
    press();
    EXPECT_EQ(settingsValue("FileNameCount"), "1");
    EXPECT_EQ(settingsKeys(), kWriteOrder);

    const QByteArray older = testing_support::readFile(papyraDir() + "/Image00000.jpg");
    ASSERT_FALSE(older.isEmpty());
    // The number set back names a file that is there: the press goes beside it.
    enter("lineEditFileNameInit", "0");
    press();
    EXPECT_EQ(testing_support::readFile(papyraDir() + "/Image00000.jpg"), older);
    EXPECT_EQ(pictures(), QStringList({"Image00000.jpg", "Image00000_2.jpg"}));
    EXPECT_EQ(settingsValue("FileNameCount"), "1");

    camcore::testing::unplugVirtualCamera(0);
    // The engine hears of the unplug from the camera's thread; a scratch capture tells when.
    const QByteArray scratch = QFile::encodeName(tempRoot() + "/scratch.jpg");
    ASSERT_TRUE(QTest::qWaitFor([&] { return ZoCapture(0, scratch.constData()) == 0; }));
    press();
    EXPECT_EQ(pictures(), QStringList({"Image00000.jpg", "Image00000_2.jpg"}));
    EXPECT_EQ(strip().size(), 2) << "the older entries stay, and no new one";
    EXPECT_EQ(messages().size(), 1);
    EXPECT_EQ(settingsValue("FileNameCount"), "1") << "the failed press gave its number back";
}

TEST_F(CaptureTest, SinglePagePdfGetsANewFileAndAFreshThumbnailEachPress) {
    auto form = start();
    const int from = traceLines().size();
    widget<QComboBox>("comboBoxFmt")->setCurrentIndex(1);
    EXPECT_EQ(form->fileExtension(), ".pdf");
    press();
    const QString thumb = platform::privateTempDir() + "ZoImage.jpg";
    // Dated back, so a rewrite shows however fast the second press comes.
    const QDateTime past = QDateTime::currentDateTime().addDays(-1);
    {
        QFile file(thumb);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(past, QFileDevice::FileModificationTime));
    }
    press();
    EXPECT_GT(QFileInfo(thumb).lastModified(), past) << "the thumbnail is written again";
    EXPECT_TRUE(captures(from).filter(thumb).isEmpty()) << "the picture is the page itself";
    EXPECT_TRUE(callsSince(from).contains("ZoSetPDFMode(0, 1)"));
    EXPECT_EQ(pictures(), QStringList({"Image00000.pdf", "Image00001.pdf"}));
    EXPECT_EQ(strip(), checkedEntries({"Image00000.pdf", "Image00001.pdf"}));
}

// A name the program made in this run is never made again: a second press within the same
// second, or a second page with the same code, gets "_2", "_3" instead of replacing the first file.
TEST_F(CaptureTest, DateAndBarcodeNamesNeverReplaceACaptureOfThisRun) {
    auto form = start("NameRule=2\n");
    press();
    press();
    press();
    const QStringList dated = pictures();
    ASSERT_EQ(dated.size(), 3);
    for (const QString& name : dated)
        EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d_\\d{6}(_[23])?\\.jpg$")
                        .match(name)
                        .hasMatch())
            << name.toStdString();
    EXPECT_EQ(strip().size(), 3);

    QDir(papyraDir()).removeRecursively();
    QDir().mkpath(papyraDir());
    widget<QComboBox>("comboBoxNameRule")->setCurrentIndex(1);
    press();
    press();
    EXPECT_EQ(pictures(), QStringList({"DOCSCAN-PAGE-1.jpg", "DOCSCAN-PAGE-1_2.jpg"}))
        << "the page's topmost code names it";
}

// Names come from the user or from a code in view: they never replace a file and never lead out
// of the work folder; the custom rule without a name asks for one. A collected document keeps
// growing under its name, also after the rule changed and came back.
TEST_F(CaptureTest, CustomNamesNeverReplaceAFileAndStayInsideTheWorkFolder) {
    auto form = start("NameRule=3\n");
    EXPECT_FALSE(widget<QLineEdit>("lineEditFileNameCount")->isVisibleTo(m_form));
    auto* name = widget<QLineEdit>("lineEditFileName");
    name->setText("Contract");
    press();
    press();
    EXPECT_EQ(pictures(), QStringList({"Contract.jpg", "Contract_2.jpg"}));
    EXPECT_EQ(strip(), checkedEntries({"Contract.jpg", "Contract_2.jpg"}));

    for (const char* missing : {"", ".", ".."}) {
        name->setText(missing);
        press();
    }
    EXPECT_EQ(pictures().size(), 2) << pictures().join(' ').toStdString();
    ASSERT_EQ(messages().size(), 3);
    EXPECT_TRUE(messages()[2].second.contains("file name")) << messages()[2].second.toStdString();

    name->setText("../../x");
    press();
    EXPECT_TRUE(QFile::exists(papyraDir() + "/.._.._x.jpg"));
    EXPECT_FALSE(QFile::exists(documentsDir() + "/../x.jpg"));

    widget<QComboBox>("comboBoxFmt")->setCurrentIndex(2);
    name->setText("Report");
    press();
    press();
    widget<QComboBox>("comboBoxNameRule")->setCurrentIndex(0);
    widget<QComboBox>("comboBoxNameRule")->setCurrentIndex(3);
    name->setText("Report");
    press();
    EXPECT_EQ(testing_support::pdfPageCount(papyraDir() + "/Report.pdf"), 3);
}

TEST_F(CaptureTest, SplitCaptureAddsTheSecondPageOnly) {
    auto form = start();
    const int from = traceLines().size();
    widget<QCheckBox>("checkBoxSplitCap")->click();
    EXPECT_TRUE(callsSince(from).contains("ZoEnableSplitCap(0, true)"));
    press();
    const QStringList names = {"Image00000.jpg", "Image00000_split.jpg"};
    EXPECT_EQ(pictures(), names);
    EXPECT_EQ(strip(), checkedEntries(names)) << "no entries for numbered files never written";
}

TEST_F(CaptureTest, BlackAndWhiteSavesTifUntilAFormatIsChosen) {
    auto form = start();
    widget<QComboBox>("comboBoxColor")->setCurrentIndex(2);
    press();
    widget<QComboBox>("comboBoxFmt")->setCurrentIndex(5);
    press();
    EXPECT_EQ(pictures(), QStringList({"Image00000.tif", "Image00001.png"}));
}

TEST_F(CaptureTest, DoubleCaptureUsesCardModeForOneCaptureOnly) {
    auto form = start();
    const int from = traceLines().size();
    press("pushButtonCompose");
    const QStringList calls =
        callsSince(from).filter(QRegularExpression("^ZoSetCaptureMode|^ZoCapture(Queued)?\\("));
    ASSERT_EQ(calls.size(), 3);
    EXPECT_EQ(calls[0], "ZoSetCaptureMode(0, 1)");
    EXPECT_TRUE(calls[1].startsWith("ZoCaptureQueued(0, "));
    EXPECT_EQ(calls[2], "ZoSetCaptureMode(0, 0)");
    EXPECT_EQ(strip().size(), 1);
}

TEST_F(CaptureTest, UnsavedPictureAddsNoEntryAndSaysWhere) {
    auto form = start("NameRule=3\n");
    // A name longer than the file system allows: the engine cannot put the file there, and the
    // message says why.
    const QString tooLong(300, QLatin1Char('x'));
    widget<QLineEdit>("lineEditFileName")->setText(tooLong);
    press();
    EXPECT_TRUE(strip().isEmpty());
    ASSERT_EQ(messages().size(), 1);
    EXPECT_EQ(messages()[0].first, "Information");
    EXPECT_EQ(messages()[0].second,
              "The file name was refused; the picture could not be saved to " + papyraDir() + "/" +
                  tooLong + ".jpg");

    // Without a work folder nothing is written anywhere, and the press says so.
    ASSERT_TRUE(QDir(papyraDir()).removeRecursively());
    form->applyLanguage(0);
    press();
    ASSERT_EQ(messages().size(), 2);
    EXPECT_EQ(messages()[1],
              qMakePair(QStringLiteral("提示"), QStringLiteral("工作目录无法使用, 图像未保存!")));
    EXPECT_FALSE(QFileInfo::exists(papyraDir()));
}

TEST_F(CaptureTest, LanguageSwitchKeepsTheRuleAndTheFormat) {
    auto form = start("NameRule=2\n");
    widget<QComboBox>("comboBoxFmt")->setCurrentIndex(4);
    const int from = traceLines().size();
    form->applyLanguage(0);
    EXPECT_EQ(widget<QComboBox>("comboBoxFmt")->currentText(), "TIF");
    EXPECT_EQ(widget<QComboBox>("comboBoxFmt")->itemText(1), QStringLiteral("单页PDF"));
    EXPECT_EQ(widget<QComboBox>("comboBoxNameRule")->currentText(), QStringLiteral("日期命名"));
    EXPECT_EQ(form->settings().nameRule, 2);
    EXPECT_EQ(form->formatIndex(), 4);
    EXPECT_EQ(form->fileExtension(), ".tif");
    EXPECT_FALSE(callsSince(from).join(' ').contains("ZoSetPDFMode"));
}

TEST_F(CaptureTest, MissingWorkFolderFallsBackToTheDefaultAtStart) {
    const QString gone = tempRoot() + "/unplugged-drive";
    auto form = start("WorkPath=" + gone.toLocal8Bit() + "\n");
    EXPECT_EQ(form->workPath(), papyraDir().toLocal8Bit());
    EXPECT_FALSE(QFileInfo::exists(gone));
    EXPECT_TRUE(messages().isEmpty());
}

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

class FolderDialogTest : public CaptureTest {
protected:
    // Opens the folder dialog, lets `act` work on it and closes it again.
    void withDialog(const std::function<void(QDialog*)>& act) {
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            act(dialog);
            dialog->close();
        });
        widget<QPushButton>("pushButtonOpenFolder")->click();
    }

    // Clicks "..." and answers the folder question with `folder`.
    static void browse(QDialog* dialog, const QString& folder) {
        QTimer::singleShot(0, [folder] {
            auto* ask = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(ask, nullptr);
            ask->setDirectory(folder);
            ask->selectFile(folder);
            QMetaObject::invokeMethod(ask, "accept");
        });
        dialog->findChild<QPushButton*>("pushBtnBrowser")->click();
    }
};

TEST_F(FolderDialogTest, ChosenFolderTakesTheNextCaptureAndKeepsNoProbe) {
    auto form = start();
    QTemporaryDir chosen;
    QString shown;
    withDialog([&](QDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Save path setting");
        EXPECT_EQ(dialog->findChild<QPushButton*>("pushBtnOpenFolder")->text(), "Open");
        browse(dialog, chosen.path());
        shown = dialog->findChild<QLineEdit*>("lineEditFilePath")->text();
    });
    EXPECT_EQ(shown, chosen.path());
    EXPECT_EQ(form->workPath(), chosen.path().toLocal8Bit());
    EXPECT_TRUE(QDir(chosen.path())
                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                    .isEmpty());
    press();
    EXPECT_TRUE(QFile::exists(chosen.path() + "/Image00000.jpg"));
    form.reset();
    EXPECT_EQ(settingsValue("WorkPath"), chosen.path().toLocal8Bit());
}

// The system's own folders refuse files even to root, who passes every permission check.
TEST_F(FolderDialogTest, FolderWithoutWriteAccessIsRefused) {
    auto form = start("Language=0\n");
    withDialog([&](QDialog* dialog) { browse(dialog, "/proc"); });
    ASSERT_EQ(messages().size(), 1);
    EXPECT_EQ(messages()[0], qMakePair(QStringLiteral("提示"),
                                       QStringLiteral("所选目录没有文件写权限, 请重新选择目录!")));
    EXPECT_EQ(form->workPath(), papyraDir().toLocal8Bit());
}

// A path typed or pasted into the field is taken once it is known to take files; one that is
// missing or refuses files leaves the folder in use, and the line under the field says why, in
// the window's language. The picker opens at the folder in use.
TEST_F(FolderDialogTest, TypedPathIsCheckedBeforeItIsTakenAndThePickerStartsThere) {
    auto form = start();
    QTemporaryDir typed;
    const auto type = [](QDialog* dialog, const QString& path) {
        auto* field = dialog->findChild<QLineEdit*>("lineEditFilePath");
        field->setText(path);
        emit field->editingFinished();
        return field->text();
    };
    withDialog([&](QDialog* dialog) {
        auto* status = dialog->findChild<QLabel*>("labelStatus");
        EXPECT_FALSE(status->isVisibleTo(dialog));
        for (const QString& refused : {QStringLiteral("/proc"), typed.path() + "/missing"}) {
            EXPECT_EQ(type(dialog, refused), papyraDir()) << refused.toStdString();
            EXPECT_TRUE(status->isVisibleTo(dialog));
            EXPECT_TRUE(status->text().contains("please choose another"))
                << status->text().toStdString();
        }
        EXPECT_EQ(type(dialog, typed.path() + "/"), typed.path());
        EXPECT_FALSE(status->isVisibleTo(dialog));
    });
    EXPECT_EQ(form->workPath(), typed.path().toLocal8Bit());
    EXPECT_TRUE(messages().isEmpty());

    QString startedIn;
    withDialog([&](QDialog* dialog) {
        QTimer::singleShot(0, [&] {
            auto* ask = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(ask, nullptr);
            startedIn = ask->directory().absolutePath();
            EXPECT_EQ(ask->windowTitle(), "Choose a folder");
            ask->reject();
        });
        dialog->findChild<QPushButton*>("pushBtnBrowser")->click();
    });
    EXPECT_EQ(startedIn, typed.path());
}

// Without any program to show a folder the dialog says so in its own window.
TEST_F(FolderDialogTest, OpenWithoutAFileManagerSaysSoInTheWindow) {
    // The offscreen platform has no file manager at all, and says so.
    const testing_support::ExpectQtWarning noServices(
        QStringLiteral("does not support QPlatformServices::openDocument()"));
    auto form = start("Language=0\n");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QByteArray());
    QString said;
    withDialog([&](QDialog* dialog) {
        dialog->findChild<QPushButton*>("pushBtnOpenFolder")->click();
        said = dialog->findChild<QLabel*>("labelStatus")->text();
    });
    qputenv("PATH", path);
    EXPECT_EQ(said, QStringLiteral("无法打开目录: 没有可用的文件管理器。"));
}

TEST_F(FolderDialogTest, OpenShowsTheWorkFolderInTheFileManager) {
    auto form = start();
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    withDialog(
        [&](QDialog* dialog) { dialog->findChild<QPushButton*>("pushBtnOpenFolder")->click(); });
    QDesktopServices::unsetUrlHandler("file");
    EXPECT_EQ(catcher.urls, QList<QUrl>({QUrl::fromLocalFile(papyraDir())}));
}

} // namespace

#include "CaptureTest.moc"
