#include "OutputTestSupport.h"

#include "output/CaptureWriter.h"
#include "output/JpegWriter.h"
#include "output/PdfDocument.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace camcore;
using namespace output_test;

namespace {

class PdfTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (runTool("pdftotext", {"-v"}).exitCode < 0)
            GTEST_SKIP() << "poppler-utils is not installed";
    }
    QString path(const QString& name) const { return dir.filePath(name); }

    QString pageText(const QString& pdf, int page) {
        const QString number = QString::number(page);
        return runTool("pdftotext", {"-f", number, "-l", number, pdf, "-"}).out;
    }

    // The box pdftotext gives a word, in points from the top left.
    QRectF wordBox(const QString& pdf, const QString& word) {
        const QString html = runTool("pdftotext", {"-bbox", pdf, "-"}).out;
        const QRegularExpression box(
            QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                           "yMax=\"([\\d.]+)\">%1</word>")
                .arg(QRegularExpression::escape(word)));
        const QRegularExpressionMatch found = box.match(html);
        if (!found.hasMatch())
            return {};
        return QRectF(QPointF(found.captured(1).toDouble(), found.captured(2).toDouble()),
                      QPointF(found.captured(3).toDouble(), found.captured(4).toDouble()));
    }

    QTemporaryDir dir;
};

} // namespace

// Words come back in order with their places, in any script and with characters PDF syntax
// treats specially; the picture is stored exactly as without text, and poppler renders the page
// without complaint although no font program is embedded.
TEST_F(PdfTextTest, WordsAreExtractedInOrderAtTheirPlacesOverTheUnchangedPicture) {
    OutputImage image = outputOf(colourPage(1000, 800), 144); // 0.5 point per pixel
    image.words = {{"Invoice", QRect(100, 60, 300, 50)},
                   {"(a<b)&c\\", QRect(415, 60, 250, 50)},
                   {"扫描文档", QRect(100, 200, 240, 60)},
                   {"𠀀x", QRect(100, 400, 80, 40)}, // outside the basic plane
                   {"   ", QRect(0, 0, 10, 10)},     // nothing to show
                   {"lost", QRect(2000, 2000, 10, 10)}};
    ASSERT_EQ(writeCapture(path("one.pdf"), image), 1);
    ASSERT_EQ(writeCapture(path("one.jpg"), image), 1);

    const QString text = pageText(path("one.pdf"), 1);
    EXPECT_TRUE(text.contains(
        QRegularExpression(QStringLiteral("Invoice\\s+\\(a<b\\)&c\\\\\\s+扫描文档\\s+𠀀x\\s*$"))))
        << text.toStdString();
    EXPECT_FALSE(text.contains("lost"));
    const QRectF invoice = wordBox(path("one.pdf"), "Invoice");
    EXPECT_NEAR(invoice.left(), 50, 1);
    EXPECT_NEAR(invoice.top(), 30, 1);
    EXPECT_NEAR(invoice.right(), 200, 1);
    EXPECT_NEAR(invoice.bottom(), 55, 1);

    EXPECT_TRUE(
        readAll(path("one.pdf")).contains("stream\n" + readAll(path("one.jpg")) + "\nendstream"));
    EXPECT_EQ(pdfPages(path("one.pdf")).errors, "");
    const ToolRun render = runTool("pdftoppm", {"-r", "10", "-png", path("one.pdf"), path("r")});
    EXPECT_EQ(render.exitCode, 0);
    EXPECT_EQ(render.err, "");
}

// Pages collected into one document keep their own text; a page without words has none.
TEST_F(PdfTextTest, CollectedPagesEachCarryTheirOwnText) {
    PdfDocument document;
    const QString pdf = path("book.pdf");
    const char* const pages[] = {"first 第一页", "", "third page"};
    for (const char* words : pages) {
        OutputImage image = outputOf(greyPage(600, 800), 200);
        int x = 20;
        for (const QString& word : QString::fromUtf8(words).split(' ', Qt::SkipEmptyParts)) {
            image.words.push_back({word, QRect(x, 40, 120, 30)});
            x += 150;
        }
        ASSERT_TRUE(document.append(image, pdf));
    }
    document.close();
    EXPECT_EQ(pdfPages(pdf).count, 3);
    EXPECT_EQ(pageText(pdf, 1).simplified(), "first 第一页");
    EXPECT_EQ(pageText(pdf, 2).simplified(), "");
    EXPECT_EQ(pageText(pdf, 3).simplified(), "third page");
}

// The last pages of a collected document come out and leave the document it was before them,
// whole, with the text of the pages kept; the next page follows them. Pages from before the
// document was started here cannot be taken out, and taking out every page removes the file.
TEST_F(PdfTextTest, LastPagesComeOutAndTheRestKeepsItsTextInOrder) {
    PdfDocument document;
    const QString file = path("book.pdf");
    const auto page = [](const QString& word) {
        OutputImage image = outputOf(colourPage(400, 200), 72);
        image.words = {{word, QRect(20, 20, 200, 40)}};
        return image;
    };
    const auto texts = [&] {
        QStringList words;
        for (int n = 1; n <= pdfPages(file).count; ++n)
            words << pageText(file, n).trimmed();
        return words;
    };
    for (const QString word : {"one", "two", "three", "four", "five"})
        ASSERT_TRUE(document.append(page(word), file));

    ASSERT_TRUE(document.removeLastPages(2));
    EXPECT_EQ(texts(), QStringList({"one", "two", "three"}));
    EXPECT_EQ(pdfPages(file).errors, "");
    ASSERT_TRUE(document.append(page("again"), file));
    EXPECT_EQ(texts(), QStringList({"one", "two", "three", "again"}));
    EXPECT_EQ(pdfPages(file).errors, "");

    EXPECT_FALSE(document.removeLastPages(5)) << "more pages than there are";
    EXPECT_EQ(pdfPages(file).count, 4);
    ASSERT_TRUE(document.removeLastPages(4));
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(entries(dir.path()), QStringList()) << "no working file is left";

    // A document continued from the file holds its earlier pages: only the new ones come out.
    ASSERT_TRUE(document.append(page("first"), file));
    document.close();
    PdfDocument continued;
    ASSERT_TRUE(continued.append(page("second"), file));
    EXPECT_FALSE(continued.removeLastPages(2));
    ASSERT_TRUE(continued.removeLastPages(1));
    EXPECT_EQ(texts(), QStringList({"first"}));
}
