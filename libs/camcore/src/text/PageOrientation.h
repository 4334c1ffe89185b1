#pragma once

#include <QImage>

namespace camcore {

// The clockwise turn (0, 90, 180 or 270 degrees) that brings `page` upright, when its text shows
// it lies sideways or upside down (read by the OCR library's orientation model on a reduced
// copy); 0 when it is upright, has too little text to tell, or the library is missing. Takes a
// few tenths of a second.
int uprightTurn(const QImage& page);

} // namespace camcore
