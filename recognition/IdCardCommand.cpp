#include "IdCardCommand.h"

#include "IdCardLog.h"
#include "ThumbnailLibrary.h"
#include "WorkFolder.h"
#include "ZoApi.h"

#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>

namespace {

// Each text is copied at once: the engine keeps it only until its next answer.
IdCardFields fetchFields() {
    IdCardFields card;
    card.name = ZoGetIDName();
    card.sex = ZoGetIDSex();
    card.nation = ZoGetIDNation();
    card.birth = ZoGetIDBirthFull();
    card.address = ZoGetIDAddress();
    card.number = ZoGetIDNum();
    card.authority = ZoGetIDDepart();
    card.validity = ZoGetIDTermDay();
    return card;
}

// Through a temporary file renamed over `to`: an older file there is replaced whole, and a
// failed copy leaves it as it was. The pictures are small enough to read in one go.
bool copyReplacing(const QString& from, const QString& to) {
    QFile source(from);
    if (from.isEmpty() || !source.open(QIODevice::ReadOnly))
        return false;
    QSaveFile target(to);
    const QByteArray bytes = source.readAll();
    return !bytes.isEmpty() && target.open(QIODevice::WriteOnly) &&
           target.write(bytes) == bytes.size() && target.commit();
}

} // namespace

IdCardCommand::IdCardCommand(const WorkFolder& folder, ThumbnailLibrary& strip, Clock clock)
    : m_folder(folder), m_strip(strip), m_clock(std::move(clock)) {}

void IdCardCommand::read() {
    QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    const bool read = ZoReadIDCard();
    QGuiApplication::restoreOverrideCursor();
    if (!read)
        return;
    const IdCardFields card = fetchFields();
    const QDateTime time = m_clock();
    const QByteArray stamp = stampOf(time);

    // A log that cannot be opened loses this line; the pictures are still taken.
    appendToIdCardLog(QString::fromLocal8Bit(m_folder.path() + "/IDInfo.csv"),
                      idCardLogRecord(card, time));

    const QByteArray base = m_folder.imageDir() + '/' + stamp;
    const QByteArray head = base + "_head.jpg";
    takePicture(ZoGetIDHeadImagePath(), head);
    const QByteArray cardImage = base + "_idcard.jpg";
    takePicture(ZoMakeIDCard(), cardImage);
}

QByteArray IdCardCommand::stampOf(const QDateTime& time) {
    const QDate date = time.date();
    const QTime clock = time.time();
    const QByteArray second =
        QString::asprintf("%04d%02d%02d%02d%02d%02d", date.year(), date.month(), date.day(),
                          clock.hour(), clock.minute(), clock.second())
            .toLatin1();
    m_readsInSecond = second == m_lastSecond ? m_readsInSecond + 1 : 1;
    m_lastSecond = second;
    return m_readsInSecond == 1 ? second : second + '_' + QByteArray::number(m_readsInSecond);
}

void IdCardCommand::takePicture(const QByteArray& enginePath, const QByteArray& target) {
    const QString from = QString::fromLocal8Bit(enginePath);
    if (!copyReplacing(from, QString::fromLocal8Bit(target)))
        return;
    m_strip.addChecked(target);
    QFile::remove(from);
}
