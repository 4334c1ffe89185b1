#include "output/PdfSections.h"

#include <map>
#include <utility>

namespace camcore {

namespace {

constexpr int kCatalog = 1;
constexpr int kPageTree = 2;

// A real number as PDF wants it: no exponent, no trailing zeros ("587.52", "612").
QByteArray real(double value) {
    QByteArray text = QByteArray::number(value, 'f', 4);
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.'))
        text.chop(1);
    return text;
}

QByteArray ref(int object) {
    return QByteArray::number(object) + " 0 R";
}

QByteArray imageDictionary(const PdfImage& image) {
    const QByteArray size = " /Width " + QByteArray::number(image.width) + " /Height " +
                            QByteArray::number(image.height);
    QByteArray dict = "<< /Type /XObject /Subtype /Image" + size;
    switch (image.kind) {
    case PdfImage::Kind::JpegRgb:
        dict += " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /DCTDecode";
        break;
    case PdfImage::Kind::JpegGrey:
        dict += " /ColorSpace /DeviceGray /BitsPerComponent 8 /Filter /DCTDecode";
        break;
    case PdfImage::Kind::Group4:
        // White runs code white pixels (TiffEncoder.h), which is /BlackIs1 false.
        dict += " /ColorSpace /DeviceGray /BitsPerComponent 1 /Filter /CCITTFaxDecode"
                " /DecodeParms << /K -1 /Columns " +
                QByteArray::number(image.width) + " /Rows " + QByteArray::number(image.height) +
                " /BlackIs1 false >>";
        break;
    }
    return dict + " /Length " + QByteArray::number(image.data.size()) + " >>";
}

// Collects objects and where they start, then closes the section with its xref and trailer.
class SectionWriter {
public:
    explicit SectionWriter(std::int64_t base) : m_base(base) {}

    void header() { m_bytes += "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n"; } // binary marker line

    void object(int number, const QByteArray& body) {
        begin(number);
        m_bytes += body + "\nendobj\n";
    }

    void stream(int number, const QByteArray& dictionary, const QByteArray& data) {
        begin(number);
        // Appended piece by piece: the data is a whole JPEG, not worth copying twice.
        m_bytes += dictionary;
        m_bytes += "\nstream\n";
        m_bytes += data;
        m_bytes += "\nendstream\nendobj\n";
    }

    // The xref section lists exactly the objects of this section, in runs of consecutive
    // numbers; the first section also lists the head of the free list, object 0.
    QByteArray finish(const PdfState& previous, int objectCount) {
        const bool first = previous.pages.empty();
        std::vector<std::pair<int, std::int64_t>> entries(m_offsets.begin(), m_offsets.end());
        if (first)
            entries.insert(entries.begin(), {0, 0});
        m_xref = m_base + m_bytes.size();
        m_bytes += "xref\n";
        for (std::size_t i = 0; i < entries.size();) {
            std::size_t end = i + 1;
            while (end < entries.size() && entries[end].first == entries[end - 1].first + 1)
                ++end;
            m_bytes += QByteArray::number(entries[i].first) + ' ' +
                       QByteArray::number(static_cast<int>(end - i)) + '\n';
            for (; i < end; ++i) {
                // Each entry is exactly 20 bytes, ending in CR LF.
                if (entries[i].first == 0)
                    m_bytes += "0000000000 65535 f\r\n";
                else
                    m_bytes += QByteArray::number(entries[i].second).rightJustified(10, '0') +
                               " 00000 n\r\n";
            }
        }
        m_bytes +=
            "trailer\n<< /Size " + QByteArray::number(objectCount) + " /Root " + ref(kCatalog);
        if (!first)
            m_bytes += " /Prev " + QByteArray::number(previous.lastXref);
        m_bytes += " >>\nstartxref\n" + QByteArray::number(m_xref) + "\n%%EOF\n";
        return m_bytes;
    }

    std::int64_t xrefOffset() const { return m_xref; }

private:
    void begin(int number) {
        m_offsets[number] = m_base + m_bytes.size();
        m_bytes += QByteArray::number(number) + " 0 obj\n";
    }

    std::int64_t m_base;
    std::int64_t m_xref = 0;
    QByteArray m_bytes;
    std::map<int, std::int64_t> m_offsets;
};

} // namespace

PdfSection appendPage(const PdfState& state, const PdfImage& image, int dpi,
                      const std::vector<PdfWord>& words) {
    PdfState next = state;
    SectionWriter writer(state.length);
    if (state.pages.empty()) {
        writer.header();
        writer.object(kCatalog, "<< /Type /Catalog /Pages " + ref(kPageTree) + " >>");
        next.objectCount = kPageTree + 1;
    }
    const int page = next.objectCount;
    const int xobject = page + 1;
    const int content = page + 2;
    const int font = page + 3;
    const PdfTextLayer text =
        pdfTextLayer(words, QSize(image.width, image.height), 72.0 / dpi, font);
    next.objectCount += text.empty() ? 3 : 7;
    next.pages.push_back(page);

    const QByteArray width = real(image.width * 72.0 / dpi);
    const QByteArray height = real(image.height * 72.0 / dpi);
    const QByteArray fonts = text.empty() ? "" : " /Font << /F0 " + ref(font) + " >>";
    writer.object(page, "<< /Type /Page /Parent " + ref(kPageTree) + " /MediaBox [0 0 " + width +
                            ' ' + height + "] /Resources << /XObject << /Im0 " + ref(xobject) +
                            " >>" + fonts + " >> /Contents " + ref(content) + " >>");
    writer.stream(xobject, imageDictionary(image), image.data);
    const QByteArray draw = "q " + width + " 0 0 " + height + " 0 0 cm /Im0 Do Q" + text.operators;
    writer.stream(content, "<< /Length " + QByteArray::number(draw.size()) + " >>", draw);
    if (!text.empty()) {
        writer.object(font, text.fontDictionary);
        writer.object(font + 1, text.cidFont);
        writer.object(font + 2, text.fontDescriptor);
        writer.stream(font + 3, "<< /Length " + QByteArray::number(text.toUnicode.size()) + " >>",
                      text.toUnicode);
    }

    QByteArray kids;
    for (int kid : next.pages)
        kids += ref(kid) + ' ';
    kids.chop(1);
    writer.object(kPageTree, "<< /Type /Pages /Kids [" + kids + "] /Count " +
                                 QByteArray::number(next.pages.size()) + " >>");

    PdfSection section;
    section.bytes = writer.finish(state, next.objectCount);
    next.lastXref = writer.xrefOffset();
    next.length = state.length + section.bytes.size();
    section.next = std::move(next);
    return section;
}

} // namespace camcore
