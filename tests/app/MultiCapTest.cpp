#include "CamCoreTesting.h"
#include "CameraFixture.h"
#include "Commit.h"
#include "RunClock.h"
#include "SendCommand.h"

#include "QMultiCapDialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest/QTest>

namespace {

using namespace app_test;

// Stands in for the dialog's timer: time passes when the test says so, a second at a time.
class ManualClock final : public RunClock {
public:
    void start(int milliseconds, std::function<void()> tick) override {
        m_period = milliseconds;
        m_tick = std::move(tick);
        m_elapsed = 0;
        m_running = true;
    }
    void stop() override { m_running = false; }
    void pass(int seconds) {
        for (int s = 0; s < seconds; ++s) {
            m_elapsed += 1000;
            if (m_running && m_period > 0 && m_elapsed % m_period == 0)
                m_tick();
        }
    }

private:
    int m_period = 0;
    int m_elapsed = 0;
    bool m_running = false;
    std::function<void()> m_tick;
};

class MultiCapTest : public CameraTest {
protected:
    void TearDown() override {
        form.reset();
        CameraTest::TearDown();
    }
    void start(const QByteArray& settings) {
        form = makeFormWith(2, settings);
        ASSERT_TRUE(waitForVideo(*form));
        button(*form, "pushButtonAutoScan")->click();
        dialog = form->findChild<QMultiCapDialog*>();
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(dialog->isVisible());
        auto owned = std::make_unique<ManualClock>();
        clock = owned.get();
        dialog->setClock(std::move(owned));
    }
    template <typename T> T* part(const char* name) {
        return dialog->findChild<T*>(QString::fromLatin1(name));
    }
    QString label() { return part<QLabel>("labelCapCount")->text(); }
    QString startButton() { return part<QAbstractButton>("pushButtonStart")->text(); }
    void press() { part<QAbstractButton>("pushButtonStart")->click(); }
    static int pictures() {
        return QDir(papyraDir()).entryList({QStringLiteral("*.jpg")}, QDir::Files).size();
    }

    std::unique_ptr<MainForm> form;
    QMultiCapDialog* dialog = nullptr;
    ManualClock* clock = nullptr;
};

// Interval 3, count 5: pictures at 3, 6, 9, 12 and 15 s and no more; a count of 1 takes one
// picture; a run stopped early keeps its last count. The dialog cannot be closed, by its close
// button or by Escape, and its mode cannot be changed while a run is on; a language switch keeps
// the run going.
TEST_F(MultiCapTest, TimedRunsTakeTheirCountOnTheClockAndHoldTheDialogUntilStopped) {
    start("DevIndex=0\nInterval=3\nCapCount=5\n");
    EXPECT_EQ(startButton(), "Start");
    press();
    EXPECT_EQ(label(), "Start taking photos");
    EXPECT_EQ(startButton(), "Stop");
    EXPECT_FALSE(part<QAbstractButton>("radioButtonSmart")->isEnabled());
    EXPECT_FALSE(part<QGroupBox>("groupBoxTimerSetting")->isEnabled());

    QList<int> takenAt;
    for (int second = 1; second <= 30; ++second) {
        const int before = pictures();
        clock->pass(1);
        ASSERT_TRUE(waitForCaptures(*form));
        if (pictures() > before)
            takenAt.append(second);
    }
    EXPECT_EQ(takenAt, QList<int>({3, 6, 9, 12, 15}));
    EXPECT_EQ(label(), "5 photos taken, photography completed");
    EXPECT_EQ(startButton(), "Start");
    EXPECT_TRUE(part<QGroupBox>("groupBoxTimerSetting")->isEnabled());

    part<QLineEdit>("lineEditPages")->setText("1");
    press();
    clock->pass(3);
    ASSERT_TRUE(waitForCaptures(*form));
    EXPECT_EQ(pictures(), 6);
    EXPECT_EQ(label(), "1 photo taken, photography completed");

    part<QLineEdit>("lineEditPages")->setText("100");
    press();
    clock->pass(6);
    form->onChinese();
    EXPECT_EQ(startButton(), "停止");
    EXPECT_EQ(label(), "已拍照 2 张");
    clock->pass(3);
    EXPECT_EQ(label(), "已拍照 3 张");

    dialog->close();
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    const QPair<QString, QString> refusal{"提示", "请先停止连拍!"};
    EXPECT_EQ(messages(), QList({refusal, refusal}));

    press();
    EXPECT_EQ(startButton(), "启动");
    clock->pass(30);
    ASSERT_TRUE(waitForCaptures(*form));
    EXPECT_EQ(pictures(), 9);
    EXPECT_EQ(label(), "已拍照 3 张") << "a timed run stopped early keeps its count";
    EXPECT_TRUE(part<QAbstractButton>("radioButtonSmart")->isEnabled());
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());
    button(*form, "pushButtonAutoScan")->click();
    EXPECT_EQ(label(), "已拍照 3 张") << "closing only hid the dialog";
}

