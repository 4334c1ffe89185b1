#include "ZoomScale.h"

float zoomForSlider(float min, float max, int value) {
    return min + (max - min) * static_cast<float>(value) / kScaleSliderMax;
}

std::optional<int> sliderForZoom(float min, float max, float ratio) {
    if (!(max > min) || ratio < min || ratio > max)
        return std::nullopt;
    return static_cast<int>((ratio - min) * kScaleSliderMax / (max - min));
}
