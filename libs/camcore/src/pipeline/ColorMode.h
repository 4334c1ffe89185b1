#pragma once

#include <QImage>

namespace camcore {

enum class ColorMode { Color = 0, Grey = 1, BlackWhite = 2 };

// Applies a colour mode to an RGB picture. Grey gives Format_Grayscale8. Black and white gives
// Format_Grayscale8 holding only 0 and 255, from an adaptive threshold that evens out uneven
// light (shadows, a lamp at one side) before deciding, so text stays black and paper white
// across the page. Colour returns the picture unchanged.
QImage applyColorMode(const QImage& picture, ColorMode mode);

} // namespace camcore
