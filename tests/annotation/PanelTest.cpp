#include "Pixels.h"

#include "PanelItems.h"
#include "QBasePlate.h"
#include "QPanel.h"
#include "Settings.h"
#include "Tools.h"
#include "support/QtMessages.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolTip>

#include <gtest/gtest.h>

#include <functional>

namespace {

// The dialog an item opens is modal; a timer answers it as a user would.
template <class Dialog> void answerDialog(std::function<void(Dialog&)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(*dialog);
    });
}

void clickButton(QDialog& dialog, const char* name) {
    dialog.findChild<QPushButton*>(name)->click();
}

class PanelTest : public ::testing::Test {
protected:
    PanelTest() {
        panel.setBasePlate(&canvas);
        panel.resize(120, panel::panelHeight());
    }

    void click(QPoint at) { QTest::mouseClick(&panel, Qt::LeftButton, Qt::NoModifier, at); }
    void clickItem(int i) { click(panel::itemRect(i).center()); }

    // The highlight is a darker square 2 pixels wider than the item on every side.
    bool highlighted(int i) {
        const QRect item = panel::itemRect(i);
        return qAlpha(paintedBy(panel).pixel(item.left() - 1, item.center().y())) > 150;
    }

    Settings settings;
    QBasePlate canvas{settings};
    QPanel panel{settings};
};

} // namespace

TEST_F(PanelTest, ItemsAreHitWithTheirEdgesAndSelectTheirTools) {
    const std::pair<int, int> tools[] = {
        {panel::kMouse, tool::kNone},        {panel::kPen, tool::kPen},
        {panel::kLine, tool::kLine},         {panel::kText, tool::kText},
        {panel::kTriangle, tool::kTriangle}, {panel::kRectangle, tool::kRectangle},
        {panel::kEllipse, tool::kEllipse},   {panel::kEraser, tool::kEraser}};
    for (const auto& [item, tool] : tools) {
        SCOPED_TRACE(item);
        canvas.setTool(99);
        clickItem(item);
        EXPECT_EQ(canvas.tool(), tool);
        for (int i = 0; i < panel::kItemCount; ++i)
            EXPECT_EQ(highlighted(i), i == item) << i;
    }

    const QRect rect = panel::itemRect(panel::kRectangle);
    EXPECT_EQ(rect, QRect(15, 116, 25, 25));
    click(rect.bottomRight());
    EXPECT_EQ(canvas.tool(), tool::kRectangle);
    click(panel::itemRect(panel::kPen).topLeft());
    EXPECT_EQ(canvas.tool(), tool::kPen);

    // Between the columns and between the rows nothing is hit and the highlight stays.
    click(rect.topRight() + QPoint(1, 0));
    click(rect.bottomLeft() + QPoint(0, 1));
    EXPECT_EQ(canvas.tool(), tool::kPen);
    EXPECT_TRUE(highlighted(panel::kPen));
}

// The pictures alone say little: hovering any item names it in the window's language, and only
// in it. Undo takes back the last shape, as Ctrl+Z does, without moving the highlight off the
// tool.
TEST_F(PanelTest, EveryItemIsNamedInTheWindowsLanguageAndUndoTakesBackTheLastShape) {
    // The offscreen platform cannot raise the tool tip's window.
    const testing_support::ExpectQtWarning noRaise(QStringLiteral("does not support raise()"));
    panel.show();
    const auto tipAt = [this](int item) {
        const QPoint at = panel::itemRect(item).center();
        QHelpEvent help(QEvent::ToolTip, at, panel.mapToGlobal(at));
        QApplication::sendEvent(&panel, &help);
        const QString tip = QToolTip::text();
        QToolTip::hideText();
        return tip;
    };
    for (const int language : {0, 1}) {
        settings.language = language;
        QStringList tips;
        for (int i = 0; i < panel::kItemCount; ++i) {
            const QString tip = tipAt(i);
            const bool chinese = std::any_of(tip.begin(), tip.end(), [](QChar c) {
                return c.unicode() >= 0x4e00 && c.unicode() <= 0x9fff;
            });
            EXPECT_FALSE(tip.isEmpty()) << i;
            EXPECT_EQ(chinese, language == 0) << tip.toStdString();
            EXPECT_FALSE(tips.contains(tip)) << tip.toStdString() << " names two items";
            tips << tip;
        }
    }
    EXPECT_EQ(tipAt(panel::kQuit), "Quit the program");
    EXPECT_EQ(tipAt(panel::kBack), "Back");
    EXPECT_EQ(tipAt(panel::kUndo), "Undo");
    settings.language = 0;
    EXPECT_EQ(tipAt(panel::kQuit), QStringLiteral("退出程序"));
    EXPECT_EQ(tipAt(panel::kBack), QStringLiteral("返回"));
    EXPECT_EQ(tipAt(panel::kUndo), QStringLiteral("撤销"));

    clickItem(panel::kRectangle);
    for (const int x : {30, 60}) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(x, 30), QPointF(x, 30), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        canvas.mousePressEvent(&press);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(x + 20, 50), QPointF(x + 20, 50),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        canvas.mouseReleaseEvent(&release);
    }
    ASSERT_EQ(canvas.shapeCount(), 2);
    clickItem(panel::kUndo);
    EXPECT_EQ(canvas.shapeCount(), 1);
    EXPECT_EQ(canvas.tool(), tool::kRectangle);
    EXPECT_TRUE(highlighted(panel::kRectangle));
    EXPECT_FALSE(highlighted(panel::kUndo));
}

