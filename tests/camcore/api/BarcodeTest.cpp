#include "EngineFixture.h"
#include "ZoApi.h"

#include <QPair>
#include <QString>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace engine_test;

namespace {

using Codes = QList<QPair<QString, QString>>; // type, value

// The codes of a reading, parsed as XML; a reading that does not parse gives one "invalid" entry.
Codes parse(const char* markup) {
    if (*markup == '\0')
        return {};
    Codes codes;
    QXmlStreamReader xml(QString::fromUtf8(markup));
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"barcode") {
            const QString type = xml.attributes().value(QStringLiteral("type")).toString();
            codes.append({type, xml.readElementText()});
        }
    }
    if (xml.hasError())
        return {{QStringLiteral("invalid"), xml.errorString()}};
    return codes;
}

} // namespace

// Every size the camera offers, the largest among them those on which the decoder's default
// options stop the process, reads the page's two codes, top one first.
TEST(EngineBarcodeTest, EveryFrameSizeReadsThePageCodesTopFirst) {
    ZoInit();
    const int cam = 1;
    ASSERT_EQ(ZoOpenCamera(cam, 0), 1);
    const Codes expected = {{"QRCode", "DOCSCAN-PAGE-1"}, {"Code128", "PAGE1-12345"}};
    for (int index = 0; index < ZoGetResCount(cam); ++index) {
        ASSERT_EQ(ZoSetResolution(cam, index), 1);
        EXPECT_EQ(parse(ZoReadBarcode(cam)), expected)
            << ZoGetResWidth(cam, index) << " x " << ZoGetResHeight(cam, index);
    }
    ZoCloseCamera(cam);
}

TEST(EngineBarcodeTest, ClosedOrMissingCameraReadsNothing) {
    ZoInit();
    EXPECT_STREQ(ZoReadBarcode(1), "");
    EXPECT_STREQ(ZoReadBarcode(99), "");
    EXPECT_TRUE(traceLines().contains(R"(ZoReadBarcode(99) -> "" [no such camera])"));
}
