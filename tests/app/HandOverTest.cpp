#include "AppFixture.h"
#include "XcbDriverWindow.h"

#include "Commit.h"
#include "platform/X11Windows.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <functional>

namespace {

using testing_support::readFile;

using namespace app_test;

class HandOverTest : public AppTest {
protected:
    void SetUp() override {
        REQUIRE_DISPLAY();
        AppTest::SetUp();
        writeSettings("[Zo twain driver param]\nFileNameCount=17\n");
        ASSERT_TRUE(m_driver.isValid());
        ASSERT_EQ(platform::findWindowByTitle("ZoTwainDriver"), m_driver.id());
    }

    // Three captured files in the strip, the middle one unchecked by the user. Empty when the
    // strip library is not built.
    QByteArray fillStrip(MainForm& form) {
        ThumbnailLibrary& strip = form.thumbnails();
        if (!strip.isLoaded())
            return {};
        QByteArray expected;
        for (int i = 0; i < 3; ++i) {
            const QString path = m_files.filePath(QStringLiteral("Image%1.jpg").arg(i));
            QImage image(80, 60, QImage::Format_RGB32);
            image.fill(Qt::darkYellow);
            EXPECT_TRUE(image.save(path));
            strip.addChecked(path.toLocal8Bit());
            if (i != 1)
                expected += path.toLocal8Bit() + "@@";
        }
        strip.setItemChecked(1, 0);
        return expected;
    }

    // Runs `handOver` once and waits for the driver window's close request; the list must be
    // complete by the time it arrives.
    void expectHandedOver(MainForm& form, const QByteArray& expected,
                          const std::function<void()>& handOver) {
        QByteArray listAtRequest;
        handOver();
        const bool asked = QTest::qWaitFor(
            [&] {
                listAtRequest = readFile(commitFilePath());
                return m_driver.closeRequests() > 0;
            },
            10000);
        EXPECT_TRUE(asked) << "the driver window was asked to close";
        if (expected.isEmpty()) {
            std::printf("[  NOTE    ] strip library missing: no items to hand over\n");
            return;
        }
        EXPECT_EQ(listAtRequest, expected);
        EXPECT_EQ(form.thumbnails().imgCount(), 0);
        EXPECT_EQ(form.settings().fileNameCount, 0) << "the naming counter starts again";
    }

    XcbDriverWindow m_driver;
    QTemporaryDir m_files;
};

TEST_F(HandOverTest, ClosingHandsTheCheckedItemsToTheDriver) {
    auto form = makeForm();
    const QByteArray expected = fillStrip(*form);
    expectHandedOver(*form, expected, [&] {
        form->show();
        form->close();
    });
}

// Minimising hides the window; the hand-over follows, and the window itself stays open.
TEST_F(HandOverTest, MinimisingHandsOverWithoutClosingTheWindow) {
    auto form = makeForm();
    const QByteArray expected = fillStrip(*form);
    expectHandedOver(*form, expected, [&] {
        form->showNormal();
        form->showMinimized();
    });
    EXPECT_TRUE(form->isMinimized());
    EXPECT_TRUE(form->isVisible());
}

TEST_F(HandOverTest, WithoutDriverWindowNothingIsHandedOver) {
    m_driver.destroy();
    ASSERT_FALSE(platform::findWindowByTitle("ZoTwainDriver").has_value());
    auto form = makeForm();
    fillStrip(*form);
    form->close();
    QCoreApplication::processEvents(); // the posted close event runs
    EXPECT_FALSE(QFile::exists(commitFilePath()));
    EXPECT_EQ(form->settings().fileNameCount, 17);
}

// A driver that never got the list must not be told to close, or the batch is lost unseen.
TEST_F(HandOverTest, UnwritableListIsReportedAndTheDriverStaysOpen) {
    auto form = makeForm();
    fillStrip(*form);
    ASSERT_TRUE(QDir().mkpath(commitFilePath())); // a folder where the list should go
    form->close();
    QCoreApplication::processEvents(); // the posted close event runs
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages().isEmpty(); }));
    EXPECT_EQ(messages()[0].second, QStringLiteral("The list for the driver program could not be "
                                                   "written; nothing was handed over."));
    EXPECT_EQ(m_driver.closeRequests(), 0);
    EXPECT_EQ(form->settings().fileNameCount, 17);
    QDir(commitFilePath()).removeRecursively();
}

} // namespace
