#include "platform/Profile.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <unistd.h>

using platform::Profile;

namespace {

using testing_support::readFile;

const QByteArray kSection = "Zo twain driver param";

class ProfileTest : public ::testing::Test {
protected:
    QString pathOf(const QString& name) const { return m_dir.path() + "/" + name; }

    QString writeFile(const QByteArray& content, const QString& name = "zoconf.ini") const {
        QFile file(pathOf(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return file.fileName();
    }

    QStringList entries() const { return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir m_dir;
};

TEST_F(ProfileTest, MissingFileGivesDefaults) {
    const Profile profile(pathOf("absent.ini"));
    EXPECT_FALSE(profile.loaded());
    EXPECT_EQ(profile.readInt(kSection, "DPIIndex", 2), 2);
    EXPECT_EQ(profile.readString(kSection, "PrefixName", "Image"), "Image");
}

TEST_F(ProfileTest, MissingKeyOrEmptyValueGivesTheDefault) {
    const Profile profile(writeFile("[" + kSection + "]\nEmpty=\nBlank=   \n"));
    EXPECT_TRUE(profile.loaded());
    EXPECT_EQ(profile.readInt(kSection, "Threshold", 0), 0);
    EXPECT_EQ(profile.readInt(kSection, "WaterMode", 7), 7);
    EXPECT_EQ(profile.readInt(kSection, "Empty", 5), 5);
    EXPECT_EQ(profile.readInt(kSection, "Blank", 5), 5);
    EXPECT_EQ(profile.readString(kSection, "WaterText", "水印"), "水印");
    EXPECT_EQ(profile.readString(kSection, "Empty", "x"), "");
    EXPECT_EQ(profile.readInt("Other section", "Empty", 9), 9);
}

TEST_F(ProfileTest, IntegersTakeTheLeadingDigitsWithTheirSign) {
    const Profile profile = Profile::fromText("[s]\n"
                                              "negative=-5\n"
                                              "plus= +12abc\n"
                                              "text=abc\n"
                                              "sign=-\n"
                                              "decimal=3.75\n"
                                              "huge=99999999999999999999999\n"
                                              "tiny=-99999999999999999999999\n"
                                              "min=-2147483648\n"
                                              "hex=0x1F\n");
    EXPECT_EQ(profile.readInt("s", "negative", 0), -5);
    EXPECT_EQ(profile.readInt("s", "plus", 0), 12);
    EXPECT_EQ(profile.readInt("s", "text", 9), 0);
    EXPECT_EQ(profile.readInt("s", "sign", 9), 0);
    EXPECT_EQ(profile.readInt("s", "decimal", 0), 3);
    EXPECT_EQ(profile.readInt("s", "huge", 0), INT_MAX);
    EXPECT_EQ(profile.readInt("s", "tiny", 0), INT_MIN);
    EXPECT_EQ(profile.readInt("s", "min", 0), INT_MIN);
    EXPECT_EQ(profile.readInt("s", "hex", 9), 0);
}

TEST_F(ProfileTest, StringsAreTrimmedUnquotedAndCutToTheBuffer) {
    const QByteArray longValue(300, 'p');
    const Profile profile =
        Profile::fromText("[s]\n"
                          "  WorkPath  =  /home/ann/scans  \n"
                          "quoted=\" padded \"\n"
                          "long=" +
                          longValue + "\nnul=ab" + QByteArray(1, '\0') + "cd\n");
    EXPECT_EQ(profile.readString("s", "workpath", ""), "/home/ann/scans");
    EXPECT_EQ(profile.readString("s", "quoted", ""), " padded ");
    EXPECT_EQ(profile.readString("s", "long", ""), QByteArray(259, 'p'));
    EXPECT_EQ(profile.readString("s", "long", "", 10), QByteArray(9, 'p'));
    EXPECT_EQ(profile.readString("s", "long", "", 0), longValue);
    EXPECT_EQ(profile.readString("s", "missing", longValue), QByteArray(259, 'p'));
    EXPECT_EQ(profile.readString("s", "nul", ""), "ab");
}

TEST_F(ProfileTest, NamesMatchWithoutCaseAndTheFirstDuplicateWins) {
    const Profile profile = Profile::fromText("orphan=1\n"
                                              "[ZO TWAIN DRIVER PARAM]\n"
                                              "devindex=3\n"
                                              "DevIndex=4\n"
                                              "; DevIndex=5 is a comment\n"
                                              "[other]\n"
                                              "devindex=6\n");
    EXPECT_EQ(profile.readInt(kSection, "DevIndex", 0), 3);
    EXPECT_EQ(profile.readInt("Other", "DEVINDEX", 0), 6);
    // A key before any section header belongs to no section.
    EXPECT_FALSE(profile.contains("", "orphan"));
    EXPECT_EQ(profile.readInt("orphan", "orphan", 8), 8);
}

TEST_F(ProfileTest, OddInputNeverCrashesAndReadsSensibly) {
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(static_cast<char>((i * 7919) % 256));
    const Profile binary = Profile::fromText(garbage);
    EXPECT_EQ(binary.readInt(kSection, "DevIndex", 42), 42);

    const QByteArray hugeLine = "[s]\nkey=" + QByteArray(4 * 1024 * 1024, 'x') + "\nnext=7\n";
    const Profile huge = Profile::fromText(hugeLine);
    EXPECT_EQ(huge.readString("s", "key", "").size(), 259);
    EXPECT_EQ(huge.readInt("s", "next", 0), 7);

    const Profile crlfBom = Profile::fromText("\xEF\xBB\xBF[s]\r\nvalue=12\r\nname=ann\r\n");
    EXPECT_EQ(crlfBom.readInt("s", "value", 0), 12);
    EXPECT_EQ(crlfBom.readString("s", "name", ""), "ann");

    const Profile unclosed = Profile::fromText("[s\nvalue=3\n[]\nempty=4\n");
    EXPECT_EQ(unclosed.readInt("s", "value", 0), 3);
    EXPECT_EQ(unclosed.readInt("", "empty", 0), 4);
}

TEST_F(ProfileTest, WritesKeepEveryOtherLineAndAddKeysInOrder) {
    const QString path = writeFile("; settings\n"
                                   "[Other]\n"
                                   "a=1\n"
                                   "\n"
                                   "[" +
                                   kSection +
                                   "]\n"
                                   "DevIndex = 3\n"
                                   "Unknown=keep me\n"
                                   "\n"
                                   "[Last]\n"
                                   "z=9\n");
    Profile profile(path);
    profile.writeInt(kSection, "DevIndex", 7);
    profile.writeInt(kSection, "AudioIndex", -1);
    profile.writeString(kSection, "WorkPath", "/home/ann/My scans");
    profile.writeString(kSection, "PrefixName", "two\nlines");
    profile.writeString("New", "x", "1");
    ASSERT_TRUE(profile.save());

    EXPECT_EQ(readFile(path), "; settings\n"
                              "[Other]\n"
                              "a=1\n"
                              "\n"
                              "[" +
                                  kSection +
                                  "]\n"
                                  "DevIndex=7\n"
                                  "Unknown=keep me\n"
                                  "AudioIndex=-1\n"
                                  "WorkPath=/home/ann/My scans\n"
                                  "PrefixName=two lines\n"
                                  "\n"
                                  "[Last]\n"
                                  "z=9\n"
                                  "\n"
                                  "[New]\n"
                                  "x=1\n");
    const Profile reread(path);
    EXPECT_EQ(reread.readString(kSection, "WorkPath", ""), "/home/ann/My scans");
    EXPECT_EQ(reread.readInt(kSection, "AudioIndex", 0), -1);
}

TEST_F(ProfileTest, SaveKeepsLineBreaksAndByteOrderMark) {
    const QString path = writeFile("\xEF\xBB\xBF[s]\r\na=1\r\n");
    Profile profile(path);
    profile.writeInt("s", "b", 2);
    ASSERT_TRUE(profile.save());
    EXPECT_EQ(readFile(path), "\xEF\xBB\xBF[s]\r\na=1\r\nb=2\r\n");
}

TEST_F(ProfileTest, NewFileIsCreatedBySave) {
    Profile profile(pathOf("new.ini"));
    profile.writeInt(kSection, "DevIndex", 0);
    ASSERT_TRUE(profile.save());
    EXPECT_EQ(readFile(pathOf("new.ini")), "[" + kSection + "]\nDevIndex=0\n");
}

TEST_F(ProfileTest, InterruptedSaveLeavesTheOldFileWhole) {
    const QByteArray original = "[" + kSection + "]\nDevIndex=3\nWorkPath=/old\n";
    const QString path = writeFile(original);
    EXPECT_EXIT(
        {
            Profile profile(path);
            profile.writeInt(kSection, "DevIndex", 9);
            profile.writeString(kSection, "WorkPath", QByteArray(10000, 'n'));
            profile.save([] { ::_exit(3); }); // the process dies after the temporary file
        },
        ::testing::ExitedWithCode(3), "");
    EXPECT_EQ(readFile(path), original);
    EXPECT_EQ(Profile(path).readInt(kSection, "DevIndex", 0), 3);
}

TEST_F(ProfileTest, FailedSaveChangesNothing) {
    Profile profile(pathOf("missing-folder/zoconf.ini"));
    profile.writeInt(kSection, "DevIndex", 1);
    EXPECT_FALSE(profile.save());
    EXPECT_TRUE(entries().isEmpty());
}

// A folder that refuses new files but holds a writable settings file: the save rewrites the file
// in place rather than losing the settings. Root ignores permissions, so the save runs in a child
// that gives them up first.
TEST_F(ProfileTest, FolderRefusingNewFilesStillGetsTheSettingsRewrittenInPlace) {
    // Under /tmp, which everyone may enter, unlike the test's own temporary folders.
    QTemporaryDir locked(QStringLiteral("/tmp/profile-test-XXXXXX"));
    const QString path = locked.filePath("zoconf.ini");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[" + kSection + "]\nDevIndex=0\n");
    }
    const auto readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const auto enterable = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    const auto writable = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    ASSERT_TRUE(QFile::setPermissions(locked.path(), readable | enterable));
    ASSERT_TRUE(QFile::setPermissions(path, readable | writable));
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && ::setuid(65534) != 0)
                std::_Exit(2);
            Profile profile(path);
            profile.writeInt(kSection, "DevIndex", 7);
            std::_Exit(profile.save() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    QFile::setPermissions(locked.path(), readable | enterable | QFile::WriteOwner);
    EXPECT_EQ(Profile(path).readInt(kSection, "DevIndex", 0), 7);
    EXPECT_EQ(QDir(locked.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"zoconf.ini"}))
        << "nothing left beside it";
}

} // namespace