// Fields take a whole 32-bit number in range, else the interval shows 1 and the count 9999;
// stored values out of range are corrected when the dialog is built, and written back so, as is
// the mode chosen last.
TEST_F(MultiCapTest, FieldsAndStoredValuesOutOfRangeAreCorrected) {
    start("DevIndex=0\nInterval=0\nCapCount=-4\nMultiCapMode=7\n");
    EXPECT_EQ(part<QLineEdit>("lineEditTime")->text(), "1");
    EXPECT_EQ(part<QLineEdit>("lineEditPages")->text(), "9999");
    EXPECT_TRUE(part<QAbstractButton>("radioButtonTimer")->isChecked());

    QLineEdit* time = part<QLineEdit>("lineEditTime");
    QLineEdit* pages = part<QLineEdit>("lineEditPages");
    for (const char* bad : {"0", "a", "", "3abc", "-2", "99999999999", "2147484"}) {
        time->setText("7");
        time->setText(bad);
        EXPECT_EQ(time->text(), "1") << bad;
        EXPECT_EQ(form->settings().interval, 1) << bad;
    }
    time->setText("2147483");
    EXPECT_EQ(form->settings().interval, 2147483);
    for (const char* bad : {"0", "x", "", "12x", "-5", "99999999999"}) {
        pages->setText("7");
        pages->setText(bad);
        EXPECT_EQ(pages->text(), "9999") << bad;
        EXPECT_EQ(form->settings().capCount, 9999) << bad;
    }
    time->setText("4");
    pages->setText("12");
    part<QAbstractButton>("radioButtonSmart")->click();
    EXPECT_FALSE(part<QGroupBox>("groupBoxTimerSetting")->isEnabled());
    part<QAbstractButton>("radioButtonBook")->click();
    EXPECT_FALSE(part<QGroupBox>("groupBoxTimerSetting")->isEnabled());
    form.reset();
    EXPECT_EQ(settingsValue("Interval"), "4");
    EXPECT_EQ(settingsValue("CapCount"), "12");
    EXPECT_EQ(settingsValue("MultiCapMode"), "2");
}

// A run whose every capture fails runs to its count and says so in its progress line; no box
// stacks up over the window.
TEST_F(MultiCapTest, FailedCapturesAreCountedWithoutMessageBoxes) {
    start("DevIndex=0\nInterval=1\nCapCount=3\n");
    ASSERT_TRUE(camcore::testing::unplugVirtualCamera(0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->cameraLost(); }));
    press();
    clock->pass(1);
    EXPECT_EQ(label(), "1 photo taken (1 failed)");
    clock->pass(5);
    EXPECT_EQ(label(), "3 photos taken (3 failed), photography completed");
    EXPECT_EQ(startButton(), "Start");
    EXPECT_EQ(pictures(), 0);
    EXPECT_TRUE(messages().isEmpty());
}

// A smart run captures the page lying there once the camera has settled on it, then each new page
// the main camera sees, into the work folder; after the main and sub cameras swapped, its stop
// still reaches the camera it started on.
TEST_F(MultiCapTest, SmartRunTakesNewPagesAndStopsOnTheCameraItStartedOn) {
    start("DevIndex=0\nOpenSub=1\nMultiCapMode=1\n");
    const int from = traceLines().size();
    press();
    EXPECT_EQ(label(), "Start taking photos");
    EXPECT_TRUE(callsSince(from).contains("ZoSetAutoCap(0, true)"));
    ASSERT_TRUE(QTest::qWaitFor([] { return pictures() == 1; }, 20000));
    EXPECT_EQ(label(), "1 photo taken");
    ASSERT_TRUE(camcore::testing::turnVirtualPage(0));
    ASSERT_TRUE(QTest::qWaitFor([] { return pictures() == 2; }, 20000));
    EXPECT_EQ(label(), "2 photos taken");
    const std::uint64_t later = camcore::testing::frameCounts(0).frames + 45;
    ASSERT_TRUE(QTest::qWaitFor([&] { return camcore::testing::frameCounts(0).frames > later; }));
    EXPECT_EQ(pictures(), 2) << "three seconds of the same page took it again";

    combo(*form, "comboBoxDev")->setCurrentIndex(1);
    ASSERT_EQ(form->mainCamera(), 1);
    press();
    EXPECT_TRUE(callsSince(from).contains("ZoSetAutoCap(0, false)"));
    EXPECT_EQ(label(), "2 photos taken, photography completed");
}

