#pragma once

// Generated pages whose text is known, as the program hands them to the OCR library: a page
// filling a 3264 x 2448 camera frame (slightly turned, a little out of focus, lit unevenly,
// with sensor noise and the camera's JPEG), reduced to 1200 pixels wide with Qt's fast
// (nearest-pixel) scaling and saved as JPEG at Qt's default quality.

#include <QString>

#include <vector>

namespace ocrcorpus {

enum class Language { English, Chinese, Mixed };

struct Page {
    QString name; // "chinese-wqy-21px+0.8deg": the font and its size in the 1200-pixel file
    Language language = Language::English;
    QString truth; // the printed paragraphs, '\n' between them
    QString file;  // the 1200-pixel JPEG
};

// The corpus, written into `folder`: 6 pages (two of each language), or all 18 when `full`.
// Needs a QGuiApplication for the fonts.
std::vector<Page> writePages(const QString& folder, bool full);

// True when OCR_CORPUS_FULL=1 asks for the whole corpus.
bool fullCorpusWanted();

// 1 - edit distance / length of the truth, at least 0. Whitespace does not count (where a line
// breaks is the layout's business), and full-width Latin letters, digits and punctuation count
// as their ASCII forms.
double accuracy(const QString& read, const QString& truth);

const char* languageName(Language language);

} // namespace ocrcorpus
