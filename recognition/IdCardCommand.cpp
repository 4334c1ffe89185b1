#include "IdCardCommand.h"

#include "CaptureMessages.h"
#include "IdCardLog.h"
#include "ThumbnailLibrary.h"
#include "WorkFolder.h"
#include "ZoApi.h"
#include "platform/Message.h"

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

// Through a temporary file renamed over `to`, so that no half picture ever shows under the
// name. The pictures are small enough to read in one go.
bool copyWhole(const QString& from, const QString& to) {
    QFile source(from);
    if (from.isEmpty() || !source.open(QIODevice::ReadOnly))
        return false;
    QSaveFile target(to);
    const QByteArray bytes = source.readAll();
    return !bytes.isEmpty() && target.open(QIODevice::WriteOnly) &&
           target.write(bytes) == bytes.size() && target.commit();
}

bool exists(const QByteArray& path) {
    return QFile::exists(QString::fromLocal8Bit(path));
}

} // namespace

IdCardCommand::IdCardCommand(const WorkFolder& folder, ThumbnailLibrary& strip,
                             std::function<int()> language, Clock clock)
    : m_folder(folder), m_strip(strip), m_language(std::move(language)), m_clock(std::move(clock)) {
}

void IdCardCommand::read() {
    // Without the folder every path below would start at the top of the file system.
    if (!m_folder.usable()) {
        capture_messages::sayNoFolder(m_language());
        return;
    }
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
    QByteArrayList kept;
    const QByteArray head = ZoGetIDHeadImagePath();
    if (!takePicture(head, base + "_head.jpg") && !head.isEmpty())
        kept.append(head);
    const QByteArray cardImage = ZoMakeIDCard();
    if (!takePicture(cardImage, base + "_idcard.jpg") && !cardImage.isEmpty())
        kept.append(cardImage);
    if (!kept.isEmpty())
        sayKept(kept);
}

QByteArray IdCardCommand::stampOf(const QDateTime& time) const {
    const QDate date = time.date();
    const QTime clock = time.time();
    const QByteArray second =
        QString::asprintf("%04d%02d%02d%02d%02d%02d", date.year(), date.month(), date.day(),
                          clock.hour(), clock.minute(), clock.second())
            .toLatin1();
    const QByteArray base = m_folder.imageDir() + '/';
    QByteArray stamp = second;
    for (int n = 2; exists(base + stamp + "_head.jpg") || exists(base + stamp + "_idcard.jpg"); ++n)
        stamp = second + '_' + QByteArray::number(n);
    return stamp;
}

bool IdCardCommand::takePicture(const QByteArray& enginePath, const QByteArray& target) {
    const QString from = QString::fromLocal8Bit(enginePath);
    if (!copyWhole(from, QString::fromLocal8Bit(target)))
        return false;
    m_strip.addChecked(target);
    QFile::remove(from);
    return true;
}

void IdCardCommand::sayKept(const QByteArrayList& kept) const {
    const int language = m_language();
    QStringList paths;
    for (const QByteArray& path : kept)
        paths.append(QString::fromLocal8Bit(path));
    platform::showMessage(
        capture_messages::text(language, "提示", "Information"),
        capture_messages::text(language, "身份证图像未能复制到工作目录, 已保留在:\n%1",
                               "The ID card's pictures could not be copied to the work folder. "
                               "They are kept at:\n%1")
            .arg(paths.join('\n')));
}
