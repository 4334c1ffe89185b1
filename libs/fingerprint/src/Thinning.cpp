#include "Thinning.h"

#include <vector>

namespace fingerprint {

namespace {

// Index of each neighbour: P2 (north) .. P9 (north-west) in the usual naming.
enum { N, NE, E, SE, S, SW, W, NW };

int count(const int p[8]) {
    int total = 0;
    for (int i = 0; i < 8; ++i)
        total += p[i];
    return total;
}

bool deletable(const int p[8], bool firstPass) {
    const int b = count(p);
    if (b < 2 || b > 6 || crossingNumber(p) != 1)
        return false;
    if (firstPass)
        return !(p[N] && p[E] && p[S]) && !(p[E] && p[S] && p[W]);
    return !(p[N] && p[E] && p[W]) && !(p[N] && p[S] && p[W]);
}

// Whether the ridge pixels around a pixel stay joined without it: two runs that touch corner to
// corner (a run ending north and one starting east, with north-east empty) are one line that
// turns, and the pixel between them is the corner of a staircase.
bool staircaseCorner(const int p[8]) {
    if (crossingNumber(p) != 2)
        return false;
    const bool northEast = p[N] && p[E] && !p[NE];
    const bool southEast = p[E] && p[S] && !p[SE];
    const bool southWest = p[S] && p[W] && !p[SW];
    const bool northWest = p[W] && p[N] && !p[NW];
    return northEast || southEast || southWest || northWest;
}

} // namespace

void neighbours(const Mask& image, int x, int y, int out[8]) {
    static constexpr int kOffsets[8][2] = {{0, -1}, {1, -1}, {1, 0},  {1, 1},
                                           {0, 1},  {-1, 1}, {-1, 0}, {-1, -1}};
    for (int i = 0; i < 8; ++i) {
        const int nx = x + kOffsets[i][0];
        const int ny = y + kOffsets[i][1];
        out[i] = image.inside(nx, ny) && image.at(nx, ny) ? 1 : 0;
    }
}

int crossingNumber(const int around[8]) {
    int transitions = 0;
    for (int i = 0; i < 8; ++i)
        transitions += !around[i] && around[(i + 1) % 8];
    return transitions;
}

Mask thin(Mask ridges) {
    std::vector<std::pair<int, int>> candidates;
    for (int y = 0; y < ridges.height; ++y)
        for (int x = 0; x < ridges.width; ++x)
            if (ridges.at(x, y))
                candidates.push_back({x, y});
    std::vector<std::pair<int, int>> marked;
    bool changed = true;
    while (changed) {
        changed = false;
        for (const bool firstPass : {true, false}) {
            marked.clear();
            for (const auto& [x, y] : candidates) {
                int p[8];
                neighbours(ridges, x, y, p);
                if (ridges.at(x, y) && deletable(p, firstPass))
                    marked.push_back({x, y});
            }
            for (const auto& [x, y] : marked)
                ridges.at(x, y) = 0;
            changed = changed || !marked.empty();
        }
        std::erase_if(candidates, [&](const auto& c) { return !ridges.at(c.first, c.second); });
    }
    // One by one, so that each decision sees the corners already taken out.
    for (const auto& [x, y] : candidates) {
        int p[8];
        neighbours(ridges, x, y, p);
        if (staircaseCorner(p))
            ridges.at(x, y) = 0;
    }
    return ridges;
}

} // namespace fingerprint
