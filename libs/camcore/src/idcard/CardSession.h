#pragma once

#include "base/Mutex.h"
#include "idcard/CardReader.h"

#include <QString>

#include <memory>
#include <set>
#include <string>

namespace camcore {

class VirtualCardReader;

// The engine's side of identity-card reading: the reader, the last card read and the JPEG files
// made of it. The files go to a private folder (mode 0700); the caller takes over each file whose
// path it was given and may delete it. At the end of the process the files never handed out are
// removed, and the folder with them once it is empty: a handed-out file is never lost. Each file
// has a name of its own, so a path handed out earlier keeps naming its picture. Safe from any
// thread: one call at a time holds the session.
class CardSession {
public:
    static CardSession& instance();

    // Reads the card on the reader and writes its photo; on failure, nothing of an earlier card
    // remains. The note says why there is no card ("" after a read).
    bool read(std::string& note);
    // A text of the last card read; "" when none was.
    std::string field(std::string IdCard::*which) const;
    // The photo's JPEG of the last card read; "" when none was. The caller owns the file now.
    std::string headImagePath();
    // Draws the last card and writes it; its path, or "" with the note.
    std::string makeCardImage(std::string& note);

    // Whether there is a reader to read from.
    bool readerPresent();

    // The virtual reader; null unless CAMCORE_VIRTUAL_IDCARD is set (or was when the reader
    // started). For the test hooks.
    VirtualCardReader* virtualReader();

    CardSession(const CardSession&) = delete;
    CardSession& operator=(const CardSession&) = delete;

private:
    CardSession() = default;
    ~CardSession();
    CardReader* reader() REQUIRES(m_mutex);
    // A new path in the private folder; "" when the folder cannot be made.
    QString newFile(const char* stem) REQUIRES(m_mutex);

    mutable Mutex m_mutex;
    std::unique_ptr<CardReader> m_reader GUARDED_BY(m_mutex);
    bool m_readerChosen GUARDED_BY(m_mutex) = false;
    std::optional<IdCard> m_card GUARDED_BY(m_mutex);
    std::string m_headPath GUARDED_BY(m_mutex);
    std::string m_folder GUARDED_BY(m_mutex);
    // Files written but not handed out yet: only these go at the end.
    std::set<std::string> m_unclaimed GUARDED_BY(m_mutex);
    int m_files GUARDED_BY(m_mutex) = 0;
};

} // namespace camcore
