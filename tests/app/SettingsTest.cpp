#include "AppFixture.h"
#include "CamCoreTesting.h"

#include "QLineWidthDlg.h"
#include "Settings.h"

#include <QAbstractButton>
#include <QColor>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <cstring>
#include <new>

namespace {

using namespace app_test;

class SettingsFileTest : public ::testing::Test {
protected:
    QString write(const QByteArray& content) {
        QFile file(path());
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path();
    }
    Settings read(const QByteArray& content) {
        Settings settings;
        EXPECT_TRUE(readConfig(write(content), settings));
        return settings;
    }
    QString path() const { return m_dir.filePath("zoconf.ini"); }
    QByteArray text() const {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
};

TEST_F(SettingsFileTest, SectionHeaderAloneGivesTheReadDefaults) {
    const Settings s = read("[Zo twain driver param]\n");
    EXPECT_EQ(s.dpiIndex, 2);
    EXPECT_EQ(s.threshold, 0);
    EXPECT_EQ(s.waterText, QByteArray("水印"));
    EXPECT_EQ(s.waterMode, 0);
    EXPECT_EQ(s.waterPos, 0);
    EXPECT_EQ(s.exposure, -3);
    EXPECT_TRUE(s.autoExp);
    EXPECT_TRUE(s.showRatio);
    EXPECT_EQ(s.prefixName, QByteArray("Image"));
    EXPECT_EQ(s.waterFontFamily, QStringLiteral("宋体"));
    EXPECT_EQ(s.capCount, 9999);
    EXPECT_DOUBLE_EQ(s.resizeImageRatio, 1.0);
}

TEST_F(SettingsFileTest, ValuesAreReadFromTheirKeys) {
    const Settings s = read("[Zo twain driver param]\nDevIndex=-5\nJPGQuality=40\nAutoCrop=7\n"
                            "WaterText=Hello\nWorkPath=/data/scans\nResizeImageRatio= 0.5\n"
                            "Language=0\nShowRatio=0\n");
    EXPECT_EQ(s.devIndex, 0) << "a negative camera index becomes 0";
    EXPECT_EQ(s.jpgQuality, 40);
    EXPECT_TRUE(s.autoCrop) << "any value but 0 is on";
    EXPECT_EQ(s.waterText, QByteArray("Hello"));
    EXPECT_EQ(s.workPath, QByteArray("/data/scans"));
    EXPECT_DOUBLE_EQ(s.resizeImageRatio, 0.5);
    EXPECT_EQ(s.language, 0) << "a start takes the language of the last run";
    EXPECT_FALSE(s.showRatio);
}

TEST_F(SettingsFileTest, LanguageWithoutTextsReadsAsEnglish) {
    for (const char* value : {"2", "-1", "x"})
        EXPECT_EQ(read(QByteArray("[Zo twain driver param]\nLanguage=") + value + "\n").language, 1)
            << value;
}

TEST_F(SettingsFileTest, LongWorkPathIsCutTo259Bytes) {
    const QByteArray longPath = "/" + QByteArray(400, 'w');
    const Settings s = read("[Zo twain driver param]\nWorkPath=" + longPath + "\n");
    EXPECT_EQ(s.workPath, longPath.left(259));
}

TEST_F(SettingsFileTest, RatioIsReadAsANumberPrefixAndNeverAsNonsense) {
    EXPECT_DOUBLE_EQ(read("[Zo twain driver param]\nResizeImageRatio=0.75x\n").resizeImageRatio,
                     0.75);
    EXPECT_DOUBLE_EQ(read("[Zo twain driver param]\nResizeImageRatio=abc\n").resizeImageRatio, 0.0);
    EXPECT_DOUBLE_EQ(read("[Zo twain driver param]\nResizeImageRatio=nan\n").resizeImageRatio, 1.0);
    EXPECT_DOUBLE_EQ(read("[Zo twain driver param]\nResizeImageRatio=1e999\n").resizeImageRatio,
                     1.0);
}

// Values a hand or another program put out of range are read into the ranges the window
// offers: the line width dialog shows the width and gives it back on OK (an unknown width gave 0
// there), and the pen's colour is a colour. A format or merge direction the window does not
// have reads as none stored.
TEST_F(SettingsFileTest, OutOfRangeAnnotationAndFormatValuesReadIntoTheirRanges) {
    const Settings high = read("[Zo twain driver param]\nLineWidth=40\nrval=300\ngval=-5\n"
                               "bval=256\nOpcity=999\nFileFormat=12\nMergeDirection=5\n");
    QLineWidthDlg dialog;
    dialog.setLineWidth(high.lineWidth);
    dialog.accept();
    EXPECT_EQ(dialog.lineWidth(), 17);
    EXPECT_EQ(QColor(high.rval, high.gval, high.bval), QColor(255, 0, 255));
    EXPECT_EQ(high.opcity, 255);
    EXPECT_EQ(high.fileFormat, -1) << "none stored";
    EXPECT_EQ(high.mergeDirection, 0);

    const Settings low = read("[Zo twain driver param]\nLineWidth=0\nOpcity=-3\nFileFormat=-1\n");
    dialog.setLineWidth(low.lineWidth);
    dialog.accept();
    EXPECT_EQ(dialog.lineWidth(), 1);
    EXPECT_EQ(low.opcity, 1);
    EXPECT_EQ(low.fileFormat, -1);
}

TEST_F(SettingsFileTest, GarbageAndTruncatedFilesStartWithDocumentedValues) {
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(char((i * 7919) % 256));
    const Settings fromGarbage = read(garbage);
    EXPECT_EQ(fromGarbage.dpiIndex, 2);
    EXPECT_EQ(fromGarbage.capCount, 9999);

    const Settings truncated = read("[Zo twain driver param]\nDevIndex=1\nJPGQua");
    EXPECT_EQ(truncated.devIndex, 1);
    EXPECT_EQ(truncated.jpgQuality, 75);

    const Settings huge = read("[Zo twain driver param]\nCapCount=99999999999999\n");
    EXPECT_GT(huge.capCount, 0);
}

TEST_F(SettingsFileTest, WritesEveryKeyInTheFileOrder) {
    Settings s;
    s.resizeImageRatio = 0.5;
    s.waterText = "水印";
    s.language = 0;
    ASSERT_TRUE(writeConfig(path(), s));

    QByteArrayList lines = text().split('\n');
    lines.removeAll(QByteArray());
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.takeFirst(), QByteArray("[Zo twain driver param]"));
    QByteArrayList keys;
    for (const QByteArray& line : lines)
        keys.append(line.left(line.indexOf('=')));
    EXPECT_EQ(keys, kWriteOrder);
    EXPECT_TRUE(lines.contains("ResizeImageRatio=0.5000"));
    EXPECT_TRUE(lines.contains("WaterText=水印"));
    EXPECT_TRUE(lines.contains("WaterFontFamily=宋体"));
    EXPECT_TRUE(lines.contains("Language=0"));
    EXPECT_TRUE(lines.contains("AutoExp=1"));
    EXPECT_TRUE(lines.contains("Exposure=-3"));
}

} // namespace

