#pragma once

class FileNamer;
class QBasePlate;
class ThumbnailLibrary;

// Saves what the presenter sees: the camera's frame with the canvas's shapes drawn over it,
// scaled from the video rectangle on the screen to the frame. The frame goes through the
// private temporary folder; the result is a JPEG under the next name of the naming rule, added
// to the strip and checked. Failures are told to the user; nothing half-written is left.
class AnnotatedSave {
public:
    AnnotatedSave(FileNamer& namer, ThumbnailLibrary& strip);
    // Returns whether a picture was saved.
    bool save(int camera, const QBasePlate& canvas, int language);

private:
    FileNamer& m_namer;
    ThumbnailLibrary& m_strip;
};
