#pragma once

// The modes the flat API sets with plain ints, as the engine holds them. The ints are turned
// into these at the C boundary (ZoApi.cpp, ZoApiSettings.cpp) and nowhere else.

#include "pipeline/ColorMode.h"

#include <optional>

namespace camcore {

// What dragging with the left button does in the video window.
enum class MouseMode { Ignore = -1, Drag = 0, Cut = 1 };
// How PDF captures are filed: pages collected in one file across captures, or a file a page.
enum class PdfMode { Collected = 0, OnePerFile = 1 };
// What an automatic crop cuts out: the page, or up to two cards laid out on one page.
enum class CaptureMode { Page = 0, CardCopy = 1 };

// The mode a flat API int names; none for a value outside First..Last.
template <typename Mode, Mode First, Mode Last> std::optional<Mode> modeFromInt(int value) {
    if (value < static_cast<int>(First) || value > static_cast<int>(Last))
        return std::nullopt;
    return static_cast<Mode>(value);
}

inline std::optional<MouseMode> mouseModeFrom(int value) {
    return modeFromInt<MouseMode, MouseMode::Ignore, MouseMode::Cut>(value);
}
inline std::optional<ColorMode> colorModeFrom(int value) {
    return modeFromInt<ColorMode, ColorMode::Color, ColorMode::BlackWhite>(value);
}
inline std::optional<PdfMode> pdfModeFrom(int value) {
    return modeFromInt<PdfMode, PdfMode::Collected, PdfMode::OnePerFile>(value);
}
inline std::optional<CaptureMode> captureModeFrom(int value) {
    return modeFromInt<CaptureMode, CaptureMode::Page, CaptureMode::CardCopy>(value);
}

} // namespace camcore
