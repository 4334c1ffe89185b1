#include "CaptureQueue.h"

#include <malloc.h>

namespace camcore {
namespace {

std::atomic<std::size_t> g_byteLimit{CaptureQueue::kDefaultByteLimit};

// A job taken before the stream's first frame: about what an 8-megapixel camera JPEG holds.
constexpr std::size_t kUnknownFrameBytes = std::size_t(2) << 20;

std::size_t frameBytes(const CaptureJob& job) {
    return job.frame.empty() ? kUnknownFrameBytes : job.frame.bytes->size();
}

// The pictures of a capture are tens of megabytes, made on the making threads and freed on this
// one; the allocator keeps what each thread freed for that thread's next picture, so a camera
// left alone after a few captures would hold a few hundred megabytes it does not use. With no job
// left that memory goes back to the system (a few milliseconds, on this thread). The pages of the
// job just written are still held here and are kept until the next idle moment.
void releaseFreedMemory() {
    ::malloc_trim(0);
}

} // namespace

void CaptureQueue::setByteLimit(std::size_t bytes) {
    g_byteLimit = bytes;
}

int CaptureQueue::take(CaptureJob job, Done done) {
    const std::size_t charged = frameBytes(job);
    if (m_pending.load() > 0 && m_bytes.load() + charged > g_byteLimit.load())
        return 0;
    m_bytes += charged;
    ++m_pending;
    ++m_items;
    const int number = static_cast<int>(++m_lastJob);
    // What a job holds is counted until it is written: its frame from the start, its pages
    // once they are made.
    auto madeBytes = std::make_shared<std::size_t>(0);
    m_work.hand(
        [job = std::move(job), madeBytes, this] {
            MadeCapture made;
            try {
                made = makeCapture(job);
            } catch (...) { // out of memory: the job is still answered
                made = MadeCapture{};
                made.reason = ZO_CAPTURE_WRITE_FAILED;
            }
            *madeBytes = made.bytes();
            m_bytes += *madeBytes;
            return made;
        },
        [number, charged, madeBytes, done = std::move(done), this](const MadeCapture& made) {
            CaptureOutcome outcome = writeMadeCapture(made, m_document);
            outcome.job = number;
            m_pagesLost += static_cast<int>(made.pages.size()) - outcome.written;
            m_bytes -= charged + *madeBytes;
            if (--m_pending == 0)
                releaseFreedMemory();
            --m_items;
            if (done)
                done(outcome);
            return outcome.reason == ZO_CAPTURE_OK;
        });
    return number;
}

int CaptureQueue::takeWaiting(CaptureJob job, Done done) {
    if (m_pending.load() > 0 && m_bytes.load() + frameBytes(job) > g_byteLimit.load())
        finishAll();
    return take(std::move(job), std::move(done));
}

int CaptureQueue::finishAll() {
    m_work.wait();
    return m_pagesLost.exchange(0);
}

// Only the owning thread hands items over, so with none left the writing thread is idle.
void CaptureQueue::endDocument() {
    if (m_items.load() == 0) {
        m_document.close();
        return;
    }
    ++m_items;
    m_work.hand([] { return MadeCapture{}; },
                [this](const MadeCapture&) {
                    m_document.close();
                    --m_items;
                    return true;
                });
}

void CaptureQueue::removeLastPages(int count, std::function<void(int pagesLeft)> done) {
    ++m_items;
    m_work.hand([] { return MadeCapture{}; },
                [this, count, done = std::move(done)](const MadeCapture&) {
                    const bool removed = m_document.removeLastPages(count);
                    --m_items;
                    if (done)
                        done(removed ? m_document.pageCount() : -1);
                    return removed;
                });
}

} // namespace camcore
