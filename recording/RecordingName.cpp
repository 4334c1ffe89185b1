#include "RecordingName.h"

#include <QFileInfo>

QByteArray recordingPath(const QByteArray& folder, const QDateTime& start,
                         const QList<QByteArray>& taken) {
    const QByteArray stem = folder + '/' + start.toString("yyyyMMddhhmmss").toLatin1();
    QByteArray path = stem + ".mp4";
    for (int n = 2; taken.contains(path) || QFileInfo::exists(QString::fromLocal8Bit(path)); ++n)
        path = stem + '_' + QByteArray::number(n) + ".mp4";
    return path;
}
