#include "device/virtual/TimedFolder.h"

#include "device/virtual/FolderScene.h"
#include "device/virtual/VirtualEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

namespace camcore {

namespace {

// Longer than anyone watches; keeps the microseconds far from overflowing.
constexpr double kLongestSeconds = 1e9;

void warnAt(const QString& listPath, int line, const QString& what) {
    warnOnce(
        QStringLiteral("virtual camera: %1:%2: %3").arg(listPath, QString::number(line), what));
}

} // namespace

std::vector<TimedPicture> readTimingList(const QString& listPath) {
    QFile file(listPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        warnOnce(QStringLiteral("virtual camera: cannot read the timing list %1: %2")
                     .arg(listPath, file.errorString()));
        return {};
    }
    const QDir folder = QFileInfo(listPath).absoluteDir();
    static const QRegularExpression lastSpace(QStringLiteral("\\s+(\\S+)$"));
    std::vector<TimedPicture> pictures;
    std::chrono::microseconds start{0};
    int number = 0;
    while (!file.atEnd()) {
        ++number;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QRegularExpressionMatch match = lastSpace.match(line);
        if (!match.hasMatch()) {
            warnAt(listPath, number, QStringLiteral("\"%1\" has no seconds").arg(line));
            continue;
        }
        const QString name = line.left(match.capturedStart()).trimmed();
        bool ok = false;
        const double seconds = match.captured(1).toDouble(&ok);
        if (!ok || !std::isfinite(seconds) || seconds <= 0 || seconds > kLongestSeconds) {
            warnAt(
                listPath, number,
                QStringLiteral("\"%1\" is not a number of seconds above 0").arg(match.captured(1)));
            continue;
        }
        TimedPicture picture;
        picture.path = folder.filePath(name);
        if (!QFileInfo(picture.path).isFile()) {
            warnAt(listPath, number,
                   QStringLiteral("no file %1: the document shows instead").arg(picture.path));
            picture.path.clear();
        }
        picture.start = start;
        picture.duration = std::chrono::microseconds(std::llround(seconds * 1e6));
        picture.line = number;
        start += picture.duration;
        pictures.push_back(picture);
    }
    if (pictures.empty())
        warnOnce(
            QStringLiteral("virtual camera: the timing list %1 names no picture").arg(listPath));
    return pictures;
}

TimedFolder::TimedFolder(const QString& listPath, QSize frameSize)
    : m_listPath(listPath), m_size(frameSize), m_pictures(readTimingList(listPath)) {}

bool TimedFolder::advanceTo(std::chrono::microseconds time) {
    if (m_pictures.empty())
        return false;
    std::size_t shown = m_started ? m_shown : 0;
    while (shown + 1 < m_pictures.size() && m_pictures[shown + 1].start <= time)
        ++shown;
    if (m_started && shown == m_shown)
        return false;
    m_started = true;
    m_shown = shown;
    const TimedPicture& current = m_pictures[shown];
    m_picture = {};
    if (!current.path.isEmpty()) {
        m_picture = renderPicture(loadPicture(current.path), m_size);
        if (m_picture.isNull())
            warnAt(m_listPath, current.line,
                   QStringLiteral("cannot read the picture %1: the document shows instead")
                       .arg(current.path));
    }
    return true;
}

} // namespace camcore
