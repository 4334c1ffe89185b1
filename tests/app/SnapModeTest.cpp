#include "CamCoreTesting.h"
#include "CameraFixture.h"
#include "QSnapWidget.h"
#include "ScreenPixels.h"
#include "platform/Paths.h"

#include <QApplication>
#include <QDir>
#include <QDrag>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>
#include <QtTest/QTest>

namespace {

using namespace app_test;

QSnapWidget* findSnap() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* snap = qobject_cast<QSnapWidget*>(window))
            return snap;
    return nullptr;
}

// A window of another program in miniature: it takes drops and keeps the URLs it received.
class DropTarget : public QWidget {
public:
    DropTarget() {
        setAcceptDrops(true);
        setWindowFlags(Qt::FramelessWindowHint);
        setGeometry(100, 100, 300, 300);
    }
    bool entered = false;
    QList<QUrl> dropped;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override {
        entered = true;
        if (event->mimeData()->hasUrls())
            event->acceptProposedAction();
    }
    void dropEvent(QDropEvent* event) override {
        dropped = event->mimeData()->urls();
        event->acceptProposedAction();
    }
};

// The real pointer of the X server, as a user moves it.
void pointer(const QStringList& arguments) {
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), arguments), 0);
}

class SnapModeTest : public CameraTest {
protected:
    void SetUp() override {
        REQUIRE_DISPLAY();
        CameraTest::SetUp();
        // Every window starts again at the first name; the pictures of earlier tests go.
        QDir temp(platform::privateTempDir());
        for (const QString& name : temp.entryList({"Image*.jpg"}, QDir::Files | QDir::System))
            temp.remove(name);
        form = makeFormWith(2, "DevIndex=0\n");
        ASSERT_TRUE(waitForVideo(*form));
        snap = findSnap();
        ASSERT_NE(snap, nullptr);
        from = traceLines().size();
        form->switch2SnapMode({});
        ASSERT_TRUE(QTest::qWaitForWindowExposed(snap));
    }
    void TearDown() override {
        form.reset();
        CameraTest::TearDown();
    }
    QTimer* pressTimer() const { return snap->findChild<QTimer*>(); }
    QString picture(int n) const {
        return platform::privateTempDir() + QString::asprintf("Image%05d.jpg", n);
    }
    void click() {
        QTest::mouseClick(snap, Qt::LeftButton, {}, QPoint(160, 120));
        ASSERT_TRUE(pressTimer()->isActive());
    }
    bool leftToMainWindow() const {
        return !snap->isVisible() && form->isVisible() &&
               traceLines().mid(from).last().startsWith(
                   callWithWindow("ZoSetHwnd", 0, form->previewWidget()));
    }

    std::unique_ptr<MainForm> form;
    QSnapWidget* snap = nullptr;
    int from = 0;
};

TEST_F(SnapModeTest, TheWindowStandsAgainstTheRightAndBottomEdgesOfTheAvailableArea) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(snap->geometry().bottomRight(), available.bottomRight());
    EXPECT_EQ(snap->size(), QSize(320, 240));
    EXPECT_TRUE(traceLines().mid(from).last().startsWith(callWithWindow("ZoSetHwnd", 0, snap)));
    // A panel on the top or the left, a second screen to the right of the first.
    for (const QRect area :
         {QRect(0, 40, 1920, 1040), QRect(60, 0, 1860, 1080), QRect(1920, 0, 1280, 1024)}) {
        const QRect placed(QSnapWidget::cornerOf(area, QSize(320, 240)), QSize(320, 240));
        EXPECT_TRUE(area.contains(placed));
        EXPECT_EQ(placed.bottomRight(), area.bottomRight());
    }
}

// The hint is drawn over the live picture and lets the mouse through to the window.
TEST_F(SnapModeTest, TheHintShowsOverTheVideo) {
    auto* hint = snap->findChild<QWidget*>("snapHint");
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(QApplication::widgetAt(hint->mapToGlobal(QPoint(5, 5))), snap);
    const auto seen = [&] {
        return onScreen(hint, QRect(0, 0, 100, 20));
    };
    // The picture's noise moves pixels a little; the letters move them a lot.
    const auto lettersBetween = [](const QImage& a, const QImage& b) {
        int count = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                count += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 60;
        return count;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return looksLikeThePicture(onScreen(snap, snap->rect())); }))
        << "the camera draws into the window";
    const QImage withHint = seen();
    hint->hide();
    EXPECT_TRUE(QTest::qWaitFor([&] { return lettersBetween(withHint, seen()) > 30; }))
        << lettersBetween(withHint, seen());
    hint->show();
}

