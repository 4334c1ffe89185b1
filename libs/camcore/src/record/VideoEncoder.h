#pragma once

#include "record/EncoderCore.h"
#include "record/YuvFrame.h"

#include <QImage>
#include <QSize>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace camcore {

// H.264 of pictures of any size, scaled to one output size, with timestamps in milliseconds.
// Used by one thread at a time.
class VideoEncoder {
public:
    // Receives each packet made, in time_base() units.
    using PacketSink = EncoderCore::PacketSink;

    // The output size for a camera picture: the picture itself when it fits 1920 x 1080, else
    // scaled down to fit it; even sides, as 4:2:0 needs.
    static QSize outputSize(QSize source);

    // Opens libx264 for pictures of `size` (even sides); false with error() when it cannot.
    bool open(QSize size);
    const AVCodecContext& context() const { return *m_core.context(); }
    AVRational timeBase() const { return {1, 1000}; }

    // Encodes a picture (QImage::Format_RGB888) shown at `milliseconds`; a timestamp not after
    // the last one is dropped. False when the encoder refused it.
    bool encode(const QImage& picture, std::int64_t milliseconds, const PacketSink& sink);
    // The same for a camera JPEG's own planes, without a step through RGB.
    bool encode(const YuvFrame& planes, std::int64_t milliseconds, const PacketSink& sink);
    // Hands out the pictures the encoder still holds.
    void flush(const PacketSink& sink);

    const std::string& error() const { return m_core.error(); }

private:
    // What the scaler was made for.
    struct Source {
        QSize size;
        AVPixelFormat format = AV_PIX_FMT_NONE;
        bool fullRange = false; // a JPEG's YCbCr uses all 256 levels, the video's 16 to 235
        friend bool operator==(const Source&, const Source&) = default;
    };
    // Scales the source's planes into the encoder's 4:2:0 picture and sends it.
    bool scaleAndSend(const Source& source, const std::uint8_t* const planes[], const int strides[],
                      std::int64_t milliseconds, const PacketSink& sink);

    EncoderCore m_core;
    av::Scaler m_scaler;
    Source m_scalerSource;
    // The picture handed to the scaler, with room after its last row: the scaler's vector code
    // reads a little past the end of a row, and past a QImage's last row may be another page.
    std::vector<std::uint8_t> m_padded;
    std::int64_t m_lastPts = -1;
    std::int64_t m_lastKey = -1;
};

} // namespace camcore
