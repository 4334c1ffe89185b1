#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace thumbnail {

// Private copies of thumbnail files that their owner overwrites (the program reuses one JPEG
// for every PDF capture). The folder lives in the temporary directory until clear() or the end.
class ThumbCopies {
public:
    // The path of a fresh copy of `source`; empty when it cannot be copied.
    QString keep(const QString& source);
    // Removes the folder with every copy.
    void clear();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    quint64 m_next = 0;
};

} // namespace thumbnail
