#pragma once

#include "ZoApi.h"

#include <QColor>
#include <QPoint>
#include <QSize>
#include <QString>

#include <optional>

namespace camcore {

// A watermark as the engine draws it: checked values, independent of the caller's record.
struct Watermark {
    // Larger sizes are cut to this: 1000 points at 600 DPI are glyphs 8333 pixels tall, more
    // than any camera frame, and anything beyond only costs memory and time.
    static constexpr int kMaxFontPoints = 1000;
    static constexpr int kDefaultFontPoints = 80;

    QString text;       // may hold line breaks
    QString fontFamily; // as stored by the caller; fallbacks are added when drawing
    int fontPoints = kDefaultFontPoints;
    QColor color;          // its alpha is the opacity
    int angle = 0;         // degrees, positive turns counter-clockwise, -90..90
    bool withDate = false; // a second line with the local date and time
    bool fixedPlace = true;
    int place = 0;   // 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left, 4 centre
    QPoint position; // offsets mode: the top-left of the turned text, in source pixels

    bool operator==(const Watermark&) const = default;
};

// The watermark types of the interface: text alone, or text with the date.
inline constexpr int kWatermarkText = 2;
inline constexpr int kWatermarkTextAndDate = 5;

// Reads the caller's record, which may be untrusted: texts no further than their fields and cut
// between characters, a size of 0 or less taken as the default and a huge one capped, an
// unknown place taken as top-left, the angle and the position kept inside their ranges
// (`source` is the camera's frame size; empty leaves the position unbounded above). None for an
// unknown type.
std::optional<Watermark> readWatermark(const _WATERMARKPARAM& record, int type, QSize source);

} // namespace camcore
