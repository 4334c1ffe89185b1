#include "ThumbCopies.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace thumbnail {

QString ThumbCopies::keep(const QString& source) {
    if (source.isEmpty() || !QFileInfo(source).isFile())
        return {};
    if (!m_dir) {
        m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/thumbnail-strip-XXXXXX");
        if (!m_dir->isValid()) {
            m_dir.reset();
            return {};
        }
    }
    // Keep the suffix: the picture reader picks its decoder by it first.
    const QString suffix = QFileInfo(source).suffix();
    const QString copy =
        m_dir->filePath(QString::number(m_next++) + (suffix.isEmpty() ? "" : "." + suffix));
    return QFile::copy(source, copy) ? copy : QString();
}

void ThumbCopies::clear() {
    m_dir.reset();
}

} // namespace thumbnail
