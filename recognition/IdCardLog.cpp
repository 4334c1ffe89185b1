#include "IdCardLog.h"

#include <QFile>

namespace {

QByteArray quoted(const QByteArray& value) {
    if (!value.contains(',') && !value.contains('"') && !value.contains('\r') &&
        !value.contains('\n'))
        return value;
    return '"' + QByteArray(value).replace("\"", "\"\"") + '"';
}

QByteArray timeText(const QDateTime& time) {
    const QDate date = time.date();
    const QTime clock = time.time();
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", date.year(), date.month(), date.day(),
                             clock.hour(), clock.minute(), clock.second())
        .toLocal8Bit();
}

// A spreadsheet runs a cell that starts with one of these as a formula (a tab before one too):
// a card's text would become a command. An apostrophe before it keeps the cell text, as it
// keeps the number's leading zeros.
QByteArray csvField(const QByteArray& value) {
    if (!value.isEmpty() && QByteArray("=+-@\t").contains(value.front()))
        return quoted('\'' + value);
    return quoted(value);
}

} // namespace

QByteArray idCardLogHeader() {
    return QStringLiteral("姓名,性别,民族,出生,住址,号码,发证机关,有效期,操作日期,\r")
        .toLocal8Bit();
}

QByteArray idCardLogRecord(const IdCardFields& card, const QDateTime& time) {
    QByteArray line;
    for (const QByteArray* field :
         {&card.name, &card.sex, &card.nation, &card.birth, &card.address})
        line += csvField(*field) + ',';
    line += quoted('\'' + card.number + '\'') + ',';
    line += csvField(card.authority) + ',';
    line += csvField(card.validity) + ',';
    line += '\'' + timeText(time) + "',\r";
    return line;
}

bool appendToIdCardLog(const QString& path, const QByteArray& record) {
    QFile file(path);
    // Unbuffered: the bytes go to the file in the one write below, not in buffer-sized pieces.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    const qint64 before = file.size();
    QByteArray bytes = before == 0 ? idCardLogHeader() + record : record;
    // A line cut short by an earlier crash is ended, so that this record has a line of its own.
    char last = '\r';
    if (before > 0 && file.seek(before - 1) && file.read(&last, 1) == 1 && last != '\r')
        bytes.prepend('\r');
    if (file.write(bytes) == bytes.size())
        return true;
    // A full disk or a size limit took part of the record: what was written of it goes again,
    // and the next record starts where this one would have.
    file.resize(before);
    return false;
}
