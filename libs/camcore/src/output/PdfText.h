#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

namespace camcore {

// A word recognised on a page picture: its text and its box in the picture's pixels.
struct PdfWord {
    QString text;
    QRect box;
};

// The invisible text that makes an image page searchable: each word laid over its place on
// the picture in text render mode 3 (drawn nowhere, found by search, selection and text
// extraction). The font is a composite font whose codes are numbered per page in the order the
// characters first appear, with a ToUnicode map, so extraction gives back any script, Chinese
// included; no font program is embedded, since no glyph is ever drawn.
struct PdfTextLayer {
    QByteArray operators;      // to append to the page's content stream
    QByteArray fontDictionary; // the Type0 font; its descendant is at object `font + 1`
    QByteArray cidFont;        // object font + 1
    QByteArray fontDescriptor; // object font + 2
    QByteArray toUnicode;      // the stream data of object font + 3
    bool empty() const { return operators.isEmpty(); }
};

// The layer of `words` on a picture of `picture` pixels shown on a page `pointsPerPixel` points
// per pixel; the font objects are numbered from `font`. Empty when no word has a visible
// character and a box inside the picture.
PdfTextLayer pdfTextLayer(const std::vector<PdfWord>& words, QSize picture, double pointsPerPixel,
                          int font);

} // namespace camcore
