#include "CodeSamples.h"
#include "barcode/BarcodeMarkup.h"
#include "barcode/BarcodeReader.h"
#include "barcode/IsolatedRead.h"
#include "support/QtMessages.h"

#include <QPainter>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

using namespace camcore;
using barcode_test::drawCode;
using barcode_test::samples;

namespace {

using Codes = std::vector<std::pair<std::string, std::string>>; // format, value

Codes formatsAndValues(const std::vector<FoundCode>& found) {
    Codes codes;
    for (const FoundCode& code : found)
        codes.emplace_back(code.format, code.text);
    return codes;
}

// A white page with `codes` pasted in rows of `perRow`, each row's codes at staggered heights so
// that reading order is more than sorting by the top edge.
QImage page(const std::vector<QImage>& codes, int perRow) {
    QImage sheet(2400, 2400, QImage::Format_Grayscale8);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    int y = 40;
    for (std::size_t row = 0; row * perRow < codes.size(); ++row) {
        int x = 40, rowHeight = 0;
        for (std::size_t i = row * perRow; i < std::min(codes.size(), (row + 1) * perRow); ++i) {
            const int drop = static_cast<int>(i % perRow % 2) * 30 * (row % 2 == 0 ? 1 : -1) + 30;
            painter.drawImage(x, y + drop, codes[i]);
            x += codes[i].width() + 40;
            rowHeight = std::max(rowHeight, codes[i].height() + drop);
        }
        y += rowHeight + 60;
    }
    return sheet;
}

// The values of the <barcode> elements of a markup, parsed as XML ("invalid" when it does not
// parse).
std::vector<QString> parsedValues(const std::string& markup) {
    std::vector<QString> values;
    QXmlStreamReader xml(QString::fromStdString(markup));
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"barcode")
            values.push_back(xml.readElementText());
    if (xml.hasError())
        return {QStringLiteral("invalid")};
    return values;
}

} // namespace

TEST(BarcodeReaderTest, EveryFormatIsReadInRowsFromTopToBottomAndLeftToRight) {
    std::vector<QImage> codes;
    Codes expected;
    for (const barcode_test::Sample& sample : samples()) {
        codes.push_back(drawCode(sample.format, sample.value, 3, 120));
        // Codabar's start and stop characters are not part of the value.
        const std::string value = sample.name == "Codabar"
                                      ? sample.value.substr(1, sample.value.size() - 2)
                                      : sample.value;
        expected.emplace_back(sample.name, value);
    }
    EXPECT_EQ(formatsAndValues(readCodes(page(codes, 4))), expected);
    EXPECT_TRUE(readCodes(QImage()).empty());
}

// A value with non-ASCII text and markup characters, and one with the GS separator that XML
// forbids: the markup parses back to the first as it was and to the second with U+FFFD.
TEST(BarcodeReaderTest, MarkupParsesBackToTheValuesWithForbiddenCharactersReplaced) {
    const std::string text = "中文&<x>\"'";
    const std::vector<QImage> codes = {drawCode(ZXing::BarcodeFormat::QRCode, text, 6),
                                       drawCode(ZXing::BarcodeFormat::Code128,
                                                "A\x1D"
                                                "B\tC",
                                                3, 120)};
    const std::string markup = barcodeMarkup(readCodes(page(codes, 2)));
    EXPECT_EQ(parsedValues(markup),
              (std::vector<QString>{QString::fromStdString(text), QString::fromUtf8("A\xEF\xBF\xBD"
                                                                                    "B\tC")}));
    EXPECT_NE(markup.find("中文&amp;&lt;x&gt;&quot;'"), std::string::npos) << markup;

    QImage blank(800, 600, QImage::Format_Grayscale8);
    blank.fill(Qt::white);
    EXPECT_EQ(barcodeMarkup(readCodes(blank)), "");
}

// Two copies of one linear code stop zxing-cpp 1.4.0 with a failed assertion; the process goes
// on and both copies are read, with the code between them.
TEST(BarcodeReaderTest, TwoCopiesOfOneCodeAreReadWithoutStoppingTheProcess) {
    const QImage code = drawCode(ZXing::BarcodeFormat::Code128, "LABEL-0042", 3, 120);
    const QImage qr = drawCode(ZXing::BarcodeFormat::QRCode, "next to the labels", 4);
    EXPECT_EQ(formatsAndValues(readCodes(page({code, qr, code}, 3))),
              (Codes{{"Code128", "LABEL-0042"},
                     {"QRCode", "next to the labels"},
                     {"Code128", "LABEL-0042"}}));
}

// The child's answer comes back whole; a child that stops, or one that never answers, reads
// nothing and leaves the program going; one still searching at the deadline ends the whole reading
// there, without reading its halves again.
TEST(BarcodeReaderTest, IsolatedReadingReturnsTheChildsCodesOrNothing) {
    using End = IsolatedCodes::End;
    const auto soon = [] {
        return std::chrono::steady_clock::now() + std::chrono::seconds(30);
    };
    const std::vector<FoundCode> found = {{"QRCode", "first", QRect(1, 2, 3, 4)},
                                          {"Code128", "", QRect(-5, 0, 10, 20)}};
    const IsolatedCodes answer = readIsolated([&] { return found; }, soon());
    ASSERT_EQ(answer.end, End::Finished);
    ASSERT_EQ(answer.codes.size(), found.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(answer.codes[i].format, found[i].format);
        EXPECT_EQ(answer.codes[i].text, found[i].text);
        EXPECT_EQ(answer.codes[i].box, found[i].box);
    }
    EXPECT_EQ(readIsolated([]() -> std::vector<FoundCode> { std::abort(); }, soon()).end,
              End::Stopped);
    EXPECT_EQ(readIsolated(
                  []() -> std::vector<FoundCode> {
                      for (;;)
                          ::pause();
                  },
                  std::chrono::steady_clock::now() + std::chrono::milliseconds(200))
                  .end,
              End::Overdue);

    // A limit already spent reads nothing and says so.
    const testing_support::ExpectQtWarning tooLong("took too long");
    const QImage code = drawCode(ZXing::BarcodeFormat::Code128, "LATE-1", 3, 120);
    const CodeReading late = readCodesWithin(page({code}, 1), std::chrono::milliseconds(0));
    EXPECT_TRUE(late.timedOut);
    EXPECT_TRUE(late.codes.empty());
}
