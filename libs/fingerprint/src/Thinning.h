#pragma once

#include "Image.h"

namespace fingerprint {

// Thins the ridges to lines one pixel wide (Zhang and Suen's two sub-iterations), then takes out
// the corner pixels of staircases, which would otherwise read as three-way branches.
Mask thin(Mask ridges);

// The eight neighbours of (x, y) clockwise from north, 1 for ridge; outside counts as valley.
void neighbours(const Mask& image, int x, int y, int out[8]);

// Ridge runs around a pixel: 1 at a ridge ending, 2 on a ridge, 3 at a bifurcation.
int crossingNumber(const int around[8]);

} // namespace fingerprint
