#pragma once

#include <QByteArray>
#include <QString>

// Where the right page of a split capture goes: "_split" before the extension of the file name
// ("/w/x.jpg" -> "/w/x_split.jpg"), or after the name when it has none. The engine writes the
// page there and the program looks for it there, so both use this one rule.
namespace common {

template <typename Text> Text splitPath(const Text& path) {
    const qsizetype slash = path.lastIndexOf('/');
    const qsizetype dot = path.lastIndexOf('.');
    if (dot > slash)
        return path.left(dot) + "_split" + path.mid(dot);
    return path + "_split";
}

inline QString splitPath(const QString& path) {
    return splitPath<QString>(path);
}

inline QByteArray splitPath(const QByteArray& path) {
    return splitPath<QByteArray>(path);
}

} // namespace common
