#pragma once

#include "idcard/IdCard.h"

namespace camcore {

// A reader of identity-card chips. The virtual reader stands in where there is no hardware; a
// driver for a real reader implements the same call. Reads may come from any thread, one at a
// time or at once: an implementation guards its own state.
class CardReader {
public:
    virtual ~CardReader() = default;
    // The card lying on the reader now; the error says why there is none.
    virtual CardReading read() = 0;
};

} // namespace camcore
