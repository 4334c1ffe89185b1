#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The texts of one card as the engine returned them (local 8-bit), in the order they are logged.
struct IdCardFields {
    QByteArray name;
    QByteArray sex;
    QByteArray nation;
    QByteArray birth;
    QByteArray address;
    QByteArray number;
    QByteArray authority;
    QByteArray validity;
};

// The log "IDInfo.csv": local 8-bit text, every line ending in a comma and a carriage return
// without a line feed, a header line of nine column titles, then one line per card read. In
// UTF-8, the local encoding on Linux, the header is 79 bytes, where the two-byte Chinese code
// page of the Windows program made it 56.
QByteArray idCardLogHeader();

// One card's line: the eight fields, then the time of the reading. The card number and the time
// are set between apostrophes so that spreadsheets keep them as text (a leading zero
// included), and a field starting with "=", "+", "-", "@" or a tab gets a leading apostrophe, so
// that no spreadsheet runs it as a formula. A field holding a comma, a quote or a line break is
// quoted as CSV does, so it stays one column; every other field is written as it stands.
QByteArray idCardLogRecord(const IdCardFields& card, const QDateTime& time);

// Appends `record` to the log at `path`, with the header first when the file is empty or new,
// in one write, on a line of its own even after a line an earlier crash cut short. A write cut
// short (a full disk) is taken back, so the file keeps whole lines. False when the file cannot
// be opened or written.
bool appendToIdCardLog(const QString& path, const QByteArray& record);
