#pragma once

#include "idcard/IdCard.h"

#include <QString>

namespace camcore {

// A card file of the virtual reader: UTF-8 text, one "key=value" per line for the keys name,
// sex, nation, birth, address, number, authority, validity and photo; "#" starts a comment line.
// A key left out is an empty field. In values "\n" is a line break and "\\" a backslash. photo
// names the holder's picture (JPEG, PNG or BMP, at most 1024 x 1024), relative to the card
// file's folder unless absolute. A card file without a readable photo, with an unknown key or a
// line that is not "key=value" is no card, and the error says which line.
CardReading readCardFile(const QString& path);

} // namespace camcore
