// The reader's entries as the program calls them: the handle's life, the template buffer, what
// never matches, the folder of finger images, and captures that cannot succeed.
#include "SyntheticFinger.h"
#include "TesoLiveLibrary.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>

namespace {

class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        unsetenv(TESOLIVE_VIRTUAL_FINGER_ENV);
    }
    void TearDown() override { unsetenv(TESOLIVE_VIRTUAL_FINGER_ENV); }

    std::string path(const std::string& name) const {
        return m_dir.filePath(QString::fromStdString(name)).toStdString();
    }

    std::string fingerFile(std::uint32_t identity, int take, const std::string& name) const {
        synthetic::writePgm(synthetic::Finger(identity).impression(take), path(name));
        return path(name);
    }

    static void showFinger(const std::string& fileOrFolder) {
        setenv(TESOLIVE_VIRTUAL_FINGER_ENV, fileOrFolder.c_str(), 1);
    }

    QTemporaryDir m_dir;
};

void writeJpeg(const synthetic::Impression& image, const std::string& path) {
    const std::unique_ptr<void, int (*)(tjhandle)> encoder(tjInitCompress(), tjDestroy);
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    ASSERT_EQ(tjCompress2(encoder.get(), image.pixels.data(), image.width, image.width,
                          image.height, TJPF_GRAY, &jpeg, &size, TJSAMP_GRAY, 90, 0),
              0);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<char*>(jpeg), std::streamsize(size));
    tjFree(jpeg);
}

TEST_F(ReaderTest, WithoutAVirtualFingerThereIsNoReader) {
    TesoLiveLibrary library;
    ASSERT_TRUE(library.loaded());
    EXPECT_EQ(library.createHdl(0, 0, 0, 0), 0);
    showFinger(path("missing.pgm"));
    EXPECT_EQ(library.createHdl(0, 0, 0, 0), 0);
}

TEST_F(ReaderTest, HandleLivesUntilDeletedAndTemplatesFillTheBuffer) {
    showFinger(fingerFile(1, 0, "finger.pgm"));
    TesoLiveLibrary library;
    ASSERT_TRUE(library.loaded());
    const int first = library.createHdl(0, 0, 0, 0);
    const int second = library.createHdl(0, 0, 0, 0);
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    EXPECT_NE(first, second);

    char templet[TC_TEXT_BUFFER];
    char feature[TC_TEXT_BUFFER];
    std::memset(templet, 'x', sizeof templet);
    std::memset(feature, 'x', sizeof feature);
    const int length = library.doTemplet(first, templet);
    ASSERT_GT(length, 0);
    ASSERT_GT(library.doFeature(second, feature), 0);
    EXPECT_LE(length, TC_TEXT_MAX);
    EXPECT_EQ(std::strlen(templet), std::size_t(length));
    for (int i = 0; i < length; ++i)
        EXPECT_TRUE(templet[i] > ' ' && templet[i] < 127) << "character " << i;
    for (int i = length; i < TC_TEXT_BUFFER; ++i)
        EXPECT_EQ(templet[i], '\0') << "byte " << i;
    EXPECT_GE(library.safeMatch(0, templet, feature, TC_LEVEL_DEFAULT), 0);

    EXPECT_EQ(library.deleteHdl(first), TC_OK);
    EXPECT_EQ(library.deleteHdl(first), TC_ERR_HANDLE);
    EXPECT_EQ(library.doTemplet(first, templet), TC_ERR_HANDLE);
    EXPECT_EQ(library.deleteHdl(0), TC_ERR_HANDLE);
    EXPECT_GT(library.doFeature(second, feature), 0);
    EXPECT_EQ(library.deleteHdl(second), TC_OK);
}

