#pragma once

#include "output/FileIo.h"
#include "output/OutputImage.h"
#include "output/PdfSections.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QString>

#include <array>
#include <vector>

namespace camcore {

// A PDF whose pages are collected across captures: the engine keeps one per camera. Each
// append() adds a page and makes the file at the path hold every page so far, at a cost that
// does not grow with the page count.
//
// The application deletes the file before each capture, so the document lives in working files
// of our own: hidden files beside the path (SiblingFile), removed when the document ends. A
// page is appended to a working file as an incremental update; the file is synced, hard-linked
// under a temporary name and renamed over the path, so readers of the path see the old
// document or the new one, never a part.
//
// Once linked, a working file and the visible file are one inode, and appending to it would
// change the visible file under its readers. So there are two working files, used in turn:
// page n goes into the one not linked at the path, after the update of page n-1 it lacks,
// then that file replaces the visible one. Each page thus writes two updates (the previous one
// is kept in memory for this), and the document takes twice its size on disk while collected.
// A working file that has another name when its turn comes (the application kept the file, or
// someone linked it) is never written: it is swapped for a copy first, the one cost that grows
// with the document. Unnamed O_TMPFILE working files would vanish after a crash, but Linux
// links such a file only once, and it must be linked at every other page.
// On file systems without hard links (vfat) each page copies the whole document instead.
//
// A crash leaves the working files beside the path (the path itself holds a whole document, or
// nothing if the application deleted it). The next document at that path continues from the
// longest working file that ends with a whole update, and removes the others. A document that
// ends normally removes its working files; the next one at its path continues the whole document
// the path holds. A file there that is not such a document is never written over: the pages go
// to the first free name with "_2", "_3" beside it (path() tells which).
//
// Not thread-safe: one camera's captures are sequential.
class PdfDocument {
public:
    PdfDocument() = default;
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    // Adds `image` as the last page of the document at `path` and makes the file at `path`
    // hold all its pages. A path other than the current document's starts a new document, or
    // continues the one found there.
    // On failure the file at `path` and the document are as they were.
    bool append(const OutputImage& image, const QString& path);

    // Ends the current document and removes its working files; the file at its path stays.
    // The next append starts anew.
    void close();

    // Takes the last `count` pages out: the file at path() becomes the document as it was before
    // they were appended (their objects and text go with them; nothing is read or made again),
    // replaced whole as a page is. Taking out every page removes the file and ends the document.
    // Only pages appended since the document was started or continued can be taken out; false,
    // with the document and the file as they were, otherwise or when the file cannot be written.
    bool removeLastPages(int count);

    // The file the pages go to: the path asked for, or the free name beside it.
    QString path() const { return m_path; }
    // Whether appends to `path` go to this document.
    bool collects(const QString& path) const {
        return !m_asked.isEmpty() && QDir::cleanPath(QFileInfo(path).absoluteFilePath()) == m_asked;
    }
    int pageCount() const { return static_cast<int>(m_state.pages.size()); }

private:
    struct WorkingFile {
        SiblingFile file;
        std::int64_t length = 0;
    };

    // Takes over the document that working files left at m_path hold, if any; removes the rest.
    void resumeLeftDocument();
    bool continueWholeDocument();
    bool prepare(int index);
    bool publish(const WorkingFile& working) const;

    // How far the document was written before each page appended since it was started or
    // continued, oldest first: taking pages out goes back to one of these.
    struct Checkpoint {
        std::int64_t length = 0;
        std::int64_t lastXref = 0;
        int objectCount = 0;
        int pageCount = 0;
    };

    QString m_asked; // the path appends name
    QString m_path;
    PdfState m_state;
    std::vector<Checkpoint> m_checkpoints;
    std::array<WorkingFile, 2> m_files;
    int m_current = 0;        // the working file holding the whole document
    QByteArray m_lastSection; // the newest update, which the other working file lacks
};

} // namespace camcore
