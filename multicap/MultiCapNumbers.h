#pragma once

#include <QString>

#include <optional>

struct Settings;

// The interval and count fields and their stored values.
namespace multicap_numbers {

constexpr int kDefaultCount = 9999;
// The timer takes milliseconds as an int: 2,147,483 seconds is the longest interval it can hold.
constexpr int kMaxInterval = 2147483;

// The field's whole text as a 32-bit number ("3abc" and "99999999999" are none); the interval
// only within 1 .. kMaxInterval, the count only from 1.
std::optional<int> interval(const QString& text);
std::optional<int> count(const QString& text);

// Stored values out of range become what the fields would make of them: an interval of 1, a
// count of 9999; a mode other than timed (0), smart (1) or book (2) becomes timed.
void correctStored(Settings& settings);

} // namespace multicap_numbers
