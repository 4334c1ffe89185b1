#pragma once

#include <QSize>
#include <QString>

namespace testing_support {

// What libavformat and libavcodec read from a video file, every packet decoded.
struct Mp4Facts {
    bool opened = false;
    int videoStreams = 0;
    int audioStreams = 0;
    QString videoCodec; // "h264"
    QString audioCodec; // "aac"
    QSize videoSize;
    int videoFrames = 0; // decoded
    // Where the stream ends: its last packet's time plus duration, from the file's start.
    double videoSeconds = 0;
    double audioSeconds = 0;
    int corruptPackets = 0; // the demuxer found them cut short (the tail of a killed recording)
    double audioRms = 0;    // of every decoded sample, full scale 1
    int decodeErrors = 0;   // of complete packets
};

Mp4Facts probeMp4(const QString& path);

} // namespace testing_support
