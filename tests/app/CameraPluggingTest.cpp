#include "CamCoreTesting.h"
#include "CameraFixture.h"
#include "ZoApi.h"

#include <QAbstractButton>
#include <QDir>
#include <QRegularExpression>
#include <QtTest/QTest>

namespace {

using namespace app_test;
using camcore::testing::replugVirtualCamera;
using camcore::testing::setVirtualCameraStartFails;
using camcore::testing::unplugVirtualCamera;

class CameraPluggingTest : public CameraTest {
protected:
    void TearDown() override {
        form.reset();
        setVirtualCameraStartFails(0, false);
        CameraTest::TearDown();
    }
    void start(const QByteArray& settings, int cameras = 2) {
        form = makeFormWith(cameras, settings);
        ASSERT_TRUE(waitForVideo(*form));
        from = traceLines().size();
    }
    // Trace lines since the test's start that match `pattern`.
    QStringList traced(const QString& pattern) const {
        return traceLines().mid(from).filter(QRegularExpression(pattern));
    }
    QString mainCameraName() const {
        return QString::fromLocal8Bit(ZoGetDevName(form->mainCamera()));
    }
    bool captures() {
        const int before = QDir(papyraDir()).entryList(QDir::Files).size();
        button(*form, "pushButtonScan")->click();
        return waitForCaptures(*form) && QDir(papyraDir()).entryList(QDir::Files).size() > before;
    }

    std::unique_ptr<MainForm> form;
    int from = 0;
};

TEST_F(CameraPluggingTest, AReplugReopensTheMainCameraWithItsSettingsAndLeavesTheSubClosed) {
    start("DevIndex=0\nOpenSub=1\n");
    button(*form, "pushButtonRotateRight")->click();
    ASSERT_TRUE(unplugVirtualCamera(0));
    ASSERT_TRUE(unplugVirtualCamera(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->cameraLost(); }));
    const int unplugged = traceLines().size();

    ASSERT_TRUE(replugVirtualCamera(0));
    ASSERT_TRUE(replugVirtualCamera(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->cameraLost(); }));
    const QStringList after = traceLines().mid(unplugged);
    const QStringList opened = after.filter(QRegularExpression("^ZoOpenCamera\\("));
    ASSERT_EQ(opened.size(), 1) << opened.join('\n').toStdString();
    EXPECT_TRUE(opened[0].startsWith("ZoOpenCamera(0, ") && opened[0].endsWith("-> 1"));
    const qsizetype reopened = after.indexOf(opened[0]);
    EXPECT_FALSE(after.mid(reopened).filter(QRegularExpression("^ZoSetRotate\\(0, 1\\)")).isEmpty())
        << "the quarter turn is not sent again after the reopen";
    EXPECT_EQ(form->mainCamera(), 0);
    EXPECT_TRUE(captures()) << "no picture from the reopened camera";
}

TEST_F(CameraPluggingTest, TheMainCameraStaysOnItsDeviceWhenTheListIsRenumbered) {
    start("DevIndex=1\n");
    ASSERT_EQ(mainCameraName(), "Virtual Document Camera 2");
    ASSERT_TRUE(unplugVirtualCamera(0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !traced("^ZoGetCameraCount").isEmpty(); }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->cameraLost()) << "another camera left";
    EXPECT_EQ(form->mainCamera(), 0) << "the list now begins with the main camera";
    EXPECT_EQ(mainCameraName(), "Virtual Document Camera 2");

    const int counted = traced("^ZoGetCameraCount").size();
    ASSERT_TRUE(replugVirtualCamera(0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return traced("^ZoGetCameraCount").size() > counted; }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->cameraLost());
    EXPECT_EQ(form->mainCamera(), 1);
    EXPECT_EQ(mainCameraName(), "Virtual Document Camera 2");
    EXPECT_EQ(traced("^ZoOpenCamera\\(0,"), QStringList{}) << "the other camera was opened";
    EXPECT_EQ(traced("^ZoCloseCamera"), QStringList{});
    EXPECT_TRUE(captures());
}

// The first arrival can come before the device streams; the camera stays lost until an arrival
// finds it ready.
TEST_F(CameraPluggingTest, AReopenThatFailsIsTriedAgainAtTheNextArrival) {
    start("DevIndex=0\n");
    ASSERT_TRUE(unplugVirtualCamera(0));
    ASSERT_TRUE(unplugVirtualCamera(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->cameraLost(); }));

    setVirtualCameraStartFails(0, true);
    ASSERT_TRUE(replugVirtualCamera(0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !traced("^ZoOpenCamera\\(0, .* -> 0").isEmpty(); }))
        << traceLines().mid(from).join('\n').toStdString();
    EXPECT_TRUE(form->cameraLost());

    setVirtualCameraStartFails(0, false);
    ASSERT_TRUE(replugVirtualCamera(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->cameraLost(); }));
    EXPECT_EQ(traced("^ZoOpenCamera\\(0, .* -> 1").size(), 1);
    EXPECT_TRUE(captures());
}

// Only the camera that left is lost: the sub camera's going and coming leaves the main camera
// streaming, never closed or opened again.
TEST_F(CameraPluggingTest, TheSubCameraLeavingAndComingBackLeavesTheMainCameraAlone) {
    start("DevIndex=0\nOpenSub=1\n");
    ASSERT_TRUE(unplugVirtualCamera(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !traced("^ZoGetCameraCount").isEmpty(); }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->cameraLost());
    EXPECT_TRUE(captures()) << "the main camera stopped with the sub camera";

    const int counted = traced("^ZoGetCameraCount").size();
    ASSERT_TRUE(replugVirtualCamera(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return traced("^ZoGetCameraCount").size() > counted; }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->cameraLost());
    EXPECT_EQ(traced("^Zo(Open|Close)Camera\\(0[,)]"), QStringList{});
    EXPECT_EQ(form->mainCamera(), 0);
    EXPECT_TRUE(captures());
}

TEST_F(CameraPluggingTest, AnArrivalWithoutARemovalOpensNothing) {
    start("DevIndex=0\n", 1);
    ASSERT_TRUE(replugVirtualCamera(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !traced("^ZoGetCameraCount").isEmpty(); }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->cameraLost());
    EXPECT_EQ(traced("^Zo(Open|Close)Camera"), QStringList{});
    EXPECT_EQ(form->mainCamera(), 0);
}

} // namespace
