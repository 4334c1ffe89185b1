#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The hand-over file the program writes before it closes the driver's window: each path's bytes
// followed by "@@", nothing else.
QString commitFilePath();

// The paths in file order. A last path without its "@@" (a file cut short) is still returned.
QList<QByteArray> commitEntries(const QByteArray& contents);
