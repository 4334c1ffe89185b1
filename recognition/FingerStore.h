#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

struct FingerRecord {
    QString name;
    QByteArray templet; // the text up to its terminator, never more than 512 bytes
};

// The file of enrolled fingers: records of a 10-byte name field (local 8-bit, NUL-padded, a
// 10-byte name has no terminator) and a 513-byte NUL-terminated template field, appended one per
// enrolment and never rewritten.
class FingerStore {
public:
    static constexpr int kNameSize = 10;
    static constexpr int kTemplateSize = 513;
    static constexpr int kRecordSize = kNameSize + kTemplateSize;

    explicit FingerStore(QString path);

    const QString& path() const { return m_path; }

    // The whole records in file order; a partial one at the end is left out. Nothing when the
    // file is missing, unreadable or empty.
    std::optional<QList<FingerRecord>> read() const;

    // Appends one record. A partial record left at the end by an interrupted write is replaced,
    // so every record starts at a multiple of the record size. The record goes out in one write
    // and is flushed to the disk; a write that falls short is cut off again, with any torn tail.
    // False when the record is not in the file.
    bool append(const QString& name, const QByteArray& templet) const;

    // The name as the store keeps it: the longest run of whole characters that fits the field.
    static QByteArray nameField(const QString& name);

private:
    QString m_path;
};
