#include "CamCoreTesting.h"
#include "CameraFixture.h"
#include "PanelItems.h"
#include "QBasePlate.h"
#include "QPanel.h"
#include "QTopPlate.h"
#include "QVisualizer.h"
#include "ScreenPixels.h"
#include "ZoApi.h"
#include "platform/X11Windows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QTextEdit>
#include <QWindow>
#include <QtTest/QTest>

#include <cmath>

namespace {

using namespace app_test;

QVisualizer* findVisualizer() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* visualizer = qobject_cast<QVisualizer*>(window))
            return visualizer;
    return nullptr;
}

double meanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            sum += std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) +
                   std::abs(p.blue() - q.blue());
        }
    return sum / (3.0 * a.width() * a.height());
}

bool isRed(QColor c) {
    return c.red() > 150 && c.green() < 90 && c.blue() < 90;
}

class PresentationTest : public CameraTest {
protected:
    void start(const QByteArray& settings = "DevIndex=0\n") {
        REQUIRE_DISPLAY();
        form = makeFormWith(2, settings);
        ASSERT_TRUE(waitForVideo(*form));
        visualizer = findVisualizer();
        ASSERT_NE(visualizer, nullptr);
        from = traceLines().size();
    }
    void TearDown() override {
        form.reset();
        CameraTest::TearDown();
    }
    // Enters through the button and waits for the engine to draw into the window.
    void enter() {
        button(*form, "pushButtonVisualizer")->click();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(visualizer));
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return looksLikeThePicture(onScreen(visualizer, probe())); }));
    }
    void choose(int item) { visualizer->panel()->onItem(item); }
    // A stroke from `from` to `to` on the input layer, as the mouse makes it.
    void stroke(QPoint a, QPoint b) {
        QWidget* layer = visualizer->topPlate();
        QTest::mousePress(layer, Qt::LeftButton, {}, a);
        for (int i = 1; i <= 20; ++i)
            QTest::mouseMove(layer, a + (b - a) * i / 20);
        QTest::mouseRelease(layer, Qt::LeftButton, {}, b);
    }
    QRect video() const {
        int l = 0, t = 0, r = 0, b = 0;
        ZoGetVideoRectEx(form->mainCamera(), l, t, r, b);
        return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
    }
    // A square in the middle of the video, where the page and its text lie.
    QRect probe() const { return QRect(video().center() - QPoint(60, 60), QSize(120, 120)); }

    std::unique_ptr<MainForm> form;
    QVisualizer* visualizer = nullptr;
    int from = 0;
};

TEST_F(PresentationTest, EnteringAndLeavingByBackOrEscapeHandsTheVideoOverAndKeepsTheDrawing) {
    start();
    const QString toVisualizer = callWithWindow("ZoSetHwnd", 0, visualizer);
    const QString toPreview = callWithWindow("ZoSetHwnd", 0, form->previewWidget());
    for (int round = 0; round < 3; ++round) {
        enter();
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(visualizer->geometry(), QGuiApplication::primaryScreen()->geometry());
        if (round == 0) {
            choose(panel::kPen);
            stroke(probe().topLeft(), probe().bottomRight());
        }
        EXPECT_EQ(visualizer->basePlate()->shapeCount(), 1);
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return isRed(
                onScreen(visualizer, QRect(probe().center(), QSize(1, 1))).pixelColor(0, 0));
        })) << "round "
            << round;
        // The layers share the window's surface: a native one would cover the video.
        for (QWidget* layer : {static_cast<QWidget*>(visualizer->basePlate()),
                               static_cast<QWidget*>(visualizer->topPlate()),
                               static_cast<QWidget*>(visualizer->panel())})
            EXPECT_FALSE(layer->testAttribute(Qt::WA_NativeWindow))
                << layer->objectName().toStdString();

        // Escape leaves as the back item does.
        if (round == 2) {
            visualizer->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(visualizer));
            QTest::keyClick(visualizer, Qt::Key_Escape);
        } else {
            choose(panel::kBack);
        }
        EXPECT_FALSE(visualizer->isVisible());
        EXPECT_TRUE(form->isVisible());
    }
    const QStringList lines = traceLines().mid(from).filter(QRegularExpression("^ZoSetHwnd\\(0, "));
    ASSERT_EQ(lines.size(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(lines[i].startsWith(i % 2 == 0 ? toVisualizer : toPreview))
            << lines[i].toStdString();
}

TEST_F(PresentationTest, TheVideoShowsThroughTheCanvasAfterPenAndEraser) {
    start();
    enter();
    const QRect area = probe();
    const QImage before = onScreen(visualizer, area);

    choose(panel::kPen);
    for (int y = area.top() + 10; y < area.bottom(); y += 20)
        stroke(QPoint(area.left(), y), QPoint(area.right(), y));
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return meanDifference(before, onScreen(visualizer, area)) > 20.0;
    })) << "the strokes are seen";

    choose(panel::kEraser);
    for (int y = area.top(); y <= area.bottom() + 20; y += 10)
        stroke(QPoint(area.left() - 20, y), QPoint(area.right() + 20, y));
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return meanDifference(before, onScreen(visualizer, area)) < 12.0;
    })) << "the erased place shows the camera's picture again, not a hole: "
        << meanDifference(before, onScreen(visualizer, area));
    EXPECT_TRUE(looksLikeThePicture(onScreen(visualizer, area)));
}

