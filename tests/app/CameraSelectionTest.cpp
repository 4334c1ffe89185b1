#include "CameraFixture.h"

#include "ZoApi.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QtTest/QTest>

namespace {

using namespace app_test;

bool traced(int from, const QString& callStart) {
    for (const QString& line : traceLines().mid(from))
        if (line.startsWith(callStart))
            return true;
    return false;
}

QStringList openAndClose(int from) {
    QStringList calls;
    for (const QString& call : callsSince(from))
        if (call.startsWith("ZoOpenCamera(") || call.startsWith("ZoCloseCamera("))
            calls.append(call);
    return calls;
}

TEST_F(CameraTest, SubListLeavesOutTheMainCameraAndMapsItsEntries) {
    auto form = makeFormWith(3, "DevIndex=1\nOpenSub=1\n");
    QComboBox* subList = combo(*form, "comboBoxDev_2");
    ASSERT_EQ(subList->count(), 2);
    EXPECT_EQ(subList->itemText(0), combo(*form, "comboBoxDev")->itemText(0));
    EXPECT_EQ(subList->itemText(1), combo(*form, "comboBoxDev")->itemText(2));
    EXPECT_EQ(form->subCamera(), 0);

    const int from = traceLines().size();
    subList->setCurrentIndex(1);
    EXPECT_EQ(form->subCamera(), 2);
    EXPECT_EQ(openAndClose(from), QStringList({"ZoCloseCamera(0)", "ZoOpenCamera(2)"}));
    EXPECT_TRUE(
        traced(from, callWithWindow("ZoOpenCamera", 2, control<QWidget>(*form, "widgetFu"))));

    const int again = traceLines().size();
    subList->setCurrentIndex(0);
    EXPECT_EQ(openAndClose(again), QStringList({"ZoCloseCamera(2)", "ZoOpenCamera(0)"}));
}

TEST_F(CameraTest, ChoosingTheSubCameraAsMainSwapsTheViewsWithoutReopening) {
    auto form = makeFormWith(2, "DevIndex=0\nOpenSub=1\n");
    ASSERT_EQ(combo(*form, "comboBoxDev_2")->count(), 1);
    ASSERT_EQ(form->subCamera(), 1);

    const int from = traceLines().size();
    combo(*form, "comboBoxDev")->setCurrentIndex(1);
    EXPECT_EQ(form->mainCamera(), 1);
    EXPECT_EQ(form->subCamera(), 0);
    EXPECT_TRUE(openAndClose(from).isEmpty()) << openAndClose(from).join(' ').toStdString();
    EXPECT_TRUE(traced(from, callWithWindow("ZoSetHwnd", 1, form->previewWidget())));
    EXPECT_TRUE(traced(from, callWithWindow("ZoSetHwnd", 0, control<QWidget>(*form, "widgetFu"))));
    QComboBox* subList = combo(*form, "comboBoxDev_2");
    ASSERT_EQ(subList->count(), 1);
    EXPECT_EQ(subList->itemText(0), combo(*form, "comboBoxDev")->itemText(0));
}

// Rebuilding the sub list must not open its first entry as the new sub camera.
TEST_F(CameraTest, ChoosingAnotherMainCameraKeepsTheSubCamera) {
    auto form = makeFormWith(3, "DevIndex=0\nOpenSub=1\n");
    ASSERT_EQ(form->subCamera(), 1);

    const int from = traceLines().size();
    combo(*form, "comboBoxDev")->setCurrentIndex(2);
    EXPECT_EQ(form->mainCamera(), 2);
    EXPECT_EQ(form->subCamera(), 1);
    EXPECT_EQ(openAndClose(from), QStringList({"ZoCloseCamera(0)", "ZoOpenCamera(2)"}));
    QComboBox* subList = combo(*form, "comboBoxDev_2");
    ASSERT_EQ(subList->count(), 2);
    EXPECT_EQ(subList->currentText(), combo(*form, "comboBoxDev")->itemText(1));
}

TEST_F(CameraTest, SwapNeedsTheSubCameraOn) {
    auto form = makeFormWith(2);
    const int from = traceLines().size();
    form->onSwitchMainSub();
    ASSERT_EQ(messages().size(), 1);
    EXPECT_EQ(messages()[0], qMakePair(QStringLiteral("Information"),
                                       QStringLiteral("The sub camera is not open.")));
    EXPECT_EQ(form->mainCamera(), 0);
    EXPECT_TRUE(callsSince(from).filter("ZoSetHwnd").isEmpty());

    button(*form, "checkBoxPIP")->click();
    const int swap = traceLines().size();
    button(*form, "pushButtonSwitchMainSub")->click();
    EXPECT_EQ(messages().size(), 1);
    EXPECT_EQ(form->mainCamera(), 1);
    EXPECT_EQ(form->subCamera(), 0);
    EXPECT_TRUE(traced(swap, callWithWindow("ZoSetHwnd", 1, form->previewWidget())));
    EXPECT_TRUE(openAndClose(swap).isEmpty());
}

TEST_F(CameraTest, ResolutionChangeWaitsForTheVideoAndTheSameEntryDoesNothing) {
    auto form = makeFormWith(2);
    ASSERT_TRUE(waitForVideo(*form));
    QComboBox* list = combo(*form, "comboBoxRes");
    ASSERT_GT(list->count(), 2);
    EXPECT_EQ(list->itemText(1),
              QStringLiteral("%1x%2").arg(ZoGetResWidth(0, 1)).arg(ZoGetResHeight(0, 1)));

    int from = traceLines().size();
    list->setCurrentIndex(1);
    EXPECT_TRUE(callsSince(from).contains("ZoSetResolution(0, 1)"));
    EXPECT_TRUE(form->videoRectTimerRunning());

    from = traceLines().size();
    form->onResolutionChange(); // the entry already chosen
    EXPECT_TRUE(callsSince(from).filter("ZoSetResolution").isEmpty());
    EXPECT_TRUE(form->videoRectTimerRunning());

    // The first tick with a drawn picture puts the floating window at the video's start.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->videoRectTimerRunning(); }, 15000));
    EXPECT_EQ(form->smallWidget()->region(), expectedRegion(*form));
    EXPECT_EQ(form->smallWidget()->pos(), form->smallWidget()->region().topLeft());
}

} // namespace
