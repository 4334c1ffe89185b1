// The flat functions of identity-card reading. They name no camera and may come from any thread;
// the card session serialises them.
#include "ZoApi.h"

#include "ApiSupport.h"
#include "Trace.h"
#include "idcard/CardSession.h"

#include <cstring>
#include <string>

using camcore::CardSession;
using camcore::IdCard;
using camcore::traceCall;
using camcore::api::keep;

namespace {

// Each text has a slot of its own, so that the caller can hold all of a card's texts at once.
// The trace goes into problem reports: it gives a text's length, not the holder's data.
template <int Slot> const char* cardText(const char* name, std::string IdCard::*which) {
    const char* text = keep<Slot>(CardSession::instance().field(which));
    traceCall(name, "<" + std::to_string(std::strlen(text)) + " bytes>", "");
    return text;
}

} // namespace

// The definitions take their C linkage from the declarations in ZoApi.h.

bool ZoIDCardReaderPresent(void) {
    const bool present = CardSession::instance().readerPresent();
    traceCall("ZoIDCardReaderPresent", present, present ? "" : "no card reader");
    return present;
}

bool ZoReadIDCard(void) {
    std::string note;
    const bool read = CardSession::instance().read(note);
    traceCall("ZoReadIDCard", read, note.c_str());
    return read;
}

const char* ZoMakeIDCard(void) {
    std::string note;
    const char* path = keep<40>(CardSession::instance().makeCardImage(note));
    traceCall("ZoMakeIDCard", path, note.c_str());
    return path;
}

const char* ZoGetIDHeadImagePath(void) {
    const char* path = keep<41>(CardSession::instance().headImagePath());
    traceCall("ZoGetIDHeadImagePath", path, *path == '\0' ? "no card read" : "");
    return path;
}

const char* ZoGetIDName(void) {
    return cardText<42>("ZoGetIDName", &IdCard::name);
}
const char* ZoGetIDSex(void) {
    return cardText<43>("ZoGetIDSex", &IdCard::sex);
}
const char* ZoGetIDNation(void) {
    return cardText<44>("ZoGetIDNation", &IdCard::nation);
}
const char* ZoGetIDBirthFull(void) {
    return cardText<45>("ZoGetIDBirthFull", &IdCard::birth);
}
const char* ZoGetIDAddress(void) {
    return cardText<46>("ZoGetIDAddress", &IdCard::address);
}
const char* ZoGetIDNum(void) {
    return cardText<47>("ZoGetIDNum", &IdCard::number);
}
const char* ZoGetIDDepart(void) {
    return cardText<48>("ZoGetIDDepart", &IdCard::authority);
}
const char* ZoGetIDTermDay(void) {
    return cardText<49>("ZoGetIDTermDay", &IdCard::validity);
}
