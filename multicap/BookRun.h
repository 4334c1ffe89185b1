#pragma once

#include <QByteArray>
#include <QObject>

#include <functional>
#include <optional>
#include <vector>

class QImage;

// A book run on one camera: every spread it is asked to add is split at the spine, each page
// flattened, cleaned and turned upright, and both pages go, left then right, at the end of one
// searchable PDF. Adding a spread takes the settled picture at once; making the pages, reading
// their text and writing them follow behind the window, in order, while the next page is turned.
// The file holds a whole document after every page written; one that never received a page is
// never made. The camera's switches are the book's while the run lasts; the caller sends its own
// back once the run has finished.
class BookRun {
public:
    // A spread's pages are in the file (`pages` of them; 0 when it failed), shown by `left` and,
    // for a spread split in two, `right`.
    using SpreadAdded = std::function<void(int pages, const QImage& left, const QImage& right)>;

    BookRun(int camera, QByteArray path);
    // A run still writing waits for its spreads here: no accepted page is dropped.
    ~BookRun();
    BookRun(const BookRun&) = delete;
    BookRun& operator=(const BookRun&) = delete;

    // Takes the camera's current spread; false when the engine refused it (busy, camera gone).
    bool addSpread(SpreadAdded added);
    int pages() const { return m_pages; }
    // Spreads taken and not yet in the file.
    int spreadsBehind() const { return m_behind; }
    // Takes the last spread in the file out of it, while the run is on and no spread is behind:
    // the file becomes the book as it was before that spread. False when that cannot be asked
    // now; otherwise `done` runs once it is decided, true when the spread is out.
    bool removeLastSpread(std::function<void(bool removed)> done);
    // The next spread the camera finds replaces the last one in the file, even the same spread
    // still lying there: its pages come out just before the new ones go in, and `removed` runs
    // once that is decided. Asked under the same rule as a removal, for any spread, the first
    // too; false when it cannot be asked now. A run that ends first keeps the last spread.
    bool retakeLastSpread(std::function<void(bool removed)> removed);
    bool removing() const { return m_removing > 0; }
    bool retaking() const { return m_replaceNext.has_value(); }
    const QByteArray& path() const { return m_path; }
    // Ends the run: no spread is taken any more, and `finished` runs once the spreads taken are
    // in the file (at once when none wait) and the camera stopped collecting for the book.
    void finish(std::function<void()> finished);

private:
    bool mayChangeLastSpread() const;
    bool queueRemoval(std::function<void(bool removed)> done);
    void finishIfDone();
    void release();

    int m_camera;
    QByteArray m_path;
    int m_pages = 0;
    int m_behind = 0;
    int m_removing = 0;
    std::vector<int> m_spreadPages; // pages of each spread in the file, in order
    std::optional<std::function<void(bool removed)>> m_replaceNext; // a re-take asked for
    bool m_open = true;
    bool m_released = false;
    std::function<void()> m_finished;
    QObject m_alive; // spreads that end after the run is gone are not reported
};
