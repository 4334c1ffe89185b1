#include "CamCoreTesting.h"
#include "EngineFixture.h"
#include "ZoApi.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using namespace engine_test;
using camcore::testing::frameCounts;
using camcore::testing::turnVirtualPage;

namespace {

int g_calls = 0;
bool g_offThread = false;

void pageCallback(int32_t) {
    ++g_calls;
    g_offThread = g_offThread || QThread::currentThread() != qApp->thread();
}

// Lets the camera deliver `frames` more frames, handling the GUI thread's events meanwhile.
bool passFrames(int cam, int frames) {
    const std::uint64_t until = frameCounts(cam).frames + static_cast<std::uint64_t>(frames);
    return QTest::qWaitFor([&] { return frameCounts(cam).frames >= until; }, 20000);
}

} // namespace

// The page lying there when the switch goes on, and each new page after it, calls back once, on
// the GUI thread, on a camera without a window; stillness calls nothing; a page found just before
// the switch went off is dropped, and a camera switched off watches nothing.
TEST(EngineAutoCaptureTest, OneCallPerNewPageOnlyWhileOn) {
    ZoInit();
    const int cam = 2;
    ASSERT_EQ(ZoOpenCamera(cam, 0), 1);
    g_calls = 0;
    ZoSetAutoCapCB(cam, &pageCallback);
    ZoSetAutoCap(cam, true);
    ASSERT_TRUE(QTest::qWaitFor([] { return g_calls > 0; }, 20000)); // the page it starts on
    ASSERT_TRUE(passFrames(cam, 45)); // three seconds of the same page
    EXPECT_EQ(g_calls, 1);

    ASSERT_TRUE(turnVirtualPage(cam));
    ASSERT_TRUE(QTest::qWaitFor([] { return g_calls > 1; }, 20000));
    ASSERT_TRUE(passFrames(cam, 45));
    EXPECT_EQ(g_calls, 2);
    EXPECT_FALSE(g_offThread);

    // The GUI thread does not run while the capture thread finds the page and queues the call.
    ASSERT_TRUE(turnVirtualPage(cam));
    const std::uint64_t until = frameCounts(cam).frames + 30;
    const QDeadlineTimer deadline(20000);
    while (frameCounts(cam).frames < until && !deadline.hasExpired())
        QThread::yieldCurrentThread();
    ZoSetAutoCap(cam, false);
    QCoreApplication::processEvents();
    ASSERT_TRUE(turnVirtualPage(cam));
    ASSERT_TRUE(passFrames(cam, 30));
    EXPECT_EQ(g_calls, 2);

    EXPECT_TRUE(traceLines().contains(QStringLiteral("ZoSetAutoCap(2, false)")));
    ZoSetAutoCap(7, true);
    EXPECT_TRUE(traceLines().contains(QStringLiteral("ZoSetAutoCap(7, true) [no such camera]")));
    ZoCloseCamera(cam);
}
