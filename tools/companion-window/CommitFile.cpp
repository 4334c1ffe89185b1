#include "CommitFile.h"

#include <QDir>

QString commitFilePath() {
    return QDir::tempPath() + QStringLiteral("/ZoCommit.txt");
}

QList<QByteArray> commitEntries(const QByteArray& contents) {
    static const QByteArray terminator("@@");
    QList<QByteArray> entries;
    qsizetype start = 0;
    while (start < contents.size()) {
        const qsizetype end = contents.indexOf(terminator, start);
        if (end < 0) {
            entries.append(contents.mid(start));
            break;
        }
        entries.append(contents.mid(start, end - start));
        start = end + terminator.size();
    }
    return entries;
}
