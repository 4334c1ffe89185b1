#pragma once

#include "device/virtual/MotionSource.h"

#include <QSize>
#include <QString>

#include <chrono>
#include <vector>

namespace camcore {

// The timing list a folder may hold (CAMCORE_VIRTUAL_SOURCE=DIR): with it the camera plays the
// folder's pictures in the list's order and for the list's times instead of by page.
inline constexpr char kTimingListName[] = "timing.txt";

// One line of a timing list: a picture and how long it shows.
struct TimedPicture {
    QString path; // empty when the file named is missing: the document shows for the time
    std::chrono::microseconds start{0};
    std::chrono::microseconds duration{0};
    int line = 0;
};

// Reads a timing list: one line per picture shown, `file-name  seconds` (the name, which may hold
// spaces, is relative to the list's folder; seconds are a number above 0 such as 2 or 0.5), with
// blank lines and lines starting with # left out. A line whose seconds are missing or bad is
// warned about (the list's path and line) and left out; a file that is missing is warned about
// and its time shows the document.
std::vector<TimedPicture> readTimingList(const QString& listPath);

// A folder's pictures as its timing list orders and times them, played once from the start of
// the stream and then holding the last. Each picture is read when its time comes.
class TimedFolder final : public MotionSource {
public:
    TimedFolder(const QString& listPath, QSize frameSize);

    bool advanceTo(std::chrono::microseconds time) override;
    QImage picture() const override { return m_picture; }

private:
    QString m_listPath;
    QSize m_size;
    std::vector<TimedPicture> m_pictures;
    std::size_t m_shown = 0;
    bool m_started = false;
    QImage m_picture;
};

} // namespace camcore
