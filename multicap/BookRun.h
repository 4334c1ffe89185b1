#pragma once

#include <QByteArray>

// A book run on one camera: every spread it is asked to add is split at the spine, each page
// flattened, cleaned and turned upright, and both pages go, left then right, at the end of one
// searchable PDF. The file holds a whole document after every spread; one that never received a
// page is never made. The camera's switches are the book's while the run lasts; the caller sends
// its own back once the run has finished.
class BookRun {
public:
    BookRun(int camera, QByteArray path);
    ~BookRun();
    BookRun(const BookRun&) = delete;
    BookRun& operator=(const BookRun&) = delete;

    // Adds the camera's current spread; the number of pages added, 0 when nothing was.
    int addSpread();
    int pages() const { return m_pages; }
    const QByteArray& path() const { return m_path; }
    // Ends the document; later calls do nothing.
    void finish();

private:
    int m_camera;
    QByteArray m_path;
    int m_pages = 0;
    bool m_open = true;
};
