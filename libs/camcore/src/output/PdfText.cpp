#include "output/PdfText.h"

#include <QHash>

namespace camcore {
namespace {

// Every code advances half the font size; a word's matrix stretches it to the word's box.
constexpr int kAdvance = 500;
constexpr int kCodesPerBlock = 100; // the most a bfchar block may hold

QByteArray number(double value) {
    QByteArray text = QByteArray::number(value, 'f', 3);
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.'))
        text.chop(1);
    return text == "-0" ? "0" : text;
}

QByteArray hex4(unsigned value) {
    return QByteArray::number(value, 16).rightJustified(4, '0').toUpper();
}

// A code point as UTF-16 in hex, as ToUnicode wants it.
QByteArray utf16Hex(char32_t codePoint) {
    const QString text = QString::fromUcs4(&codePoint, 1);
    QByteArray hex;
    for (const QChar unit : text)
        hex += hex4(unit.unicode());
    return hex;
}

QByteArray toUnicodeMap(const std::vector<char32_t>& codePoints) {
    QByteArray map = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                     "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                     "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                     "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    for (std::size_t first = 0; first < codePoints.size(); first += kCodesPerBlock) {
        const std::size_t end = std::min(codePoints.size(), first + kCodesPerBlock);
        map += QByteArray::number(int(end - first)) + " beginbfchar\n";
        for (std::size_t i = first; i < end; ++i)
            map += '<' + hex4(unsigned(i + 1)) + "> <" + utf16Hex(codePoints[i]) + ">\n";
        map += "endbfchar\n";
    }
    return map + "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
}

} // namespace

PdfTextLayer pdfTextLayer(const std::vector<PdfWord>& words, QSize picture, double pointsPerPixel,
                          int font) {
    PdfTextLayer layer;
    QHash<char32_t, unsigned> codes; // code point -> code, from 1
    std::vector<char32_t> codePoints;
    QByteArray shown;
    for (const PdfWord& word : words) {
        const QRect box = word.box.intersected(QRect(QPoint(0, 0), picture));
        if (box.isEmpty())
            continue;
        QByteArray text;
        int count = 0;
        for (const char32_t codePoint : word.text.toUcs4()) {
            if (QChar::isSpace(codePoint) || codePoint < 0x20 || codes.size() >= 0xFFFF)
                continue;
            auto found = codes.find(codePoint);
            if (found == codes.end()) {
                codePoints.push_back(codePoint);
                found = codes.insert(codePoint, unsigned(codePoints.size()));
            }
            text += hex4(*found);
            ++count;
        }
        if (count == 0)
            continue;
        // The font is 1 point; the matrix makes the codes fill the box, baseline at its foot.
        const double width = box.width() * pointsPerPixel;
        const double height = box.height() * pointsPerPixel;
        const double x = box.left() * pointsPerPixel;
        const double y = (picture.height() - box.bottom() - 1) * pointsPerPixel;
        shown += number(width * 1000.0 / (kAdvance * count)) + " 0 0 " + number(height) + ' ' +
                 number(x) + ' ' + number(y) + " Tm <" + text + "> Tj\n";
    }
    if (shown.isEmpty())
        return layer;

    const QByteArray name = "/GlyphLessFont";
    const auto ref = [](int object) {
        return QByteArray::number(object) + " 0 R";
    };
    layer.operators = "\nBT 3 Tr /F0 1 Tf\n" + shown + "ET";
    layer.fontDictionary = "<< /Type /Font /Subtype /Type0 /BaseFont " + name +
                           " /Encoding /Identity-H /DescendantFonts [" + ref(font + 1) +
                           "] /ToUnicode " + ref(font + 3) + " >>";
    layer.cidFont = "<< /Type /Font /Subtype /CIDFontType2 /BaseFont " + name +
                    " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"
                    " /FontDescriptor " +
                    ref(font + 2) + " /DW " + QByteArray::number(kAdvance) +
                    " /CIDToGIDMap /Identity >>";
    // A descent of 0 reads as "unknown" to poppler, which then hangs 0.35 em below the
    // baseline: -1 keeps a word's box on its ink.
    layer.fontDescriptor = "<< /Type /FontDescriptor /FontName " + name +
                           " /Flags 5 /FontBBox [0 0 " + QByteArray::number(kAdvance) +
                           " 1000] /ItalicAngle 0 /Ascent 1000 /Descent -1 /CapHeight 1000"
                           " /StemV 80 >>";
    layer.toUnicode = toUnicodeMap(codePoints);
    return layer;
}

} // namespace camcore
