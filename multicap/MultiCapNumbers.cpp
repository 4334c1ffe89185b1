#include "MultiCapNumbers.h"

#include "Settings.h"

namespace multicap_numbers {
namespace {

std::optional<int> whole(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

bool validInterval(int seconds) {
    return seconds >= 1 && seconds <= kMaxInterval;
}

} // namespace

std::optional<int> interval(const QString& text) {
    const auto value = whole(text);
    return value && validInterval(*value) ? value : std::nullopt;
}

std::optional<int> count(const QString& text) {
    const auto value = whole(text);
    return value && *value >= 1 ? value : std::nullopt;
}

void correctStored(Settings& settings) {
    if (!validInterval(settings.interval))
        settings.interval = 1;
    if (settings.capCount < 1)
        settings.capCount = kDefaultCount;
    if (settings.multiCapMode < 0 || settings.multiCapMode > 2)
        settings.multiCapMode = 0;
}

} // namespace multicap_numbers
