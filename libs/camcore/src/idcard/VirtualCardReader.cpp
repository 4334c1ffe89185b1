#include "idcard/VirtualCardReader.h"

#include "idcard/CardFile.h"

#include <QtGlobal>

namespace camcore {
namespace {

constexpr const char* kNoCard = "no card on the reader";

CardReading cardOfVariable() {
    const QString path = qEnvironmentVariable("CAMCORE_VIRTUAL_IDCARD");
    if (path.isEmpty())
        return {std::nullopt, kNoCard};
    return readCardFile(path);
}

} // namespace

VirtualCardReader::VirtualCardReader() {
    place();
}

CardReading VirtualCardReader::read() {
    const MutexLock lock(m_mutex);
    return m_placed;
}

bool VirtualCardReader::place() {
    // The file is read outside the lock: a read of the card lying there need not wait for it.
    CardReading placed = cardOfVariable();
    const bool readable = placed.card.has_value();
    const MutexLock lock(m_mutex);
    m_placed = std::move(placed);
    return readable;
}

void VirtualCardReader::remove() {
    const MutexLock lock(m_mutex);
    m_placed = {std::nullopt, kNoCard};
}

} // namespace camcore
