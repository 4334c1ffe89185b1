#pragma once

#include <QByteArray>
#include <QObject>
#include <QSet>

class FileNamer;
class QBasePlate;
class ThumbnailLibrary;

// Saves what the presenter sees: the camera's frame with the canvas's shapes drawn over it,
// scaled from the video rectangle on the screen to the frame. The frame is taken at the press
// and saved behind the window into the private temporary folder; the result is a JPEG under the
// name of the naming rule taken at the press, added to the strip and checked. Failures are told
// to the user; nothing half-written is left.
class AnnotatedSave {
public:
    AnnotatedSave(FileNamer& namer, ThumbnailLibrary& strip);
    void save(int camera, const QBasePlate& canvas, int language);

private:
    void compose(int camera, const QBasePlate& canvas, int language, const QString& framePath,
                 const QByteArray& path);

    FileNamer& m_namer;
    ThumbnailLibrary& m_strip;
    QSet<QByteArray> m_held; // the names of saves still being made
    int m_frames = 0;        // the frame files made so far, each save's its own
    QObject m_alive;         // frames saved after this is gone are not composed
};
