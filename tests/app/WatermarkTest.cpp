#include "CameraFixture.h"

#include "CamCoreTesting.h"
#include "ProfileName.h"
#include "ZoApi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFile>
#include <QFontDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QRegularExpression>
#include <QSlider>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QtTest/QTest>

#include <algorithm>
#include <cstring>

namespace {

using namespace app_test;

bool allZero(const uint8_t* bytes, std::size_t size) {
    return std::all_of(bytes, bytes + size, [](uint8_t b) { return b == 0; });
}

class WatermarkTest : public CameraTest {
protected:
    ProfileName& dialog(const MainForm& form) { return *form.findChild<ProfileName*>(); }
    template <typename T> T* inDialog(const MainForm& form, const char* name) {
        return dialog(form).findChild<T*>(QString::fromLatin1(name));
    }
    _WATERMARKPARAM fill(const MainForm& form, QSize frame) {
        _WATERMARKPARAM record;
        std::memset(&record, 0xEE, sizeof record); // every byte must be written
        dialog(form).FillWaterMarkParam(record, frame);
        return record;
    }
    // The watermark calls traced since line `from`.
    static QStringList watermarkCalls(int from) {
        return callsSince(from).filter(QRegularExpression("^Zo(AddWaterMark|ClearWatermark)\\("));
    }
};

TEST_F(WatermarkTest, RecordInBothModes) {
    auto form = makeFormWith(2, "WaterMode=0\nHRatio=29\nVRatio=33\nWaterFontSize=-1\n"
                                "WaterAngle=-30\nWaterText=水印\nWaterRed=300\nWaterGreen=-4\n"
                                "WaterBlue=7\nWaterPos=7\n");
    _WATERMARKPARAM r = fill(*form, {1000, 1000});
    EXPECT_STREQ(r.szText, "水印");
    EXPECT_STREQ(r.szFontName, "宋体");
    EXPECT_EQ(r.nFontSize, 80);
    EXPECT_EQ(r.byRed, 255) << "colour values are kept within 0..255 when read";
    EXPECT_EQ(r.byGreen, 0);
    EXPECT_EQ(r.byBlue, 7);
    EXPECT_EQ(r.byAlpha, 128);
    EXPECT_EQ(r.nAngle, -30);
    EXPECT_EQ(r.bFixedPos, 0);
    EXPECT_EQ(r.nFixedPos, 0);
    EXPECT_EQ(r.nPosX, 289) << "29 % of 1000 in single precision, truncated";
    EXPECT_EQ(r.nPosY, 330);
    EXPECT_TRUE(allZero(r.reserved1, sizeof r.reserved1));
    EXPECT_TRUE(allZero(r.reserved2, sizeof r.reserved2));
    EXPECT_TRUE(allZero(reinterpret_cast<const uint8_t*>(r.szText) + 7, 293));
    inDialog<QSlider>(*form, "horizontalSlider_H")->setValue(100);
    EXPECT_EQ(fill(*form, {1600, 1200}).nPosX, 1600);

    // Fixed mode: no place is checked (WaterPos 7), so the record says top-left.
    inDialog<QAbstractButton>(*form, "radioButtonFixPos")->click();
    EXPECT_EQ(form->settings().waterMode, 1);
    r = fill(*form, {1000, 1000});
    EXPECT_EQ(r.bFixedPos, 1);
    EXPECT_EQ(r.nFixedPos, 0);
    EXPECT_EQ(r.nPosX, 0);
    EXPECT_EQ(r.nPosY, 0);
    EXPECT_TRUE(allZero(r.reserved1, sizeof r.reserved1));
    inDialog<QAbstractButton>(*form, "radioButton_M")->click();
    EXPECT_EQ(fill(*form, {1000, 1000}).nFixedPos, 4);
    EXPECT_EQ(form->settings().waterPos, 4);
}

TEST_F(WatermarkTest, BoxAndOkClearBeforeTheyAddAndOkNeedsTheBox) {
    auto form = makeFormWith(2);
    QAbstractButton* visible = button(*form, "checkBoxWaterMark");
    int from = traceLines().size();
    visible->click();
    EXPECT_EQ(watermarkCalls(from),
              QStringList({"ZoClearWatermark(0)", "ZoAddWaterMark(0, 2, ptr)"}));

    button(*form, "pushBtnWaterMark")->click();
    EXPECT_TRUE(dialog(*form).isVisible());
    EXPECT_EQ(dialog(*form).windowTitle(), QStringLiteral("Watermark setting"));
    form->applyLanguage(0);
    button(*form, "pushBtnWaterMark")->click();
    EXPECT_EQ(dialog(*form).windowTitle(), QStringLiteral("水印设置"));
    EXPECT_EQ(inDialog<QAbstractButton>(*form, "pushButtonOK")->text(), QStringLiteral("确定"));
    EXPECT_EQ(inDialog<QGroupBox>(*form, "groupBox_2")->title(), QStringLiteral("水印位置"));
    inDialog<QAbstractButton>(*form, "checkBoxTime")->click();
    from = traceLines().size();
    inDialog<QAbstractButton>(*form, "pushButtonOK")->click();
    EXPECT_FALSE(dialog(*form).isVisible());
    EXPECT_EQ(watermarkCalls(from),
              QStringList({"ZoClearWatermark(0)", "ZoAddWaterMark(0, 5, ptr)"}));

    from = traceLines().size();
    visible->click();
    EXPECT_EQ(watermarkCalls(from), QStringList({"ZoClearWatermark(0)"}));

    // With the box off, OK keeps the values but installs nothing; Cancel keeps the angle.
    from = traceLines().size();
    inDialog<QSlider>(*form, "horizontalSlider_AN")->setValue(45);
    inDialog<QAbstractButton>(*form, "pushButtonCancel")->click();
    inDialog<QAbstractButton>(*form, "pushButtonOK")->click();
    EXPECT_TRUE(watermarkCalls(from).isEmpty());
    EXPECT_EQ(form->settings().waterAngle, 45);
    EXPECT_EQ(fill(*form, {640, 480}).nAngle, 45);
}

// Qt's own dialogs, answered as a user would.
TEST_F(WatermarkTest, FontAndColourDialogsChangeTheRecordOnlyWhenAccepted) {
    auto form = makeFormWith(2, "WaterFontSize=-1\nWaterFontFamily=宋体\n");
    const auto answer = [](auto* type, auto choose) {
        QTimer::singleShot(0, [choose] {
            auto* open = qobject_cast<decltype(type)>(QApplication::activeModalWidget());
            ASSERT_NE(open, nullptr);
            choose(*open);
        });
    };
    answer(static_cast<QColorDialog*>(nullptr), [](QColorDialog& d) {
        d.setCurrentColor(QColor(10, 20, 30));
        d.accept();
    });
    inDialog<QAbstractButton>(*form, "pushButtonColor")->click();
    answer(static_cast<QFontDialog*>(nullptr), [](QFontDialog& d) {
        d.setCurrentFont(QFont(QStringLiteral("WenQuanYi Zen Hei"), 40));
        d.accept();
    });
    inDialog<QAbstractButton>(*form, "pushButtonFont")->click();
    _WATERMARKPARAM r = fill(*form, {640, 480});
    EXPECT_EQ(QColor(r.byRed, r.byGreen, r.byBlue), QColor(10, 20, 30));
    EXPECT_STREQ(r.szFontName, "WenQuanYi Zen Hei");
    EXPECT_EQ(r.nFontSize, 40);
    EXPECT_EQ(inDialog<QLabel>(*form, "labelFont")->text(), QStringLiteral("WenQuanYi Zen Hei"));
    EXPECT_TRUE(inDialog<QWidget>(*form, "pushButtonColor")->styleSheet().contains("10, 20, 30"));

    answer(static_cast<QColorDialog*>(nullptr), [](QColorDialog& d) {
        d.setCurrentColor(Qt::yellow);
        d.reject();
    });
    inDialog<QAbstractButton>(*form, "pushButtonColor")->click();
    EXPECT_EQ(fill(*form, {640, 480}).byBlue, 30);
    form.reset();
    EXPECT_EQ(settingsValue("WaterFontSize"), QByteArray("40"));
    EXPECT_EQ(settingsValue("WaterBlue"), QByteArray("30"));
}

TEST_F(WatermarkTest, SwapMovesTheMarkToTheNewMainCamera) {
    auto form = makeFormWith(2, "ShowWater=1\n");
    button(*form, "checkBoxPIP")->click();
    const int from = traceLines().size();
    button(*form, "pushButtonSwitchMainSub")->click();
    ASSERT_EQ(form->mainCamera(), 1);
    const QStringList calls = watermarkCalls(from);
    EXPECT_TRUE(calls.contains("ZoClearWatermark(0)"));
    EXPECT_TRUE(calls.filter("ZoAddWaterMark(0").isEmpty()) << calls.join(' ').toStdString();
    ASSERT_FALSE(calls.isEmpty());
    EXPECT_EQ(calls.last(), QStringLiteral("ZoAddWaterMark(1, 2, ptr)"));
}

TEST_F(WatermarkTest, AReplugInstallsTheMarkAgain) {
    auto form = makeFormWith(2, "ShowWater=1\n");
    ASSERT_TRUE(camcore::testing::unplugVirtualCamera(0));
    ASSERT_TRUE(camcore::testing::unplugVirtualCamera(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->cameraLost(); }));
    const int from = traceLines().size();
    ASSERT_TRUE(camcore::testing::replugVirtualCamera(0));
    ASSERT_TRUE(camcore::testing::replugVirtualCamera(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->cameraLost(); }));
    const QStringList calls = callsSince(from);
    const qsizetype opened = calls.indexOf(QStringLiteral("ZoOpenCamera(0)"));
    ASSERT_GE(opened, 0);
    EXPECT_TRUE(calls.mid(opened).contains("ZoAddWaterMark(0, 2, ptr)"));
}

