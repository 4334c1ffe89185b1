// The program loads the library for each operation and unloads it afterwards: every unload must
// take it out of the process, or a hundred operations would leave a hundred states behind.
#include "SyntheticFinger.h"
#include "TesoLiveLibrary.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

TEST(UnloadTest, LibraryLeavesTheProcessAfterEveryOperation) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string finger = dir.filePath("finger.pgm").toStdString();
    synthetic::writePgm(synthetic::Finger(5).impression(0), finger);
    setenv(TESOLIVE_VIRTUAL_FINGER_ENV, finger.c_str(), 1);

    for (int operation = 0; operation < 100; ++operation) {
        TesoLiveLibrary library;
        ASSERT_TRUE(library.loaded());
        ASSERT_TRUE(tesoLiveMapped());
        const int handle = library.createHdl(0, 0, 0, 0);
        ASSERT_NE(handle, 0);
        if (operation % 10 == 0) { // a capture now and then: the whole pipeline ran and is gone
            char templet[TC_TEXT_BUFFER] = {};
            ASSERT_GT(library.doTemplet(handle, templet), 0);
        }
        if (operation % 2 == 0) { // every other handle left open: the library releases it itself
            ASSERT_EQ(library.deleteHdl(handle), TC_OK);
        }
        ASSERT_EQ(library.unload(), 0);
        ASSERT_FALSE(tesoLiveMapped()) << "still mapped after operation " << operation;
    }
    unsetenv(TESOLIVE_VIRTUAL_FINGER_ENV);
}
