#pragma once

#include <optional>

// The scale slider runs from 0 to 100 over the camera's zoom range [min, max].
constexpr int kScaleSliderMax = 100;

float zoomForSlider(float min, float max, int value);
// The slider position of a reported ratio, truncated toward zero; none for a ratio outside the
// range or an empty range (a camera that reported no range).
std::optional<int> sliderForZoom(float min, float max, float ratio);
