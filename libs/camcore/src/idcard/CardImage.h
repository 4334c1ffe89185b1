#pragma once

#include "idcard/IdCard.h"

#include <QImage>

namespace camcore {

// The resolution the card page is drawn at: a card of 85.6 x 54 mm is 1011 x 638 pixels.
inline constexpr int kCardPageDpi = 300;

// A white page with both sides of the card, front above back, at kCardPageDpi: the front shows
// the fields and the photo, the back the issuing authority and the period of validity. Texts too
// long for their place are cut at its edge. Format_RGB888. Needs a QGuiApplication (fonts).
QImage drawCardPage(const IdCard& card);

} // namespace camcore
