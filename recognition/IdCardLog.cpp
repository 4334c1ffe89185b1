#include "IdCardLog.h"

#include <QFile>

namespace {

QByteArray csvField(const QByteArray& value) {
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
    line += csvField('\'' + card.number + '\'') + ',';
    line += csvField(card.authority) + ',';
    line += csvField(card.validity) + ',';
    line += '\'' + timeText(time) + "',\r";
    return line;
}

bool appendToIdCardLog(const QString& path, const QByteArray& record) {
    QFile file(path);
    // Unbuffered: the bytes go to the file in the one write below, not in buffer-sized pieces.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    const QByteArray bytes = file.size() == 0 ? idCardLogHeader() + record : record;
    return file.write(bytes) == bytes.size();
}
