#include "Foreground.h"

#include "Filters.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace fingerprint {

namespace {

// Windows of 17 pixels hold about two ridges at 500 dpi: enough to see their contrast, small
// enough to follow a change of pressure across the finger.
constexpr int kWindowRadius = 8;
constexpr int kBlock = 8;
// A block is finger where its contrast reaches this share of the strong contrast of the image
// (its 90th percentile). Clear prints have ridges of similar contrast everywhere; dry patches
// reach half of it, sensor noise on the bare glass stays under a fifth.
constexpr float kContrastShare = 0.3F;
constexpr float kMinContrast = 6; // grey levels: a blank reader

using Grid = Plane<std::uint8_t>;

Grid dilate(const Grid& in) {
    Grid out(in.width, in.height);
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x)
            for (int dy = -1; dy <= 1 && !out.at(x, y); ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (in.inside(x + dx, y + dy) && in.at(x + dx, y + dy)) {
                        out.at(x, y) = 1;
                        break;
                    }
    return out;
}

Grid erode(const Grid& in) {
    Grid inverse(in.width, in.height);
    for (std::size_t i = 0; i < in.pixels.size(); ++i)
        inverse.pixels[i] = !in.pixels[i];
    Grid grown = dilate(inverse);
    for (auto& v : grown.pixels)
        v = !v;
    return grown;
}

// Labels the 4-connected region of `value` from the seed with `label`; returns its size.
int flood(Grid& grid, int seedX, int seedY, std::uint8_t value, std::uint8_t label) {
    std::vector<std::pair<int, int>> stack{{seedX, seedY}};
    grid.at(seedX, seedY) = label;
    int size = 0;
    while (!stack.empty()) {
        const auto [x, y] = stack.back();
        stack.pop_back();
        ++size;
        const int next[4][2] = {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
        for (const auto& n : next) {
            if (grid.inside(n[0], n[1]) && grid.at(n[0], n[1]) == value) {
                grid.at(n[0], n[1]) = label;
                stack.push_back({n[0], n[1]});
            }
        }
    }
    return size;
}

// Keeps the largest region of finger blocks and fills the holes in it.
Grid largestSolidRegion(Grid grid) {
    constexpr std::uint8_t kFinger = 1;
    constexpr std::uint8_t kSeen = 2;
    constexpr std::uint8_t kOutside = 3;
    int bestSize = 0;
    int bestX = -1;
    int bestY = -1;
    for (int y = 0; y < grid.height; ++y)
        for (int x = 0; x < grid.width; ++x)
            if (grid.at(x, y) == kFinger) {
                const int size = flood(grid, x, y, kFinger, kSeen);
                if (size > bestSize) {
                    bestSize = size;
                    bestX = x;
                    bestY = y;
                }
            }
    Grid out(grid.width, grid.height);
    if (bestSize == 0)
        return out;
    flood(grid, bestX, bestY, kSeen, kFinger);
    for (auto& v : grid.pixels)
        v = v == kFinger ? kFinger : 0;
    // Background reachable from the border stays outside; everything else is the finger.
    for (int y = 0; y < grid.height; ++y)
        for (int x = 0; x < grid.width; ++x) {
            const bool border = x == 0 || y == 0 || x == grid.width - 1 || y == grid.height - 1;
            if (border && grid.at(x, y) == 0)
                flood(grid, x, y, 0, kOutside);
        }
    for (std::size_t i = 0; i < grid.pixels.size(); ++i)
        out.pixels[i] = grid.pixels[i] != kOutside;
    return out;
}

} // namespace

Foreground findForeground(const GreyImage& image) {
    const int w = image.width;
    const int h = image.height;
    FloatPlane grey(w, h);
    FloatPlane squares(w, h);
    for (std::size_t i = 0; i < grey.pixels.size(); ++i) {
        grey.pixels[i] = image.pixels[i];
        squares.pixels[i] = grey.pixels[i] * grey.pixels[i];
    }
    const FloatPlane mean = boxMean(grey, kWindowRadius);
    const FloatPlane meanSquare = boxMean(squares, kWindowRadius);

    Foreground result{FloatPlane(w, h), Mask(w, h)};
    FloatPlane spread(w, h);
    for (std::size_t i = 0; i < grey.pixels.size(); ++i) {
        const float m = mean.pixels[i];
        spread.pixels[i] = std::sqrt(std::max(0.0F, meanSquare.pixels[i] - m * m));
        result.normalised.pixels[i] = (m - grey.pixels[i]) / (spread.pixels[i] + 2);
    }

    Grid blocks((w + kBlock - 1) / kBlock, (h + kBlock - 1) / kBlock);
    std::vector<float> blockSpread;
    for (int by = 0; by < blocks.height; ++by)
        for (int bx = 0; bx < blocks.width; ++bx)
            blockSpread.push_back(spread.at(std::min(w - 1, bx * kBlock + kBlock / 2),
                                            std::min(h - 1, by * kBlock + kBlock / 2)));
    std::vector<float> sorted = blockSpread;
    const auto p90 = sorted.begin() + std::ptrdiff_t(sorted.size() * 9 / 10);
    std::nth_element(sorted.begin(), p90, sorted.end());
    const float threshold = std::max(kMinContrast, kContrastShare * *p90);
    for (std::size_t i = 0; i < blockSpread.size(); ++i)
        blocks.pixels[i] = blockSpread[i] >= threshold;

    // Closing bridges dry gaps between ridges, opening drops specks of noise on the glass.
    blocks = largestSolidRegion(dilate(erode(erode(dilate(blocks)))));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            result.mask.at(x, y) = blocks.at(x / kBlock, y / kBlock);
    return result;
}

} // namespace fingerprint
