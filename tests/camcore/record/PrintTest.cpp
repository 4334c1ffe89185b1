#include "ZoApi.h"

#include <QImage>
#include <QThread>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

struct Printed {
    QImage picture;
    int dpi = 0;
    bool onGuiThread = false;
};
Printed g_printed;

int keepPicture(const unsigned char* rgb, int width, int height, int bytesPerLine, int dpi) {
    g_printed = {QImage(rgb, width, height, bytesPerLine, QImage::Format_RGB888).copy(), dpi,
                 QThread::currentThread() == qApp->thread()};
    return 1;
}

// ZoPrint hands the program's print function the picture a capture would save, with its DPI;
// without a print function or an open camera nothing is printed.
TEST(EnginePrint, HandsTheCapturedPictureToTheProgram) {
    ZoInit();
    ZoSetDefaultResolution(1, 5);
    ASSERT_EQ(ZoOpenCamera(1, 0), 1);
    EXPECT_EQ(ZoPrint(1), 0); // no print function yet
    ZoSetPrintCB(keepPicture);
    ASSERT_EQ(ZoSetDPI(1, 300), 1);
    ZoSetRotate(1, 1);
    EXPECT_EQ(ZoPrint(1), 1);
    EXPECT_EQ(g_printed.picture.size(), QSize(480, 640)); // turned as a capture would be
    EXPECT_EQ(g_printed.dpi, 300);

    // Made behind the caller, the same picture reaches the print function on the GUI thread.
    g_printed = {};
    EXPECT_EQ(ZoPrintQueued(1), 1);
    ASSERT_TRUE(QTest::qWaitFor([] { return !g_printed.picture.isNull(); }, 30000));
    EXPECT_EQ(g_printed.picture.size(), QSize(480, 640));
    EXPECT_TRUE(g_printed.onGuiThread);
    ZoSetRotate(1, 0);
    ZoCloseCamera(1);
    EXPECT_EQ(ZoPrint(1), 0);
    EXPECT_EQ(ZoPrintQueued(1), 0);
    ZoSetPrintCB(nullptr);
}

} // namespace
