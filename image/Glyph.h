#pragma once

#include <QPainterPath>
#include <QString>

// The outline of `glyph` of the icon font scaled to fill a square of `size` pixels less a free
// border of `inset` (a share of the size), centred.
QPainterPath fittedGlyph(const QString& family, char16_t glyph, int size, double inset);
