#pragma once

#include <QImage>

#include <optional>
#include <string>

namespace camcore {

// What the chip of an identity card holds. Texts are UTF-8, as the engine hands them out.
struct IdCard {
    std::string name;
    std::string sex;
    std::string nation;
    std::string birth; // the full date of birth, as the card writes it
    std::string address;
    std::string number;
    std::string authority; // the issuing authority
    std::string validity;  // the period of validity
    QImage photo;          // the holder's photo
};

// One attempt to read a card: the card, or why there is none.
struct CardReading {
    std::optional<IdCard> card;
    std::string error;
};

} // namespace camcore