// A book run owns the camera's capture switches: while it runs, the panel's controls that would
// send the window's own are locked, and a click or a key on them changes neither what they show
// nor anything the camera was told; nor does the capture button. The camera plugged in again ends
// the run, and they work again.
TEST_F(MultiCapTest, BookRunLocksThePanelsCaptureSwitchesUntilItsCameraIsPluggedAgain) {
    start("DevIndex=0\nMultiCapMode=2\n");
    const QList<QAbstractButton*> boxes = {
        button(*form, "checkBoxSplitCap"), button(*form, "checkBoxFlatten"),
        button(*form, "checkBoxUpright"), button(*form, "checkBoxDelBack"),
        button(*form, "checkBoxAutoCrop")};
    const QList<QComboBox*> lists = {combo(*form, "comboBoxFmt"), combo(*form, "comboBoxColor"),
                                     combo(*form, "comboBoxDPI")};
    const auto shown = [&] {
        QList<int> states;
        for (const QAbstractButton* box : boxes)
            states.append(box->isChecked());
        for (const QComboBox* list : lists)
            states.append(list->currentIndex());
        return states;
    };
    const QList<int> before = shown();

    press();
    // The page lying there is the book's first; the switches are locked from the start, and
    // nothing below may reach the camera once it has been taken.
    EXPECT_FALSE(boxes.first()->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return label().endsWith("in the book"); }, 20000));
    ASSERT_TRUE(waitForCaptures(*form));
    const int from = traceLines().size();
    for (QAbstractButton* box : boxes) {
        EXPECT_FALSE(box->isEnabled()) << box->objectName().toStdString();
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_Space);
    }
    for (QComboBox* list : lists) {
        EXPECT_FALSE(list->isEnabled()) << list->objectName().toStdString();
        QTest::keyClick(list, Qt::Key_Down);
    }
    button(*form, "pushButtonScan")->click(); // would end the book's document with a PDF
    EXPECT_EQ(shown(), before);
    const QStringList calls = callsSince(from);
    EXPECT_TRUE(calls.isEmpty()) << "reached the camera: " << calls.join(", ").toStdString();

    // The camera plugged in again ends the run, as its document ended with the device.
    ASSERT_TRUE(camcore::testing::unplugVirtualCamera(0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->cameraLost(); }));
    ASSERT_TRUE(camcore::testing::replugVirtualCamera(0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->cameraLost(); }));
    EXPECT_FALSE(dialog->running());
    for (const QWidget* control : boxes)
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    for (const QWidget* control : lists)
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    const int after = traceLines().size();
    QTest::mouseClick(button(*form, "checkBoxSplitCap"), Qt::LeftButton);
    EXPECT_TRUE(callsSince(after).contains("ZoEnableSplitCap(0, true)"));
}

// "Exit" from another program during a smart run ends the program as usual: exit code 0, the
// camera stops watching before it closes, settings written, nothing handed to a driver.
TEST_F(MultiCapTest, ExitCommandDuringARunEndsTheProgramNormally) {
    start("DevIndex=0\nMultiCapMode=1\nCapCount=40\n");
    press();
    QTimer::singleShot(0, [] { sendCommand("Exit"); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    const int from = traceLines().size();
    form.reset();
    const QStringList calls = callsSince(from);
    const auto stopped = calls.indexOf("ZoSetAutoCap(0, false)");
    EXPECT_GE(stopped, 0);
    EXPECT_LT(stopped, calls.indexOf("ZoCloseCamera(0)"));
    EXPECT_EQ(settingsValue("MultiCapMode"), "1");
    EXPECT_EQ(settingsValue("CapCount"), "40");
    EXPECT_FALSE(QFile::exists(commitFilePath()));
}

} // namespace
