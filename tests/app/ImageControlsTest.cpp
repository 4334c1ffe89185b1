#include "CameraFixture.h"

#include "ZoApi.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLabel>

namespace {

using namespace app_test;

TEST_F(CameraTest, ColourModeGoesWithThePresetsAndTheExtension) {
    auto form = makeFormWith(2, "Pixtype=0\n");
    QComboBox* colour = combo(*form, "comboBoxColor");
    QAbstractButton* document = button(*form, "radioButtonDocument");
    QAbstractButton* card = button(*form, "radioButtonCredent");
    EXPECT_TRUE(card->isChecked());

    int from = traceLines().size();
    colour->setCurrentIndex(1);
    EXPECT_TRUE(document->isChecked());
    EXPECT_EQ(form->fileExtension(), QByteArray(".jpg"));
    EXPECT_EQ(callsSince(from), QStringList({"ZoSetDevColor(0, 1)"}));

    colour->setCurrentIndex(2);
    EXPECT_EQ(form->fileExtension(), QByteArray(".tif"));
    EXPECT_FALSE(document->isChecked());
    EXPECT_FALSE(card->isChecked());

    card->click();
    EXPECT_EQ(colour->currentIndex(), 0);
    EXPECT_EQ(form->fileExtension(), QByteArray(".jpg"));
    document->click();
    EXPECT_EQ(colour->currentIndex(), 2);
    EXPECT_EQ(form->fileExtension(), QByteArray(".tif"));
    EXPECT_EQ(form->settings().pixtype, 2);

    // A PDF choice stays a PDF whatever the colour.
    for (int pdf : {1, 2, 7, 8}) {
        combo(*form, "comboBoxFmt")->setCurrentIndex(pdf);
        colour->setCurrentIndex(0);
        colour->setCurrentIndex(2);
        EXPECT_EQ(form->formatIndex(), pdf);
        EXPECT_EQ(form->fileExtension(), QByteArray(".pdf"));
    }
}

TEST_F(CameraTest, LanguageSwitchKeepsTheColourModeAndTheExtension) {
    auto form = makeFormWith(2, "Pixtype=1\n");
    QComboBox* colour = combo(*form, "comboBoxColor");
    EXPECT_EQ(colour->currentText(), QStringLiteral("Gray"));
    colour->setCurrentIndex(2);

    form->onChinese();
    EXPECT_EQ(colour->currentText(), QStringLiteral("黑白"));
    EXPECT_EQ(form->settings().pixtype, 2);
    EXPECT_EQ(form->fileExtension(), QByteArray(".tif"));
    form->onEnglish();
    EXPECT_EQ(colour->currentText(), QStringLiteral("Black and white"));
    EXPECT_EQ(form->settings().pixtype, 2);
}

TEST_F(CameraTest, DpiListSendsTheNumberOfItsEntryOnlyOnAChange) {
    const int from = traceLines().size();
    auto form = makeFormWith(2, "DPIIndex=2\n");
    QComboBox* dpi = combo(*form, "comboBoxDPI");
    ASSERT_EQ(dpi->count(), 7);
    EXPECT_EQ(dpi->currentText(), QStringLiteral("255"));
    EXPECT_TRUE(callsSince(from).contains("ZoSetDPI(0, 255)"));

    int change = traceLines().size();
    form->onDPIChange(); // the entry already chosen
    EXPECT_TRUE(callsSince(change).filter("ZoSetDPI").isEmpty());
    dpi->setCurrentIndex(6);
    EXPECT_EQ(callsSince(change), QStringList({"ZoSetDPI(0, 600)"}));
    EXPECT_EQ(form->settings().dpiIndex, 6);
}

TEST_F(CameraTest, RotationKeepsTheStoredAngle) {
    auto form = makeFormWith(2, "RotateAngle=0\n");
    QAbstractButton* right = button(*form, "pushButtonRotateRight");
    const int from = traceLines().size();
    for (int angle : {90, 180, 270, 0}) {
        right->click();
        EXPECT_EQ(form->settings().rotateAngle, angle);
    }
    EXPECT_EQ(callsSince(from).filter("ZoRotateRight(0)").size(), 4);
    button(*form, "pushButtonRotateLeft")->click();
    EXPECT_EQ(form->settings().rotateAngle, 270);
}

TEST_F(CameraTest, ScaleSliderAndEngineZoomFollowEachOther) {
    auto form = makeFormWith(2);
    ASSERT_TRUE(waitForVideo(*form));
    ASSERT_EQ(ZoGetMinZoomRatio(0), 1.0F);
    ASSERT_EQ(ZoGetMaxZoomRatio(0), 4.0F);
    auto* slider = control<QAbstractSlider>(*form, "horizontalSliderScale");
    EXPECT_EQ(slider->maximum(), 100);

    int from = traceLines().size();
    slider->setValue(50);
    QMetaObject::invokeMethod(slider, "sliderReleased");
    EXPECT_EQ(callsSince(from).filter("ZoZoom").join(' '), QStringLiteral("ZoZoom(0, 2.5)"));

    ZoResetVideo(0);
    EXPECT_EQ(slider->value(), 0);
    from = traceLines().size();
    ZoZoom(0, 2.5F); // the engine reports the ratio through the registered callback
    EXPECT_EQ(slider->value(), 50);
    EXPECT_EQ(callsSince(from).filter("ZoZoom").size(), 1) << "following the engine zooms nothing";

    MainForm::ZoomReported(5.0F);
    EXPECT_EQ(slider->value(), 50);
    button(*form, "pushButtonZoomIn")->click();
    EXPECT_EQ(slider->value(), 70); // 2.5 x 1.25 = 3.125
}

// Turning automatic exposure off sends the stored exposure, not the label's initial text.
TEST_F(CameraTest, AutomaticExposureLocksTheSlider) {
    auto form = makeFormWith(2, "AutoExp=1\nExposure=-5\n");
    auto* slider = control<QAbstractSlider>(*form, "horizontalSliderexpos");
    QAbstractButton* automatic = button(*form, "checkBoxAutoExp");
    EXPECT_TRUE(automatic->isChecked());
    EXPECT_FALSE(slider->isEnabled());

    int from = traceLines().size();
    automatic->click();
    EXPECT_TRUE(slider->isEnabled());
    EXPECT_EQ(callsSince(from), QStringList({"ZoSetExposure(0, false, -5)"}));
    form->onSliderExpos(-4);
    EXPECT_EQ(form->settings().exposure, -4);
    EXPECT_EQ(control<QLabel>(*form, "label_Expos")->text(), QStringLiteral("-4"));
    automatic->click();
    EXPECT_FALSE(slider->isEnabled());
    EXPECT_EQ(callsSince(from).last(), QStringLiteral("ZoSetExposure(0, true, -4)"));
}

} // namespace
