// A capturing process killed at a random moment, as by a crash or a power cut of the program:
// the file at the path stays the last whole picture, never a part of one.
#include "CaptureChild.h"
#include "Soak.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

TEST(EngineSoakTest, KilledCaptureLeavesTheOlderFileWhole) {
    const int kills = soak::sized(5, 20);
    QTemporaryDir dir;
    const QString path = dir.filePath("page.bmp");
    // 3264 x 2448: a 24 MB file, so a kill often lands while it is being written.
    camcore_test::CaptureChild first({0, 0, 1, 1, path});
    ASSERT_TRUE(first.waitForCaptures(1));
    first.kill();
    ASSERT_TRUE(soak::wholePicture(path, 3264, 2448));
    const qint64 wholeSize = QFileInfo(path).size();

    for (int round = 0; round < kills; ++round) {
        camcore_test::CaptureChild child({0, 0, 1, 0, path});
        ASSERT_TRUE(child.waitForCaptures(1 + QRandomGenerator::global()->bounded(2))) << round;
        // A random moment of the next capture: reading the frame, encoding or writing.
        std::this_thread::sleep_for(
            std::chrono::microseconds(QRandomGenerator::global()->bounded(300000)));
        child.kill();
        EXPECT_EQ(QFileInfo(path).size(), wholeSize) << round;
        EXPECT_TRUE(soak::wholePicture(path, 3264, 2448)) << round;
        // Nothing else under a visible name; a killed write leaves only its hidden file, which
        // goes here so that 24 MB files do not pile up.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"page.bmp"}));
        for (const QString& name :
             QDir(dir.path()).entryList({".page.bmp.*"}, QDir::Files | QDir::Hidden))
            QFile::remove(dir.filePath(name));
    }
}

} // namespace