namespace {

// A key missing from the table would leave its field as the memory held it: construct over a
// pattern and look for it.
TEST(SettingsRecordTest, EveryFieldGetsItsStartValue) {
    alignas(Settings) unsigned char storage[sizeof(Settings)];
    std::memset(storage, 0xAB, sizeof storage);
    const Settings* s = new (storage) Settings;
    const int pattern = static_cast<int>(0xABABABABu);
    for (const int value : {s->devIndex, s->threshold, s->waterMode, s->waterPos, s->uiIndex,
                            s->lineWidth, s->capCount, s->interval, s->language, s->hRatio})
        EXPECT_NE(value, pattern);
    for (const bool* flag : {&s->autoCrop, &s->autoExp, &s->delBack, &s->openSub, &s->showWater,
                             &s->showTimeWater, &s->showRatio, &s->resizeImage})
        EXPECT_LE(*reinterpret_cast<const unsigned char*>(flag), 1);
    EXPECT_TRUE(s->showRatio);
    EXPECT_EQ(s->threshold, 196);
    EXPECT_DOUBLE_EQ(s->resizeImageRatio, 1.0);
    s->~Settings();
}

} // namespace

namespace {

// The format, the custom name and the merge direction of the last run come back at the next
// start, and the next capture is named and written by them; a file written before they were kept
// starts as it always did, with JPG.
TEST_F(AppTest, FormatCustomNameAndMergeDirectionAreKeptAcrossARestart) {
    writeSettings("[Zo twain driver param]\nPixtype=1\n");
    {
        const std::unique_ptr<MainForm> form = makeForm();
        auto* formats = form->findChild<QComboBox*>(QStringLiteral("comboBoxFmt"));
        EXPECT_EQ(formats->currentText(), QStringLiteral("JPG")) << "as before the keys";
        formats->setCurrentIndex(5);
        form->findChild<QComboBox*>(QStringLiteral("comboBoxNameRule"))->setCurrentIndex(3);
        auto* name = form->findChild<QLineEdit*>(QStringLiteral("lineEditFileName"));
        name->setFocus();
        QTest::keyClicks(name, QStringLiteral("Invoice"));
        QTest::keyClick(name, Qt::Key_Return);
        auto* merge = form->findChild<QAbstractButton*>(QStringLiteral("checkBoxMix"));
        merge->click();
        form->findChild<QAbstractButton*>(QStringLiteral("radioButtonH"))->click();
        merge->click();
    }
    EXPECT_EQ(settingsValue("FileFormat"), "5");
    EXPECT_EQ(settingsValue("CustomName"), "Invoice");
    EXPECT_EQ(settingsValue("MergeDirection"), "1");

    const std::unique_ptr<MainForm> form = makeForm();
    EXPECT_EQ(form->findChild<QComboBox*>(QStringLiteral("comboBoxFmt"))->currentText(),
              QStringLiteral("PNG"));
    EXPECT_EQ(form->findChild<QLineEdit*>(QStringLiteral("lineEditFileName"))->text(),
              QStringLiteral("Invoice"));
    EXPECT_TRUE(form->findChild<QAbstractButton*>(QStringLiteral("radioButtonH"))->isChecked());
    form->findChild<QAbstractButton*>(QStringLiteral("pushButtonScan"))->click();
    ASSERT_TRUE(waitForCaptures(*form));
    EXPECT_EQ(QImageReader(papyraDir() + "/Invoice.png").format(), "png");
    EXPECT_TRUE(messages().isEmpty());
}

// A searchable format needs the text reader. Without it the last run's searchable choice comes
// back as the same PDF without text, said once, and a press still writes that PDF.
TEST_F(AppTest, ASearchableFormatWithoutTheTextReaderBecomesItsPlainPdfAndSaysSoOnce) {
    writeSettings("[Zo twain driver param]\nFileFormat=8\n");
    struct ReaderHidden {
        ReaderHidden() { camcore::testing::hideTextReader(true); }
        ~ReaderHidden() { camcore::testing::hideTextReader(false); }
    } const hidden;
    const std::unique_ptr<MainForm> form = makeForm();
    auto* formats = form->findChild<QComboBox*>(QStringLiteral("comboBoxFmt"));
    EXPECT_EQ(formats->currentText(), QStringLiteral("Multi page PDF"));
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].second.contains(QStringLiteral("Searchable multi page PDF")));

    form->findChild<QAbstractButton*>(QStringLiteral("pushButtonScan"))->click();
    ASSERT_TRUE(waitForCaptures(*form));
    EXPECT_EQ(QDir(papyraDir()).entryList({QStringLiteral("*.pdf")}).size(), 1);
    EXPECT_EQ(messages().size(), 1);
}

} // namespace