TEST_F(SnapModeTest, ClicksASecondApartGiveTwoPicturesAndADoubleClickLeavesWithoutOne) {
    click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(picture(0)).size() > 0; }));
    EXPECT_EQ(snap->findChild<QDrag*>(), nullptr)
        << "a quick click takes its picture without a drag";
    EXPECT_EQ(snap->cursor().shape(), Qt::OpenHandCursor);
    click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(picture(1)).size() > 0; }));
    EXPECT_TRUE(QFileInfo::exists(picture(0))) << "the pictures stay while the mode is on";

    QTest::mouseDClick(snap, Qt::LeftButton, {}, QPoint(160, 120));
    EXPECT_FALSE(pressTimer()->isActive()) << "so no picture follows";
    EXPECT_TRUE(leftToMainWindow());
}

TEST_F(SnapModeTest, EscapeOrClosingReturnsToTheMainWindow) {
    QTest::keyClick(snap, Qt::Key_Escape);
    EXPECT_TRUE(leftToMainWindow());
    form->switch2SnapMode({});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(snap));
    snap->close();
    EXPECT_TRUE(leftToMainWindow());
}

TEST_F(SnapModeTest, AFailedCaptureStartsNoDragAndSaysSo) {
    ASSERT_TRUE(camcore::testing::unplugVirtualCamera(0));
    ASSERT_TRUE(camcore::testing::unplugVirtualCamera(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->cameraLost(); }));
    QTest::mousePress(snap, Qt::LeftButton, {}, QPoint(160, 120));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages().isEmpty(); }));
    EXPECT_EQ(messages()[0].first, "Information");
    EXPECT_EQ(snap->findChild<QDrag*>(), nullptr);
    EXPECT_FALSE(QFileInfo::exists(picture(0)));
    EXPECT_EQ(snap->cursor().shape(), Qt::OpenHandCursor);
    QTest::mouseRelease(snap, Qt::LeftButton, {}, QPoint(160, 120));
}

TEST_F(SnapModeTest, ALinkPlantedAtThePictureIsReplacedNotFollowed) {
    const QString outside = tempRoot() + "/victim.txt";
    QFile victim(outside);
    ASSERT_TRUE(victim.open(QIODevice::WriteOnly));
    victim.write("keep me");
    victim.close();
    ASSERT_TRUE(QFile::link(outside, picture(0)));

    click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !QFileInfo(picture(0)).isSymLink(); }));
    EXPECT_GT(QFileInfo(picture(0)).size(), 0);
    EXPECT_EQ(testing_support::readFile(outside), "keep me");
}

// The press is the X server's, so the drag runs as it does for a user; the pointer moves on
// once each step was seen.
TEST_F(SnapModeTest, ADropOnAnotherWindowReceivesTheFileUrl) {
    DropTarget target;
    target.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&target));
    const QPoint press = snap->mapToGlobal(QPoint(160, 120));
    const QPoint drop = target.mapToGlobal(QPoint(150, 150));

    int step = 0;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (step == 0 && snap->findChild<QDrag*>() != nullptr) {
            step = 1;
            pointer({"mousemove", QString::number(drop.x()), QString::number(drop.y())});
        } else if (step == 1 && !target.entered) {
            pointer({"mousemove_relative", "--", "2", "2"});
        } else if (step == 1) {
            step = 2;
            pointer({"mouseup", "1"});
        }
    });
    driver.start(50);
    pointer(
        {"mousemove", QString::number(press.x()), QString::number(press.y()), "mousedown", "1"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !target.dropped.isEmpty(); }, 20000));
    ASSERT_EQ(target.dropped.size(), 1);
    EXPECT_EQ(target.dropped[0], QUrl::fromLocalFile(picture(0)));
    EXPECT_TRUE(target.dropped[0].toString().startsWith("file:///"));
    EXPECT_GT(QFileInfo(picture(0)).size(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return snap->cursor().shape() == Qt::OpenHandCursor; }));
}

} // namespace
