#pragma once

#include <QString>

// Draws the annotation toolbar's pictures into `dir`: for each item an off picture
// "<name>.png" and an on picture "<name>on.png", 25 pixels square. False when one could not be
// written.
bool renderMarkPictures(const QString& iconFamily, const QString& dir);
