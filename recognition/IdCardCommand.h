#pragma once

#include <QByteArray>
#include <QDateTime>

#include <functional>

class ThumbnailLibrary;
class WorkFolder;

// The identity-card button: the card on the engine's reader becomes a line of the log
// "IDInfo.csv" in the work folder and two checked pictures in the strip, the holder's photo
// ("<time>_head.jpg") and the engine's image of the card ("<time>_idcard.jpg"), named from the
// time of the reading to the second.
class IdCardCommand {
public:
    using Clock = std::function<QDateTime()>;

    IdCardCommand(const WorkFolder& folder, ThumbnailLibrary& strip,
                  Clock clock = &QDateTime::currentDateTime);

    // Blocks while the engine reads the card. Without a card nothing happens. A picture that
    // could not be copied is left to the engine and gets no entry; the log line is written
    // either way.
    void read();

private:
    // The 14 digits of the time, then "_2", "_3" ... for later readings in the same second, so
    // that no reading replaces the pictures of the one before.
    QByteArray stampOf(const QDateTime& time);
    // Copies the engine's picture to `target` (replacing a file there), adds it to the strip and
    // deletes the engine's file; after a failed copy the engine's file stays.
    void takePicture(const QByteArray& enginePath, const QByteArray& target);

    const WorkFolder& m_folder;
    ThumbnailLibrary& m_strip;
    Clock m_clock;
    QByteArray m_lastSecond;
    int m_readsInSecond = 0;
};
