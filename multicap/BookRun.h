#pragma once

#include <QByteArray>

// A book run on one camera: every spread it is asked to add is split at the spine, each page
// flattened, cleaned and turned upright, and both pages go, left then right, at the end of one
// searchable PDF. Adding a spread takes the picture and makes the pages; turning them upright,
// reading their text and writing them follow behind, in order, while the next page is turned.
// The file holds a whole document after every page written; one that never received a page is
// never made. The camera's switches are the book's while the run lasts; the caller sends its own
// back once the run has finished.
class BookRun {
public:
    BookRun(int camera, QByteArray path);
    ~BookRun();
    BookRun(const BookRun&) = delete;
    BookRun& operator=(const BookRun&) = delete;

    // Adds the camera's current spread; the number of pages handed over, 0 when none were.
    int addSpread();
    int pages() const { return m_pages; }
    const QByteArray& path() const { return m_path; }
    // Waits for the pages behind and ends the document: the number of pages that could not be
    // written. Later calls do nothing and return 0.
    int finish();

private:
    int m_camera;
    QByteArray m_path;
    int m_pages = 0;
    bool m_open = true;
};