TEST_F(PresentationTest, TheFloatingSubWindowComesBackOnlyWhenItsBoxIsChecked) {
    start("DevIndex=0\nOpenSub=1\n");
    QWidget* small = form->smallWidget();
    button(*form, "checkBoxInVideo")->click();
    ASSERT_TRUE(small->isVisible());

    enter();
    EXPECT_FALSE(small->isVisible()) << "no window stands alone over the full-screen video";
    choose(panel::kBack);
    EXPECT_TRUE(small->isVisible());

    button(*form, "checkBoxInVideo")->click();
    ASSERT_FALSE(small->isVisible());
    enter();
    choose(panel::kBack);
    EXPECT_FALSE(small->isVisible());
}

TEST_F(PresentationTest, TheToolbarStaysOnTopAndTheCursorFollowsTheTool) {
    start();
    enter();
    QTopPlate* layer = visualizer->topPlate();
    QPanel* toolbar = visualizer->panel();
    const auto toolbarTakesTheClick = [&] {
        return QApplication::widgetAt(toolbar->mapToGlobal(panel::itemRect(0).center())) == toolbar;
    };
    EXPECT_TRUE(toolbarTakesTheClick());
    layer->raise(); // as a window manager or a click may do
    ASSERT_FALSE(toolbarTakesTheClick());
    choose(panel::kLine);
    stroke(probe().topLeft(), probe().center());
    EXPECT_TRUE(toolbarTakesTheClick()) << "raised again after the release";

    const struct {
        int item;
        Qt::CursorShape shape;
        QPoint hotSpot; // of the pictures: the pencil's tip, the eraser's centre
    } cursors[] = {{panel::kLine, Qt::CrossCursor, {}},
                   {panel::kText, Qt::IBeamCursor, {}},
                   {panel::kPen, Qt::BitmapCursor, {0, 24}},
                   {panel::kEraser, Qt::BitmapCursor, {22, 22}},
                   {panel::kMouse, Qt::ArrowCursor, {}}};
    for (const auto& expected : cursors) {
        choose(expected.item);
        EXPECT_EQ(layer->cursor().shape(), expected.shape) << expected.item;
        if (expected.shape == Qt::BitmapCursor) {
            EXPECT_EQ(layer->cursor().hotSpot(), expected.hotSpot) << expected.item;
        }
    }
    // A drag shows the cursor of the shape it draws.
    choose(panel::kEraser);
    choose(panel::kMouse);
    visualizer->basePlate()->setTool(0);
    stroke(probe().center(), probe().center() + QPoint(20, 5));
    EXPECT_EQ(layer->cursor().hotSpot(), QPoint(0, 24));
}

