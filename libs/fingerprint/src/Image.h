#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fingerprint {

// A dense single-channel image, row by row without padding.
template <typename T> struct Plane {
    int width = 0;
    int height = 0;
    std::vector<T> pixels;

    Plane() = default;
    Plane(int w, int h, T fill = T()) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}

    T& at(int x, int y) { return pixels[std::size_t(y) * width + x]; }
    const T& at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    bool empty() const { return pixels.empty(); }
};

using GreyImage = Plane<std::uint8_t>; // 0 black .. 255 white, ridges dark
using FloatPlane = Plane<float>;
using Mask = Plane<std::uint8_t>; // 1 inside, 0 outside

} // namespace fingerprint
