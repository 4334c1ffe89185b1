#pragma once

#include "base/Mutex.h"
#include "idcard/CardReader.h"

namespace camcore {

// The reader that stands in where there is no hardware: CAMCORE_VIRTUAL_IDCARD=FILE names a card
// file (CardFile.h). The card is placed on the reader when the reader starts, and again by each
// place(); the file is read at placement, so a card lying on the reader reads the same however
// often it is read, and a changed file shows at the next placement.
class VirtualCardReader final : public CardReader {
public:
    // Starts with the card of the variable placed, when it is set.
    VirtualCardReader();

    CardReading read() override;
    // Places the card the variable names now, reading its file; false when the variable is
    // unset or its file is no card (the reader then holds no readable card).
    bool place();
    void remove();

private:
    Mutex m_mutex;
    CardReading m_placed GUARDED_BY(m_mutex);
};

} // namespace camcore
