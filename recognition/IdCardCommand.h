#pragma once

#include <QByteArray>
#include <QByteArrayList>
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

    // `language` gives the language of the messages.
    IdCardCommand(const WorkFolder& folder, ThumbnailLibrary& strip, std::function<int()> language,
                  Clock clock = &QDateTime::currentDateTime);

    // Blocks while the engine reads the card. Without a card nothing happens; without a usable
    // work folder the card is not read and the user is told. A picture that could not be copied
    // gets no entry and stays where the engine wrote it, which the user is told; the log line is
    // written either way.
    void read();

private:
    // The 14 digits of the time, then "_2", "_3" ... while a picture of that name is in the
    // folder (an earlier reading in the same second, in this run or an earlier one), so that no
    // reading replaces the pictures of another.
    QByteArray stampOf(const QDateTime& time) const;
    // Copies the engine's picture to `target`, adds it to the strip and deletes the engine's
    // file; false, with the engine's file left where it is, when the copy failed.
    bool takePicture(const QByteArray& enginePath, const QByteArray& target);
    void sayKept(const QByteArrayList& kept) const;

    const WorkFolder& m_folder;
    ThumbnailLibrary& m_strip;
    std::function<int()> m_language;
    Clock m_clock;
};
