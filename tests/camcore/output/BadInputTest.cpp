#include "OutputTestSupport.h"

#include "output/CaptureWriter.h"
#include "output/PdfDocument.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace camcore;
using namespace output_test;

namespace {

const char* const kNames[] = {"x.jpg", "x.png", "x.bmp", "x.tif", "x.pdf"};

void writeText(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// A 64 KB tmpfs, mounted for the life of the object; mounting needs root.
class SmallDisk {
public:
    SmallDisk() {
        QDir().mkpath(m_path);
        m_mounted =
            runTool("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", m_path}).exitCode == 0;
    }
    ~SmallDisk() {
        if (m_mounted)
            runTool("umount", {m_path});
    }
    bool mounted() const { return m_mounted; }
    QString path() const { return m_path; }

private:
    QTemporaryDir m_parent;
    QString m_path = m_parent.filePath("disk");
    bool m_mounted = false;
};

} // namespace

TEST(BadInput, UnknownExtensionsAndUnwritablePicturesWriteNothing) {
    QTemporaryDir dir;
    const OutputImage good = outputOf(colourPage(40, 30));
    for (const char* name : {"x.gif", "x", "x.jpg.part"})
        EXPECT_EQ(writeCapture(dir.filePath(name), good), 0) << name;
    EXPECT_EQ(writeCapture("", good), 0);

    OutputImage colourBilevel = good;
    colourBilevel.bilevel = true;
    const OutputImage bad[] = {outputOf(QImage()), outputOf(QImage(8, 8, QImage::Format_RGB32)),
                               outputOf(good.picture, 0), outputOf(good.picture, 70000),
                               colourBilevel};
    PdfDocument document;
    for (const OutputImage& image : bad) {
        for (const char* name : kNames)
            EXPECT_EQ(writeCapture(dir.filePath(name), image), 0) << name;
        EXPECT_EQ(writeCapture(dir.filePath("m.pdf"), image, &document), 0);
    }
    OutputImage quality = good;
    quality.jpegQuality = 0;
    EXPECT_EQ(writeCapture(dir.filePath("q.jpg"), quality), 0);
    EXPECT_EQ(entries(dir.path()), QStringList());
}

TEST(BadInput, MissingFolderWritesNothing) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("gone");
    const OutputImage image = outputOf(colourPage(40, 30));
    PdfDocument document;
    for (const char* name : kNames)
        EXPECT_EQ(writeCapture(folder + "/" + name, image), 0) << name;
    EXPECT_EQ(writeCapture(folder + "/m.pdf", image, &document), 0);
    EXPECT_EQ(document.pageCount(), 0);
    EXPECT_EQ(entries(dir.path()), QStringList());
}

TEST(BadInput, ReadOnlyFolderKeepsItsFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders; the full-disk test covers refusal";
    QTemporaryDir dir;
    writeText(dir.filePath("x.png"), "old");
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    const OutputImage image = outputOf(colourPage(40, 30));
    PdfDocument document;
    for (const char* name : kNames)
        EXPECT_EQ(writeCapture(dir.filePath(name), image), 0) << name;
    EXPECT_EQ(writeCapture(dir.filePath("x.png"), image, &document), 0);
    EXPECT_EQ(writeCapture(dir.filePath("m.pdf"), image, &document), 0);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(readAll(dir.filePath("x.png")), "old");
    EXPECT_EQ(entries(dir.path()), QStringList({"x.png"}));
}

TEST(BadInput, FullDiskKeepsTheOldFileAndLeavesNoTemporaryFile) {
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root and mount)";
    const QDir dir(disk.path());
    // Noise compresses to more than the 64 KB disk in every format.
    OutputImage big = outputOf(noise(200, 200, 1));
    big.jpegQuality = 100;
    for (const char* name : kNames) {
        writeText(dir.filePath(name), "old");
        EXPECT_EQ(writeCapture(dir.filePath(name), big), 0) << name;
        EXPECT_EQ(readAll(dir.filePath(name)), "old") << name;
        QFile::remove(dir.filePath(name));
        EXPECT_EQ(entries(dir.path()), QStringList()) << name;
    }

    // A collected document survives a page that does not fit, and takes the next one.
    PdfDocument document;
    const QString book = dir.filePath("book.pdf");
    const OutputImage small = outputOf(bilevelPage(200, 100), 300, true);
    ASSERT_EQ(writeCapture(book, small, &document), 1);
    const QByteArray onePage = readAll(book);
    EXPECT_EQ(writeCapture(book, big, &document), 0);
    EXPECT_EQ(readAll(book), onePage);
    EXPECT_EQ(document.pageCount(), 1);
    QFile::remove(book);
    ASSERT_EQ(writeCapture(book, small, &document), 1);
    EXPECT_EQ(pdfPages(book).count, 2);
    EXPECT_EQ(pdfPages(book).errors, "");
    document.close();
    EXPECT_EQ(entries(dir.path()), QStringList({"book.pdf"}));
}