// The text box takes its own clicks: one in it places the caret and opens no other box. Closing
// the window as a window manager does leaves the mode: the main window and its video come back,
// and the program runs on.
TEST_F(PresentationTest, TheTextBoxTakesItsClicksAndClosingTheWindowLeavesTheMode) {
    start();
    enter();
    choose(panel::kText);
    QWindow* window = visualizer->windowHandle();
    QTest::mouseClick(window, Qt::LeftButton, {}, probe().center());
    const QPointer<QTextEdit> box = visualizer->basePlate()->findChild<QTextEdit*>();
    ASSERT_FALSE(box.isNull());
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->hasFocus(); }));
    QTest::keyClicks(box, QStringLiteral("bc"));

    QWidget* page = box->viewport();
    QTest::mouseClick(window, Qt::LeftButton, {},
                      page->mapTo(visualizer, QPoint(1, page->height() / 2)));
    ASSERT_EQ(visualizer->basePlate()->shapeCount(), 1) << "the click opened another box";
    ASSERT_FALSE(box.isNull());
    QTest::keyClicks(box, QStringLiteral("a"));
    EXPECT_EQ(box->toPlainText(), QStringLiteral("abc")) << "the caret stayed at the end";

    const QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    const std::optional<std::uint32_t> id = platform::findWindowByTitle("QVisualizer");
    ASSERT_TRUE(id.has_value());
    ASSERT_TRUE(platform::requestWindowClose(*id));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !visualizer->isVisible(); }));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(lastClosed.count(), 0);
    const QStringList moved = traceLines().mid(from).filter(QRegularExpression("^ZoSetHwnd\\(0, "));
    ASSERT_FALSE(moved.isEmpty());
    EXPECT_TRUE(moved.last().startsWith(callWithWindow("ZoSetHwnd", 0, form->previewWidget())));
}

TEST_F(PresentationTest, AReplugDuringTheModeReopensIntoThePresentationWindow) {
    start();
    enter();
    ASSERT_TRUE(camcore::testing::unplugVirtualCamera(0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->cameraLost(); }));
    ASSERT_TRUE(camcore::testing::replugVirtualCamera(0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->cameraLost(); }));
    const QStringList opened =
        traceLines().mid(from).filter(QRegularExpression("^ZoOpenCamera\\("));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].startsWith(callWithWindow("ZoOpenCamera", 0, visualizer)))
        << opened[0].toStdString();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return looksLikeThePicture(onScreen(visualizer, probe())); }));
}

// With split capture on too: the drawing lies over the whole frame, which is what is saved.
TEST_F(PresentationTest, CtrlSSavesTheFrameWithTheStrokeWhereItWasDrawn) {
    start();
    form->findChild<QAbstractButton*>(QStringLiteral("checkBoxSplitCap"))->click();
    enter();
    choose(panel::kLine);
    const QRect area = probe();
    const QPoint a(area.left(), area.center().y()), b(area.right(), area.center().y());
    stroke(a, b);
    const QStringList before = QDir(papyraDir()).entryList({"*.jpg"}, QDir::Files);

    visualizer->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(visualizer));
    QTest::keyClick(visualizer, Qt::Key_S, Qt::ControlModifier);
    // The frame is saved behind the window, then the strokes are drawn on it.
    QStringList after;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        after = QDir(papyraDir()).entryList({"*.jpg"}, QDir::Files);
        return after.size() > before.size();
    })) << messages().size();
    ASSERT_EQ(after.size(), before.size() + 1) << messages().size();
    QString saved;
    for (const QString& name : after)
        if (!before.contains(name))
            saved = papyraDir() + "/" + name;
    const QImage picture(saved);
    ASSERT_FALSE(picture.isNull());

    const QString frame = QDir::tempPath() + "/frame.jpg";
    ZoEnableSplitCap(0, false);
    ASSERT_GT(ZoCapture(0, frame.toLocal8Bit().constData()), 0);
    EXPECT_EQ(picture.size(), QImage(frame).size());

    // Screen places through the video rectangle onto the frame.
    const QRect shown = video();
    const auto onFrame = [&](QPoint p) {
        return QPoint((p.x() - shown.left()) * picture.width() / shown.width(),
                      (p.y() - shown.top()) * picture.height() / shown.height());
    };
    for (int i = 1; i < 8; ++i) {
        const QPoint along = onFrame(a + (b - a) * i / 8);
        EXPECT_TRUE(isRed(picture.pixelColor(along))) << "on the stroke at " << i;
    }
    const QPoint off = onFrame(area.center() + QPoint(0, 40));
    EXPECT_FALSE(isRed(picture.pixelColor(off)));

    // A collected PDF keeps its name from capture to capture; no save replaces an earlier one.
    form->findChild<QComboBox*>(QStringLiteral("comboBoxFmt"))->setCurrentIndex(2);
    QTest::keyClick(visualizer, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(visualizer, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return QDir(papyraDir()).entryList({"*.jpg"}, QDir::Files).size() == after.size() + 2;
    })) << QDir(papyraDir()).entryList({"*.jpg"}, QDir::Files).join(", ").toStdString();
}

} // namespace
