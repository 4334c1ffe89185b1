#include "barcode/BarcodeMarkup.h"

#include <QString>

namespace camcore {
namespace {

// XML 1.0 allows tab, line feed, carriage return and everything from U+0020 except the
// surrogates (which QString::fromUtf8 never leaves unpaired) and U+FFFE/U+FFFF.
bool allowedInXml(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c != 0xFFFE && c != 0xFFFF);
}

} // namespace

std::string xmlEscaped(const std::string& text) {
    // Invalid UTF-8 becomes U+FFFD here as well.
    const QString decoded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    QString escaped;
    escaped.reserve(decoded.size());
    for (const char32_t c : decoded.toUcs4()) {
        switch (c) {
        case '&':
            escaped += QStringLiteral("&amp;");
            break;
        case '<':
            escaped += QStringLiteral("&lt;");
            break;
        case '>':
            escaped += QStringLiteral("&gt;");
            break;
        case '"':
            escaped += QStringLiteral("&quot;");
            break;
        default:
            escaped += allowedInXml(c) ? QString::fromUcs4(&c, 1) : QString(QChar(0xFFFD));
        }
    }
    return escaped.toStdString();
}

std::string barcodeMarkup(const std::vector<FoundCode>& codes) {
    if (codes.empty())
        return {};
    std::string markup = "<barcodes>\n";
    for (const FoundCode& code : codes)
        markup += "<barcode type=\"" + xmlEscaped(code.format) + "\">" + xmlEscaped(code.text) +
                  "</barcode>\n";
    return markup + "</barcodes>";
}

} // namespace camcore
