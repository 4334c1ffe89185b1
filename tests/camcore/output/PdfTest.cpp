#include "OutputTestSupport.h"

#include "output/CaptureWriter.h"
#include "output/JpegWriter.h"
#include "output/PdfDocument.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

using namespace camcore;
using namespace output_test;

namespace {

class PdfTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (runTool("pdfinfo", {"-v"}).exitCode < 0)
            GTEST_SKIP() << "poppler-utils (pdfinfo, pdfimages) is not installed";
    }
    QString path(const QString& name) const { return dir.filePath(name); }

    // The encodings pdfimages lists, one per image: "jpeg", "ccitt", ...
    QStringList imageEncodings(const QString& pdf) {
        const ToolRun run = runTool("pdfimages", {"-list", pdf});
        QStringList encodings;
        const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
        for (const QString& line : lines.mid(2)) // two header lines
            encodings << line.split(' ', Qt::SkipEmptyParts).value(8);
        return encodings;
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(PdfTest, PageSizeIsPixelsAtTheDpi) {
    ASSERT_EQ(writeCapture(path("big.pdf"), outputOf(colourPage(2448, 3264), 300)), 1);
    const PdfPages big = pdfPages(path("big.pdf"));
    EXPECT_EQ(big.count, 1);
    EXPECT_EQ(big.sizes, QStringList({"587.52 x 783.36"}));
    EXPECT_EQ(big.errors, "");

    ASSERT_EQ(writeCapture(path("grey.pdf"), outputOf(greyPage(100, 50), 72)), 1);
    EXPECT_EQ(pdfPages(path("grey.pdf")).sizes, QStringList({"100 x 50"}));
}

TEST_F(PdfTest, JpegPageHoldsTheBytesOfTheJpegCapture) {
    OutputImage image = outputOf(colourPage(300, 200), 300);
    // Once compressed here, once passed through from the camera.
    for (bool camera : {false, true}) {
        if (camera) {
            const QByteArray jpeg = encodeJpeg(image.picture, 70);
            image.cameraJpeg =
                std::make_shared<std::vector<std::uint8_t>>(jpeg.begin(), jpeg.end());
            ASSERT_TRUE(passesCameraJpeg(image));
        }
        ASSERT_EQ(writeCapture(path("p.jpg"), image), 1);
        ASSERT_EQ(writeCapture(path("p.pdf"), image), 1);
        const QByteArray jpeg = readAll(path("p.jpg"));
        EXPECT_TRUE(readAll(path("p.pdf")).contains("stream\n" + jpeg + "\nendstream"));
        EXPECT_EQ(imageEncodings(path("p.pdf")), QStringList({"jpeg"}));
    }
}

TEST_F(PdfTest, BilevelPageIsGroup4WithBlackWhereThePictureIsBlack) {
    const QImage page = bilevelPage(333, 222);
    ASSERT_EQ(writeCapture(path("bw.pdf"), outputOf(page, 300, true)), 1);
    EXPECT_EQ(imageEncodings(path("bw.pdf")), QStringList({"ccitt"}));
    EXPECT_EQ(pdfPages(path("bw.pdf")).sizes, QStringList({"79.92 x 53.28"}));
    // poppler decodes the G4 data with the page's /DecodeParms: an inverted or mis-ordered
    // bit stream shows up here.
    ASSERT_EQ(runTool("pdfimages", {"-png", path("bw.pdf"), path("out")}).exitCode, 0);
    EXPECT_EQ(QImage(path("out-000.png")).convertToFormat(QImage::Format_Grayscale8), page);
}

TEST_F(PdfTest, PagesCollectAcrossCapturesThatDeleteTheFile) {
    PdfDocument document;
    const QString file = path("book.pdf");
    // Different sizes show that the pages stay in capture order.
    const QImage pictures[] = {colourPage(144, 72), bilevelPage(72, 144), greyPage(216, 72)};
    for (int i = 0; i < 3; ++i) {
        QFile::remove(file);
        ASSERT_EQ(writeCapture(file, outputOf(pictures[i], 72, i == 1), &document), 1);
    }
    EXPECT_EQ(document.pageCount(), 3);
    const PdfPages pages = pdfPages(file);
    EXPECT_EQ(pages.count, 3);
    EXPECT_EQ(pages.sizes, QStringList({"144 x 72", "72 x 144", "216 x 72"}));
    EXPECT_EQ(pages.errors, "");
    EXPECT_EQ(imageEncodings(file), QStringList({"jpeg", "ccitt", "jpeg"}));

    // Appending while the file is still there works the same.
    ASSERT_TRUE(document.append(outputOf(pictures[0], 72), file));
    EXPECT_EQ(pdfPages(file).count, 4);

    // Another path starts another document; the first keeps its pages.
    ASSERT_TRUE(document.append(outputOf(pictures[2], 72), path("other.pdf")));
    EXPECT_EQ(document.pageCount(), 1);
    EXPECT_EQ(pdfPages(path("other.pdf")).sizes, QStringList({"216 x 72"}));
    EXPECT_EQ(pdfPages(file).count, 4);

    // The ended document's working files are gone; the current one has one after one page.
    const QStringList during = entries(dir.path());
    ASSERT_EQ(during.size(), 3);
    EXPECT_TRUE(during[0].startsWith(".other.pdf.")) << during[0].toStdString();
    document.close();
    EXPECT_EQ(entries(dir.path()), QStringList({"book.pdf", "other.pdf"}));
    EXPECT_EQ(pdfPages(path("other.pdf")).count, 1);
}

TEST_F(PdfTest, PagesAreLinkedIntoPlaceNotCopied) {
    // Constant cost per page rests on this: the visible file is one of the two working files
    // in turn, never a fresh copy of the document.
    PdfDocument document;
    const QString file = path("linked.pdf");
    const OutputImage image = outputOf(greyPage(50, 50), 72);
    std::vector<ino_t> inodes;
    for (int page = 1; page <= 4; ++page) {
        QFile::remove(file);
        ASSERT_TRUE(document.append(image, file));
        struct stat status {};
        ASSERT_EQ(::stat(QFile::encodeName(file), &status), 0);
        EXPECT_EQ(status.st_nlink, 2u); // the path and our working file
        inodes.push_back(status.st_ino);
    }
    EXPECT_NE(inodes[0], inodes[1]);
    EXPECT_EQ(inodes[0], inodes[2]);
    EXPECT_EQ(inodes[1], inodes[3]);
}

TEST_F(PdfTest, PublishedVersionsNeverChangeAfterwards) {
    PdfDocument document;
    const QString file = path("doc.pdf");
    const OutputImage image = outputOf(colourPage(100, 100), 72);
    ASSERT_TRUE(document.append(image, file));
    ASSERT_TRUE(document.append(image, file));
    // A reader's link to the two-page version (a viewer's open file behaves alike).
    ASSERT_EQ(::link(QFile::encodeName(file), QFile::encodeName(path("kept.pdf"))), 0);
    const QByteArray kept = readAll(path("kept.pdf"));
    // Page 3 goes to the other working file; page 4 meets the linked one and must copy it.
    for (int pages = 3; pages <= 4; ++pages) {
        ASSERT_TRUE(document.append(image, file));
        EXPECT_EQ(pdfPages(file).count, pages);
        EXPECT_EQ(readAll(path("kept.pdf")), kept);
    }
    EXPECT_EQ(pdfPages(path("kept.pdf")).count, 2);
    EXPECT_EQ(pdfPages(file).errors, "");
}
