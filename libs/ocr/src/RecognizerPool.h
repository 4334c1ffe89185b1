#pragma once

// The recognizers the entries read with. Each has Tesseract engines of its own, so two calls on
// two threads read at once (the two pages of a book's spread) where the machine has the cores
// for it; a further call waits until one is free. Made on first need and kept for the life of
// the process, as starting one costs a fifth of a second and its models.

#include "Recognizer.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace quilocr {

class RecognizerPool {
public:
    static RecognizerPool& instance();

    // The folder of the program, searched first for language data by every recognizer that has
    // not started yet; true when models were found there or elsewhere.
    bool setProgramDir(const std::string& programDir);

    // A recognizer lent to the caller's thread until the lease goes.
    class Lease {
    public:
        Lease(RecognizerPool& pool, Recognizer& recognizer)
            : m_pool(pool), m_recognizer(recognizer) {}
        ~Lease() { m_pool.giveBack(m_recognizer); }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        Recognizer* operator->() const { return &m_recognizer; }

    private:
        RecognizerPool& m_pool;
        Recognizer& m_recognizer;
    };
    Lease borrow();

private:
    RecognizerPool();
    void giveBack(Recognizer& recognizer);

    std::mutex m_mutex;
    std::condition_variable m_returned;
    std::string m_programDir;
    std::size_t m_made = 0;
    std::size_t m_limit;
    std::vector<Recognizer*> m_idle; // never destroyed: their engines end at exit instead
};

} // namespace quilocr
