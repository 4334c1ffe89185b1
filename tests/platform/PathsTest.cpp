#include "platform/Paths.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using testing_support::readFile;

TEST(PathsTest, WellKnownFolders) {
    EXPECT_EQ(platform::programDir(), QCoreApplication::applicationDirPath() + "/");
    EXPECT_TRUE(platform::tempDir().endsWith('/'));
    EXPECT_TRUE(QFileInfo(platform::tempDir()).isDir());
    // The test main points HOME at a temporary folder.
    EXPECT_EQ(platform::documentsDir(), testing_support::homeDir() + "/Documents");
}

TEST(PathsTest, WriteFileReplacingCreatesAndReplaces) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/ZoCommit.txt";
    ASSERT_TRUE(platform::writeFileReplacing(path, "first\n"));
    EXPECT_EQ(readFile(path), "first\n");
    ASSERT_TRUE(platform::writeFileReplacing(path, "second\n"));
    EXPECT_EQ(readFile(path), "second\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"ZoCommit.txt"});
}

TEST(PathsTest, WriteFileReplacingNeverFollowsALink) {
    QTemporaryDir dir;
    const QString victim = dir.path() + "/victim";
    const QString path = dir.path() + "/ZoCommit.txt";
    ASSERT_TRUE(platform::writeFileReplacing(victim, "precious"));
    ASSERT_TRUE(QFile::link(victim, path));
    ASSERT_TRUE(platform::writeFileReplacing(path, "list"));
    EXPECT_EQ(readFile(victim), "precious");
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_EQ(readFile(path), "list");
}

TEST(PathsTest, WriteFileReplacingFailsCleanly) {
    QTemporaryDir dir;
    EXPECT_FALSE(platform::writeFileReplacing(dir.path() + "/no/such/folder/file", "x"));
    QDir(dir.path()).mkdir("locked");
    QFile::setPermissions(dir.path() + "/locked", QFile::ReadOwner | QFile::ExeOwner);
    if (::geteuid() != 0) { // root writes anywhere
        EXPECT_FALSE(platform::writeFileReplacing(dir.path() + "/locked/file", "x"));
    }
    EXPECT_TRUE(QDir(dir.path() + "/locked").entryList(QDir::Files | QDir::Hidden).isEmpty());
}

} // namespace

namespace {

// Fixed temporary names must not be reachable by another user of the shared folder.
TEST(PathsTest, PrivateTemporaryFolderIsOursAlone) {
    const QString dir = platform::privateTempDir();
    EXPECT_EQ(dir, platform::privateTempDir()) << "one folder for the whole run";
    EXPECT_TRUE(dir.startsWith(platform::tempDir()));
    EXPECT_NE(dir, platform::tempDir());
    const QFileInfo info(dir);
    EXPECT_TRUE(info.isDir());
    EXPECT_FALSE(info.isSymLink());
    EXPECT_EQ(info.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                    QFile::ReadOther | QFile::WriteOther | QFile::ExeOther),
              QFile::Permissions());
}

} // namespace
