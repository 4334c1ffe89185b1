#pragma once

#include "output/PdfImage.h"
#include "output/PdfText.h"

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace camcore {

// Our own PDF writer, of image pages (with an invisible text layer when words are given). qpdf and
// libharu build a document in memory and write the whole file each time, so adding page 200 of a
// collected document would rewrite 199 pages; here a page is an incremental update appended to the
// file (its objects, a new page tree root, an xref section for them and a trailer pointing at the
// previous one), whose size does not depend on the pages before it except for the root's /Kids list
// (~8 bytes a page).

// How far a document has been written: what the next update has to refer to.
struct PdfState {
    std::int64_t length = 0;   // bytes of the document so far
    std::int64_t lastXref = 0; // offset of the newest xref section
    int objectCount = 0;       // the trailer's /Size: highest object number + 1
    std::vector<int> pages;    // object numbers of the pages, in order
};

struct PdfSection {
    QByteArray bytes; // to be appended at offset state.length of the document
    PdfState next;    // the state once `bytes` are stored
};

// The bytes that add `image` as a page of `dpi` (MediaBox = pixels * 72 / dpi points, the
// image filling it) to the document `state` describes: a complete PDF 1.4 file for the first
// page (state is empty), an incremental update for each later page. `words`, in the image's
// pixels, become the page's invisible text layer (PdfText.h).
PdfSection appendPage(const PdfState& state, const PdfImage& image, int dpi,
                      const std::vector<PdfWord>& words = {});

} // namespace camcore