TEST_F(ReaderTest, EmptyOrMalformedTextsNeverMatch) {
    TesoLiveLibrary library;
    ASSERT_TRUE(library.loaded());
    showFinger(fingerFile(2, 0, "enrol.pgm"));
    const std::string templet = library.take(true);
    showFinger(fingerFile(2, 1, "again.pgm"));
    const std::string feature = library.take(false);
    ASSERT_FALSE(templet.empty());
    ASSERT_GE(library.match(templet, feature), 0); // the control: these two do match

    std::string changed = feature;
    changed[changed.size() / 2] = changed[changed.size() / 2] == 'A' ? 'B' : 'A';
    const std::string bad[] = {"",
                               " ",
                               "TL1",
                               "not a template",
                               feature.substr(0, feature.size() - 4),
                               changed,
                               "XX" + feature.substr(2),
                               feature + "AAAA",
                               std::string(TC_TEXT_MAX + 40, 'A')};
    for (const std::string& text : bad) {
        EXPECT_LT(library.match(templet, text), 0) << "feature \"" << text << '"';
        EXPECT_LT(library.match(text, feature), 0) << "template \"" << text << '"';
    }
    EXPECT_LT(library.safeMatch(0, nullptr, feature.c_str(), 3), 0);
    EXPECT_LT(library.safeMatch(0, templet.c_str(), nullptr, 3), 0);
    EXPECT_EQ(library.match(templet, feature, TC_LEVEL_MIN - 1), TC_ERR_PARAM);
    EXPECT_EQ(library.match(templet, feature, TC_LEVEL_MAX + 1), TC_ERR_PARAM);
}

TEST_F(ReaderTest, FolderShowsItsImagesInNameOrderAndStartsOver) {
    std::string enrolled[3];
    {
        TesoLiveLibrary library;
        ASSERT_TRUE(library.loaded());
        for (int i = 0; i < 3; ++i) {
            showFinger(fingerFile(std::uint32_t(11 + i), 0, "enrol.pgm"));
            enrolled[i] = library.take(true);
            ASSERT_FALSE(enrolled[i].empty());
        }
    }
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("reader"));
    fingerFile(12, 1, "reader/b.pgm");
    fingerFile(11, 1, "reader/a.pgm");
    writeJpeg(synthetic::Finger(13).impression(1), path("reader/c.jpg"));
    std::ofstream(path("reader/a0-notes.txt")) << "not a finger";
    showFinger(path("reader"));

    // Each operation loads the library afresh, as the program does; the folder keeps its place.
    const int expected[] = {0, 1, 2, 0};
    for (int step = 0; step < 4; ++step) {
        TesoLiveLibrary library;
        ASSERT_TRUE(library.loaded());
        const std::string feature = library.take(false);
        ASSERT_FALSE(feature.empty()) << "step " << step;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(library.match(enrolled[i], feature) >= 0, i == expected[step])
                << "step " << step << ", finger " << i;
    }
}

TEST_F(ReaderTest, NoUsableImageIsAFailedCapture) {
    TesoLiveLibrary library;
    ASSERT_TRUE(library.loaded());
    std::ofstream(path("broken.pgm")) << "P5\n256 320\n255\nshort";
    synthetic::Impression blank;
    blank.pixels.assign(std::size_t(blank.width) * std::size_t(blank.height), 200);
    synthetic::writePgm(blank, path("blank.pgm"));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("empty"));

    const std::pair<std::string, int> cases[] = {
        {"broken.pgm", TC_ERR_CAPTURE}, {"empty", TC_ERR_CAPTURE}, {"blank.pgm", TC_ERR_QUALITY}};
    for (const auto& [name, error] : cases) {
        showFinger(path(name));
        const int handle = library.createHdl(0, 0, 0, 0);
        ASSERT_NE(handle, 0) << name;
        char buffer[TC_TEXT_BUFFER];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(library.doTemplet(handle, buffer), error) << name;
        EXPECT_EQ(buffer[0], '\0') << name;
        EXPECT_EQ(library.doFeature(handle, buffer), error) << name;
        EXPECT_EQ(library.deleteHdl(handle), TC_OK);
    }
}

} // namespace
