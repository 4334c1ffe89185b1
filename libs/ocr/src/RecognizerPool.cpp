#include "RecognizerPool.h"

#include <algorithm>
#include <thread>

namespace quilocr {

namespace {

// Reading is one thread a call; more recognizers than two would serve no page of a book and cost
// their models' memory (about 100 MB each).
constexpr std::size_t kMaxRecognizers = 2;

} // namespace

RecognizerPool& RecognizerPool::instance() {
    static RecognizerPool* const pool = new RecognizerPool; // outlives the exit handlers' use
    return *pool;
}

RecognizerPool::RecognizerPool()
    : m_limit(std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, kMaxRecognizers)) {}

bool RecognizerPool::setProgramDir(const std::string& programDir) {
    const std::lock_guard lock(m_mutex);
    m_programDir = programDir;
    return !findLanguageData(programDir).folder.empty();
}

RecognizerPool::Lease RecognizerPool::borrow() {
    std::unique_lock lock(m_mutex);
    while (m_idle.empty() && m_made >= m_limit)
        m_returned.wait(lock);
    Recognizer* recognizer = nullptr;
    if (m_idle.empty()) {
        recognizer = new Recognizer;
        ++m_made;
    } else {
        recognizer = m_idle.back();
        m_idle.pop_back();
    }
    recognizer->setProgramDir(m_programDir);
    return Lease(*this, *recognizer);
}

void RecognizerPool::giveBack(Recognizer& recognizer) {
    {
        const std::lock_guard lock(m_mutex);
        m_idle.push_back(&recognizer);
    }
    m_returned.notify_one();
}

} // namespace quilocr
