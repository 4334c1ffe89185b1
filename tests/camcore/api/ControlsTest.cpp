#include "EngineFixture.h"
#include "ZoApi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QSlider>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using namespace engine_test;

namespace {

struct Reading {
    bool automatic = false;
    int upper = 0, lower = 0, value = 0;
};

Reading brightness(int cam) {
    Reading r;
    ZoGetBrightness(cam, r.automatic, r.upper, r.lower, r.value);
    return r;
}

Reading exposure(int cam) {
    Reading r;
    ZoGetExposure(cam, r.automatic, r.upper, r.lower, r.value);
    return r;
}

TEST(EngineControlsTest, BrightnessRangeValueAndEffect) {
    ZoInit();
    const Reading initial = brightness(1);
    EXPECT_FALSE(initial.automatic);
    EXPECT_EQ(initial.lower, -64);
    EXPECT_EQ(initial.upper, 64);
    EXPECT_EQ(initial.value, 0);

    auto window = makeWindow(320, 240);
    ZoSetDefaultResolution(1, 5);
    ASSERT_EQ(ZoOpenCamera(1, handleOf(*window)), 1);
    ASSERT_TRUE(waitForPicture(*window));
    const double normal = meanLevel(grabVideo(*window, 1));
    ZoSetBrightness(1, false, 60);
    EXPECT_EQ(brightness(1).value, 60);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return meanLevel(grabVideo(*window, 1)) > normal + 15; }, 5000));
    ZoSetBrightness(1, false, 500); // beyond the range: the device's maximum
    EXPECT_EQ(brightness(1).value, 64);
    ZoSetBrightness(1, false, 0);
    ZoCloseCamera(1);

    const Reading none = brightness(8);
    EXPECT_EQ(none.upper + none.lower + none.value, 0);
}

TEST(EngineControlsTest, ExposureInStepsOfLog2Seconds) {
    ZoInit();
    const Reading initial = exposure(2);
    EXPECT_TRUE(initial.automatic);
    EXPECT_EQ(initial.lower, -13); // 100 microseconds
    EXPECT_EQ(initial.upper, 0);   // one second
    EXPECT_EQ(initial.value, -5);  // about 1/32 s

    ZoSetExposure(2, false, -3);
    const Reading manual = exposure(2);
    EXPECT_FALSE(manual.automatic);
    EXPECT_EQ(manual.value, -3);
    ZoSetExposure(2, true, -3);
    EXPECT_TRUE(exposure(2).automatic);
    EXPECT_EQ(exposure(2).value, -3); // the manual value is kept for later
}

TEST(EngineControlsTest, PropertyDialogListsAndChangesTheDeviceControls) {
    ZoInit();
    ZoSetExposure(0, true, -5);
    bool sawDialog = false;
    bool exposureDisabledInAuto = false;
    bool exposureEnabledInManual = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        sawDialog = dialog->objectName() == "CamCorePropertyDialog";
        auto* brightnessRow = dialog->findChild<QWidget*>("Brightness");
        ASSERT_NE(brightnessRow, nullptr);
        auto* slider = brightnessRow->findChild<QSlider*>();
        ASSERT_NE(slider, nullptr);
        EXPECT_EQ(slider->minimum(), -64);
        slider->setValue(20);

        QWidget* absolute = nullptr;
        QComboBox* autoMode = nullptr;
        for (QWidget* child : dialog->findChildren<QWidget*>()) {
            if (child->objectName().startsWith("Exposure Time"))
                absolute = child;
            if (auto* list = qobject_cast<QComboBox*>(child);
                list && child->objectName().startsWith("Auto Exposure"))
                autoMode = list;
        }
        ASSERT_NE(absolute, nullptr);
        ASSERT_NE(autoMode, nullptr);
        exposureDisabledInAuto = !absolute->isEnabled();
        const int manual = autoMode->findText("Manual Mode");
        autoMode->setCurrentIndex(manual);
        emit autoMode->activated(manual);
        exposureEnabledInManual = absolute->isEnabled();
        dialog->reject();
    });
    ZoShowVideoProperty(0);
    EXPECT_TRUE(sawDialog);
    EXPECT_EQ(brightness(0).value, 20);
    EXPECT_TRUE(exposureDisabledInAuto);
    EXPECT_TRUE(exposureEnabledInManual);
    EXPECT_FALSE(exposure(0).automatic);
    ZoSetBrightness(0, false, 0);

    ZoShowVideoProperty(42); // no such camera: no dialog, returns at once
}

// The dialog speaks the language the program gives the engine: its title and its button.
TEST(EngineControlsTest, PropertyDialogSpeaksTheLanguageItIsGiven) {
    ZoInit();
    const auto shown = [] {
        QStringList texts;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            texts << dialog->windowTitle();
            for (const QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
                texts << button->text();
            dialog->reject();
        });
        ZoShowVideoProperty(0);
        return texts;
    };
    const QString name = QString::fromLocal8Bit(ZoGetDevName(0));
    ZoSetLanguage(0);
    QStringList texts = shown();
    EXPECT_TRUE(texts.contains(name + QStringLiteral(" - 属性"))) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("关闭"))) << texts.join('|').toStdString();
    ZoSetLanguage(1);
    texts = shown();
    EXPECT_TRUE(texts.contains(name + " - properties")) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.contains("Close")) << texts.join('|').toStdString();
    ZoSetLanguage(7); // no such language: stays English
    EXPECT_TRUE(shown().contains("Close"));
}

} // namespace
