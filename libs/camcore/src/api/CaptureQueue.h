#pragma once

#include "CaptureJob.h"
#include "base/OrderedWork.h"
#include "output/PdfDocument.h"

#include <atomic>
#include <cstddef>
#include <functional>

namespace camcore {

// The captures of one camera, finished behind the thread that takes them: two jobs are made at
// once where there are cores for them, and they are written one after the other in the order
// taken, so files appear in the order of the presses. What waits is bounded in bytes; the
// bound refuses a job, it never makes the caller wait. Nothing taken is dropped: the queue
// finishes every job before it goes. Taking jobs and waiting are for one owning thread.
class CaptureQueue {
public:
    // Runs on the writing thread once the job is written (or failed).
    using Done = std::function<void(const CaptureOutcome&)>;

    // What the jobs waiting may hold at once: about 100 camera JPEGs of 8 megapixels, or a
    // dozen pages made of them.
    static constexpr std::size_t kDefaultByteLimit = std::size_t(200) << 20;
    // Tests lower it to see the bound at work.
    static void setByteLimit(std::size_t bytes);

    CaptureQueue() = default;
    ~CaptureQueue() { finishAll(); }
    CaptureQueue(const CaptureQueue&) = delete;
    CaptureQueue& operator=(const CaptureQueue&) = delete;

    // The job's number (1, 2, ...), or 0 when the jobs waiting leave no room for it. A job is
    // always taken while nothing waits.
    int take(CaptureJob job, Done done);
    // The same, waiting first for room: for callers that wait for the job anyway.
    int takeWaiting(CaptureJob job, Done done);
    // Jobs taken and not yet written.
    int pending() const { return m_pending.load(); }
    // Waits until every job is written; the pages that could not be written since the last call.
    int finishAll();
    // The collected document ends once the jobs taken so far are written: at once when none wait.
    void endDocument();
    // The last `count` pages come out of the collected document once the jobs taken so far are
    // written; `done` then runs on the writing thread with the pages left, or -1 when they could
    // not come out (PdfDocument::removeLastPages).
    void removeLastPages(int count, std::function<void(int pagesLeft)> done);
    // The collected document, for a writer on the owning thread: every job is finished first.
    PdfDocument& idleDocument() {
        finishAll();
        return m_document;
    }

private:
    std::size_t m_lastJob = 0;
    std::atomic<int> m_pending{0}; // jobs not yet written
    std::atomic<int> m_items{0};   // jobs and document ends not yet done
    std::atomic<std::size_t> m_bytes{0};
    std::atomic<int> m_pagesLost{0};
    PdfDocument m_document; // the writing thread's while jobs wait
    // Declared last, so that it goes first: its jobs are finished while the document is there.
    OrderedWork<MadeCapture> m_work;
};

} // namespace camcore
