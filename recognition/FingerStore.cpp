#include "FingerStore.h"

#include <QFile>

#include <unistd.h>

namespace {

// The bytes of a field up to its first NUL, or all of them; the copy is always terminated.
QByteArray fieldText(const char* field, int size) {
    return QByteArray(field, qstrnlen(field, size));
}

} // namespace

FingerStore::FingerStore(QString path) : m_path(std::move(path)) {}

QByteArray FingerStore::nameField(const QString& name) {
    // Whole code points are added while they fit, so the cut never falls inside a character's
    // byte sequence (UTF-8 here, any local encoding alike).
    QByteArray field;
    for (qsizetype i = 0; i < name.size();) {
        const qsizetype next = name.at(i).isHighSurrogate() && i + 1 < name.size() ? i + 2 : i + 1;
        const QByteArray longer = name.left(next).toLocal8Bit();
        if (longer.size() > kNameSize)
            break;
        field = longer;
        i = next;
    }
    field.resize(kNameSize, '\0');
    return field;
}

std::optional<QList<FingerRecord>> FingerStore::read() const {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty())
        return std::nullopt;
    QList<FingerRecord> records;
    for (qsizetype at = 0; at + kRecordSize <= bytes.size(); at += kRecordSize) {
        const char* record = bytes.constData() + at;
        records.append({QString::fromLocal8Bit(fieldText(record, kNameSize)),
                        fieldText(record + kNameSize, kTemplateSize)});
    }
    return records;
}

bool FingerStore::append(const QString& name, const QByteArray& templet) const {
    if (templet.size() >= kTemplateSize)
        return false;
    QByteArray record = nameField(name) + templet;
    record.resize(kRecordSize, '\0');

    QFile file(m_path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    // A torn tail is shorter than a record, so the record written over it replaces it whole.
    const qint64 whole = file.size() - file.size() % kRecordSize;
    // Unbuffered, so the record is handed to the system in one write of all its bytes.
    const bool written =
        file.seek(whole) && file.write(record) == kRecordSize && ::fdatasync(file.handle()) == 0;
    if (!written)
        file.resize(whole);
    return written;
}
