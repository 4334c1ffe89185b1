#include "CameraFixture.h"

#include "ZoApi.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLabel>
#include <QtTest/QTest>

namespace {

using namespace app_test;

// The calls traced since `from` that went to `camera`.
QStringList callsTo(int from, int camera) {
    QStringList calls;
    const QString prefix = QStringLiteral("(%1").arg(camera);
    for (const QString& call : callsSince(from))
        if (call.contains(prefix + ",") || call.contains(prefix + ")"))
            calls.append(call);
    return calls;
}

// Whatever makes another camera the main one, the file it writes follows what the panel shows.
TEST_F(CameraTest, AnotherMainCameraGetsEverySettingThePanelShows) {
    auto form = makeFormWith(3, "DevIndex=0\nOpenSub=1\nPixtype=1\nDPIIndex=3\nJPGQuality=40\n"
                                "DelBack=1\nAutoCrop=1\nRotateAngle=90\n");
    button(*form, "checkBoxSplitCap")->click();
    const int sub = form->subCamera();

    int from = traceLines().size();
    button(*form, "pushButtonSwitchMainSub")->click();
    ASSERT_EQ(form->mainCamera(), sub);
    const QStringList swapped = callsTo(from, sub);
    for (const char* call : {"ZoSetDevColor(%1, 1)", "ZoSetDPI(%1, 300)", "ZoSetJpgQuality(%1, 40)",
                             "ZoDelBackColor(%1, true)", "ZoEnableAutoRotate(%1, true)",
                             "ZoEnableSplitCap(%1, true)", "ZoSetRotate(%1, 1)"})
        EXPECT_TRUE(swapped.contains(QString::fromLatin1(call).arg(sub))) << call;

    // A camera that was not open starts at its first resolution, and its list says so.
    combo(*form, "comboBoxRes")->setCurrentIndex(2);
    from = traceLines().size();
    combo(*form, "comboBoxDev")->setCurrentIndex(2);
    ASSERT_EQ(form->mainCamera(), 2);
    const QStringList opened = callsTo(from, 2);
    ASSERT_TRUE(opened.contains("ZoSetDefaultResolution(2, 0)"));
    EXPECT_LT(opened.indexOf("ZoSetDefaultResolution(2, 0)"), opened.indexOf("ZoOpenCamera(2)"));
    EXPECT_EQ(combo(*form, "comboBoxRes")->currentIndex(), 0);
    EXPECT_TRUE(opened.contains("ZoSetDPI(2, 300)"));
    EXPECT_TRUE(opened.contains("ZoEnableSplitCap(2, true)"));
}

// The exposure controls drive the main camera, so they show what that camera runs at.
TEST_F(CameraTest, ExposureControlsShowTheNewMainCamerasValues) {
    auto form = makeFormWith(2, "DevIndex=0\nOpenSub=1\nAutoExp=0\nExposure=-5\n");
    bool automatic = false;
    int upper = 0, lower = 0, value = 0;
    ZoGetExposure(1, automatic, upper, lower, value);
    ZoSetExposure(1, false, lower);
    button(*form, "pushButtonSwitchMainSub")->click();
    EXPECT_EQ(control<QAbstractSlider>(*form, "horizontalSliderexpos")->value(), lower);
    EXPECT_EQ(control<QLabel>(*form, "label_Expos")->text(), QString::number(lower));
    EXPECT_EQ(form->settings().exposure, lower);
}

// Clicks on the track, the wheel and the keys change a slider's value without moving it by hand:
// the camera follows all of them. The format list shows the format the colour mode chose.
TEST_F(CameraTest, SlidersActOnEveryChangeAndTheFormatListFollowsTheColourMode) {
    auto form = makeFormWith(2, "AutoExp=0\nExposure=-5\n");
    const int from = traceLines().size();
    control<QAbstractSlider>(*form, "horizontalSliderJPG")->setValue(55);
    control<QAbstractSlider>(*form, "horizontalSliderexpos")->setValue(-6);
    EXPECT_TRUE(callsSince(from).contains("ZoSetJpgQuality(0, 55)"));
    EXPECT_TRUE(callsSince(from).contains("ZoSetExposure(0, false, -6)"));
    EXPECT_EQ(control<QLabel>(*form, "label_JPG")->text(), "55");

    QComboBox* formats = combo(*form, "comboBoxFmt");
    formats->setCurrentIndex(5); // PNG
    combo(*form, "comboBoxColor")->setCurrentIndex(2);
    EXPECT_EQ(formats->currentText(), "TIF");
    EXPECT_EQ(form->fileExtension(), ".tif");
    combo(*form, "comboBoxColor")->setCurrentIndex(1);
    EXPECT_EQ(formats->currentText(), "JPG");
    EXPECT_EQ(form->formatIndex(), 0);
}

// Habits that must not surprise: Escape does not end the program, a stored automatic exposure
// holds from the start, and leaving picture-in-picture keeps the mouse mode the buttons show.
TEST_F(CameraTest, EscapeAutomaticExposureAndTheMouseModeHoldAsShown) {
    auto form = makeFormWith(2, "OpenSub=1\nAutoExp=1\n");
    bool automatic = false;
    int upper = 0, lower = 0, value = 0;
    ZoGetExposure(0, automatic, upper, lower, value);
    EXPECT_TRUE(automatic);

    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible());

    button(*form, "pushButtonCut")->click();
    button(*form, "checkBoxInVideo")->click();
    const int from = traceLines().size();
    button(*form, "checkBoxInVideo")->click();
    EXPECT_EQ(callsSince(from).filter("ZoSetMouseMode").last(), "ZoSetMouseMode(0, 1)");
}

} // namespace
