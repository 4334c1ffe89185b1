#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>

// The path of a new recording in `folder` (local 8-bit, no trailing "/"): the start time as
// "yyyyMMddhhmmss.mp4". A name that a file in the folder or a running recording (`taken`)
// already has gets "_2", "_3", ... before ".mp4", so that two recordings started in the same
// second, or a file left from an earlier run, are never overwritten.
QByteArray recordingPath(const QByteArray& folder, const QDateTime& start,
                         const QList<QByteArray>& taken);
