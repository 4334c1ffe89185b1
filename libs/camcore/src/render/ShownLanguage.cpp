#include "ShownLanguage.h"

#include <atomic>

namespace camcore {
namespace {

// English until the program says otherwise, as a program without a language setting expects.
std::atomic<int> g_language{1};

} // namespace

void setShownLanguage(int language) {
    g_language.store(language == 0 ? 0 : 1, std::memory_order_relaxed);
}

int shownLanguage() {
    return g_language.load(std::memory_order_relaxed);
}

QString shownText(const char* chinese, const char* english) {
    return QString::fromUtf8(shownLanguage() == 0 ? chinese : english);
}

} // namespace camcore
