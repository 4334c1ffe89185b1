#include "AppFixture.h"

#include "Commit.h"
#include "ThumbnailLibrary.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

namespace {

using testing_support::readFile;

using namespace app_test;

const QString kStrip = QStringLiteral(DOCSCANNER_BIN_DIR "/libThumbnail.so");

TEST(ThumbnailLibraryTest, MissingOrBrokenLibraryMakesEveryCallANoOp) {
    QTemporaryDir dir;
    ThumbnailLibrary strip;
    EXPECT_FALSE(strip.load(dir.filePath("libThumbnail.so")));

    QFile broken(dir.filePath("libThumbnail.so"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\x7f"
                 "ELF but nothing after it");
    broken.close();
    EXPECT_FALSE(strip.load(broken.fileName()));

    EXPECT_FALSE(strip.isLoaded());
    strip.initLib(0);
    strip.addChecked("/tmp/a.jpg");
    strip.setLanguage(0);
    strip.resizeThumb();
    strip.clearAllItem();
    EXPECT_EQ(strip.imgCount(), std::nullopt);

    const QString commit = dir.filePath("ZoCommit.txt");
    EXPECT_TRUE(commitCheckedItems(strip, commit).written);
    EXPECT_EQ(readFile(commit), "") << "without a strip the driver gets an empty list";
}

// A real library without any of the strip's entries.
TEST(ThumbnailLibraryTest, MissingEntriesAreNoOps) {
    QTemporaryDir dir;
    ThumbnailLibrary strip;
    ASSERT_TRUE(strip.load(QStringLiteral(DOCSCANNER_BIN_DIR "/libCamCoreLib.so")));
    strip.addChecked("/tmp/a.jpg");
    EXPECT_EQ(strip.imgCount(), std::nullopt);
    const CommitResult result = commitCheckedItems(strip, dir.filePath("ZoCommit.txt"));
    EXPECT_TRUE(result.written);
    EXPECT_EQ(readFile(dir.filePath("ZoCommit.txt")), "") << "no count: an empty list";
}

class CommitTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFile::exists(kStrip))
            GTEST_SKIP() << "libThumbnail.so is not built";
        ASSERT_TRUE(m_strip.load(kStrip));
        m_strip.clearAllItem();
        for (const char* name : {"one.jpg", "two.png", "three.jpg"}) {
            const QString path = m_dir.filePath(QString::fromLatin1(name));
            QImage image(64, 48, QImage::Format_RGB32);
            image.fill(Qt::darkCyan);
            ASSERT_TRUE(image.save(path));
            m_paths.append(path.toLocal8Bit());
            m_strip.addChecked(m_paths.last());
        }
    }
    void TearDown() override {
        m_strip.clearAllItem();
        m_strip.unload();
    }

    QTemporaryDir m_dir;
    ThumbnailLibrary m_strip;
    QByteArrayList m_paths;
};

TEST_F(CommitTest, HandsOverOnlyTheCheckedItemsInStripOrder) {
    ASSERT_EQ(m_strip.imgCount(), 3);
    m_strip.setItemChecked(1, 0);
    const QString commit = m_dir.filePath("ZoCommit.txt");
    const CommitResult result = commitCheckedItems(m_strip, commit);
    EXPECT_TRUE(result.written);
    EXPECT_EQ(result.items, 3);
    EXPECT_EQ(readFile(commit), m_paths[0] + "@@" + m_paths[2] + "@@");
    EXPECT_EQ(m_strip.imgCount(), 0);

    EXPECT_TRUE(commitCheckedItems(m_strip, commit).written);
    EXPECT_EQ(readFile(commit), "") << "an empty strip: the driver must not take the batch again";
}

TEST_F(CommitTest, NothingCheckedWritesAnEmptyList) {
    for (int i = 0; i < 3; ++i)
        m_strip.setItemChecked(i, 0);
    const QString commit = m_dir.filePath("ZoCommit.txt");
    EXPECT_TRUE(commitCheckedItems(m_strip, commit).written);
    EXPECT_TRUE(QFile::exists(commit));
    EXPECT_TRUE(readFile(commit).isEmpty());
}

// The driver never got the list, so the user keeps the strip and can hand it over again.
TEST_F(CommitTest, FailedWriteKeepsTheStrip) {
    const CommitResult result = commitCheckedItems(m_strip, m_dir.filePath("gone/ZoCommit.txt"));
    EXPECT_FALSE(result.written);
    EXPECT_EQ(m_strip.imgCount(), 3);
}

} // namespace