TEST_F(PanelTest, CleanAndDialogItemsKeepTheHighlightAndCancelChangesNothing) {
    clickItem(panel::kRectangle);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(30, 30), QPointF(30, 30), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    canvas.mousePressEvent(&press);
    ASSERT_EQ(canvas.shapeCount(), 1);
    clickItem(panel::kClean);
    EXPECT_EQ(canvas.shapeCount(), 0);

    const Settings before = settings;
    answerDialog<QDialog>([](QDialog& d) {
        d.findChild<QComboBox*>("comboBoxLineWidth")->setCurrentIndex(11);
        clickButton(d, "pushButtonCancel");
    });
    clickItem(panel::kLineWidth);
    answerDialog<QColorDialog>([](QColorDialog& d) {
        d.setCurrentColor(Qt::green);
        d.reject();
    });
    clickItem(panel::kColour);
    answerDialog<QDialog>([](QDialog& d) {
        d.findChild<QSlider*>("horizontalSliderOpcity")->setValue(40);
        clickButton(d, "pushButtonCancel");
    });
    clickItem(panel::kOpacity);

    EXPECT_EQ(settings.lineWidth, before.lineWidth);
    EXPECT_EQ(settings.opcity, before.opcity);
    EXPECT_EQ(QColor(settings.rval, settings.gval, settings.bval),
              QColor(before.rval, before.gval, before.bval));
    EXPECT_EQ(canvas.lineWidth(), before.lineWidth);
    EXPECT_EQ(canvas.opacity(), before.opcity);
    EXPECT_EQ(canvas.color(), QColor(before.rval, before.gval, before.bval));
    EXPECT_EQ(canvas.tool(), tool::kRectangle);
    EXPECT_TRUE(highlighted(panel::kRectangle));
    for (const int item : {panel::kClean, panel::kLineWidth, panel::kColour, panel::kOpacity})
        EXPECT_FALSE(highlighted(item));
}

TEST_F(PanelTest, DialogsStoreWhatIsChosenInTheSettingsAndTheCanvas) {
    settings.language = 1;
    QString title;
    answerDialog<QDialog>([&](QDialog& d) {
        title = d.windowTitle();
        d.findChild<QComboBox*>("comboBoxLineWidth")->setCurrentIndex(8);
        clickButton(d, "pushButtonOK");
    });
    clickItem(panel::kLineWidth);
    EXPECT_EQ(title, "Set line width");
    EXPECT_EQ(settings.lineWidth, 9);
    EXPECT_EQ(canvas.lineWidth(), 9);

    answerDialog<QColorDialog>([](QColorDialog& d) {
        d.setOption(QColorDialog::ShowAlphaChannel);
        d.setCurrentColor(QColor(10, 20, 30, 40));
        d.accept();
    });
    clickItem(panel::kColour);
    EXPECT_EQ(settings.rval, 10);
    EXPECT_EQ(settings.gval, 20);
    EXPECT_EQ(settings.bval, 30);
    EXPECT_EQ(canvas.color().rgb(), QColor(10, 20, 30).rgb());

    // The slider stops at 1: a stroke cannot be made fully transparent.
    QString shown;
    answerDialog<QDialog>([&](QDialog& d) {
        QTest::keyClick(d.findChild<QSlider*>("horizontalSliderOpcity"), Qt::Key_Home);
        shown = d.findChild<QLabel*>("labelOpcity")->text();
        clickButton(d, "pushButtonOK");
    });
    clickItem(panel::kOpacity);
    EXPECT_EQ(shown, "1");
    EXPECT_EQ(settings.opcity, 1);
    EXPECT_EQ(canvas.opacity(), 1);
}

TEST_F(PanelTest, OnlyTheTextItemLeavesTheTextBoxOpenAndEveryItemIsReported) {
    QSignalSpy chosen(&panel, &QPanel::itemChosen);
    QSignalSpy leave(&panel, &QPanel::leaveRequested);
    QSignalSpy quit(&panel, &QPanel::quitRequested);
    clickItem(panel::kText);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(30, 30), QPointF(30, 30), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    canvas.mousePressEvent(&press);
    ASSERT_NE(canvas.findChild<QTextEdit*>(), nullptr);
    clickItem(panel::kText);
    EXPECT_NE(canvas.findChild<QTextEdit*>(), nullptr);
    clickItem(panel::kBack);
    EXPECT_EQ(canvas.findChild<QTextEdit*>(), nullptr);
    EXPECT_EQ(leave.count(), 1);
    EXPECT_TRUE(highlighted(panel::kBack));
    clickItem(panel::kQuit);
    EXPECT_EQ(quit.count(), 1);
    ASSERT_EQ(chosen.count(), 4);
    EXPECT_EQ(chosen.at(2).at(0).toInt(), panel::kBack);
}

TEST_F(PanelTest, EveryItemShowsItsOwnPictures) {
    // An off picture differs from its on picture, and no two items look alike.
    QList<QImage> seen;
    for (int i = 0; i < panel::kItemCount; ++i) {
        for (const bool on : {false, true}) {
            const QImage picture(panel::picturePath(i, on));
            ASSERT_FALSE(picture.isNull()) << panel::picturePath(i, on).toStdString();
            EXPECT_EQ(picture.size(), QSize(25, 25));
            EXPECT_FALSE(seen.contains(picture)) << panel::picturePath(i, on).toStdString();
            seen.append(picture);
        }
    }
    // The panel shows them: the off picture of an item is opaque where the background is not.
    const QImage painted = paintedBy(panel);
    const QRect quit = panel::itemRect(panel::kQuit);
    int opaque = 0;
    for (int y = quit.top(); y <= quit.bottom(); ++y)
        for (int x = quit.left(); x <= quit.right(); ++x)
            opaque += qAlpha(painted.pixel(x, y)) > 200 ? 1 : 0;
    EXPECT_GT(opaque, 100);
}