// The stored text is cut between characters to the file's 259 bytes; the opacity is kept.
TEST_F(WatermarkTest, TextAndOpacitySurviveARestart) {
    auto form = makeFormWith(2);
    inDialog<QTextEdit>(*form, "textEdit")->setPlainText(QString(120, QChar(0x6C34)));
    inDialog<QSlider>(*form, "horizontalSlider")->setValue(200);
    form.reset();
    EXPECT_EQ(settingsValue("WaterAlpha"), QByteArray("200"));

    form = makeForm();
    EXPECT_EQ(inDialog<QTextEdit>(*form, "textEdit")->toPlainText(), QString(86, QChar(0x6C34)));
    EXPECT_EQ(inDialog<QSlider>(*form, "horizontalSlider")->value(), 200);
    EXPECT_EQ(fill(*form, {640, 480}).byAlpha, 200);
}

// The offsets are taken of the resolution the camera streams at, not of its largest one.
TEST_F(WatermarkTest, OffsetsOfAStoredResolutionLandInsideThePicture) {
    auto form = makeFormWith(2, "Resolution=5\nShowWater=1\nWaterMode=0\nHRatio=50\nVRatio=50\n"
                                "WaterRed=0\nWaterGreen=255\nWaterBlue=0\nWaterFontSize=12\n"
                                "WaterText=MARK\nWaterAlpha=255\n");
    QTemporaryDir dir;
    const QString path = dir.filePath("mark.png");
    ASSERT_EQ(ZoCapture(form->mainCamera(), QFile::encodeName(path).constData()), 1);
    const QImage picture = QImage(path).convertToFormat(QImage::Format_RGB888);
    ASSERT_EQ(picture.size(), QSize(ZoGetResWidth(0, 5), ZoGetResHeight(0, 5)));
    QRect area;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            if (c.green() > 180 && c.red() < 90 && c.blue() < 90)
                area |= QRect(x, y, 1, 1);
        }
    ASSERT_FALSE(area.isEmpty());
    EXPECT_NEAR(area.left(), picture.width() / 2, 12);
    EXPECT_NEAR(area.top(), picture.height() / 2, 20);

    // A new resolution places the mark again.
    const int from = traceLines().size();
    combo(*form, "comboBoxRes")->setCurrentIndex(4);
    EXPECT_EQ(watermarkCalls(from),
              QStringList({"ZoClearWatermark(0)", "ZoAddWaterMark(0, 2, ptr)"}));
}

} // namespace
