#include "FileNaming.h"
#include "common/SplitPath.h"

#include <QString>

#include <gtest/gtest.h>

#include <climits>

namespace {

using namespace naming;

TEST(NamingTest, AutomaticNamesPadTheCounterWithItsSignInside) {
    EXPECT_EQ(automaticName("Image", 5, 7), "Image00007");
    EXPECT_EQ(automaticName("Image", 5, -3), "Image-0003");
    EXPECT_EQ(automaticName("Image", 2, 123), "Image123");
    EXPECT_EQ(automaticName("Image", 0, 4), "Image4") << "a hand-edited digit count";
    EXPECT_EQ(automaticName("Image", -5, 4), "Image4");
    EXPECT_EQ(automaticName(QByteArray(200, 'p'), 5, 1).size(), 99) << "the name is cut to 99";
}

TEST(NamingTest, CounterWrapsToZeroInsteadOfOverflowing) {
    EXPECT_EQ(advancedCounter(5, 10), 15);
    EXPECT_EQ(advancedCounter(-3, 1), -2);
    EXPECT_EQ(advancedCounter(INT_MAX - 1, 1), INT_MAX);
    EXPECT_EQ(advancedCounter(INT_MAX, 1), 0);
    EXPECT_EQ(advancedCounter(INT_MAX - 5, 100), 0);
}

TEST(NamingTest, BarcodeNameIsTheFirstElementsContentKeptInsideTheFolder) {
    EXPECT_EQ(barcodeName("<barcode type=\"QR\">A-17</barcode><barcode type=\"EAN\">9</barcode>"),
              "A-17");
    EXPECT_EQ(barcodeName("plain text"), "plain text") << "text without an element is whole";
    EXPECT_EQ(barcodeName("<barcode type=\"QR\">../../x</barcode>"), ".._.._x");
    EXPECT_EQ(barcodeName(QByteArray("a\0b", 3)), "a_b");
    const QByteArray unnamed = QStringLiteral("未命名").toLocal8Bit();
    EXPECT_EQ(barcodeName(""), unnamed);
    EXPECT_EQ(barcodeName("<barcode type=\"QR\"></barcode>"), unnamed);
    EXPECT_EQ(barcodeName("<barcode type=\"QR\">..</barcode>"), unnamed);
    EXPECT_EQ(barcodeName("<barcode type=\"QR\">.</barcode>"), unnamed);
    EXPECT_EQ(barcodeName("<barcode type=\"QR\">open"), "<barcode type=\"QR\">open")
        << "an element without its end is no element";
}

// The value as it was encoded, made safe as other names are, and short enough that the file
// name with "_999", "_split" and ".tiff" stays within 255 bytes, cut between characters.
TEST(NamingTest, BarcodeNameIsTheDecodedValueWithinTheFileSystemsLimit) {
    const auto element = [](const QByteArray& value) {
        return "<barcodes>\n<barcode type=\"QRCode\">" + value + "</barcode>\n</barcodes>";
    };
    EXPECT_EQ(barcodeName(element("&quot;a&amp;b&lt;c&gt;&apos;&amp;lt;")), "\"a&b<c>'&lt;");
    EXPECT_EQ(barcodeName(element("a\tb\nc\x7f/d")), "a_b_c__d");
    for (const QByteArray& value : {"x" + QByteArray("中").repeated(100), QByteArray(300, 'y')}) {
        const QByteArray name = barcodeName(element(value));
        EXPECT_LE(name.size(), 240);
        EXPECT_GE(name.size(), 238);
        EXPECT_TRUE(value.startsWith(name));
        EXPECT_EQ(QString::fromUtf8(name).toUtf8(), name) << "cut inside a character";
        EXPECT_LE(common::splitPath(name + "_999.tiff").size(), 255);
    }
}

TEST(NamingTest, SplitAndNumberedPathsFollowTheExtension) {
    using common::splitPath;
    EXPECT_EQ(splitPath(QByteArray("/w/Image00001.jpg")), "/w/Image00001_split.jpg");
    EXPECT_EQ(splitPath(QByteArray("/w/.jpg")), "/w/_split.jpg");
    EXPECT_EQ(splitPath(QByteArray("/w.d/noextension")), "/w.d/noextension_split")
        << "a dot in a folder name is no extension";
    EXPECT_EQ(numberedPaths("/w/X.jpg", ".jpg", 3),
              QByteArrayList({"/w/X_1.jpg", "/w/X_2.jpg", "/w/X_3.jpg"}));
    EXPECT_EQ(numberedPaths("/w/X_split.tiff", ".tiff", 1), QByteArrayList({"/w/X_split_1.tiff"}));
    EXPECT_EQ(dateName(QDateTime(QDate(2024, 3, 5), QTime(14, 25, 1))), "2024-03-05_142501");
}

} // namespace
