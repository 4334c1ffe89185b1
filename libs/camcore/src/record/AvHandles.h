#pragma once

// FFmpeg's objects owned like every other C handle of the engine: released once, by the function
// their library provides, when the owner goes.

#include "base/Owned.h"

#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace camcore::av {

namespace detail {
inline void freeCodec(AVCodecContext* context) {
    avcodec_free_context(&context);
}
inline void freeFrame(AVFrame* frame) {
    av_frame_free(&frame);
}
inline void freePacket(AVPacket* packet) {
    av_packet_free(&packet);
}
inline void freeScaler(SwsContext* scaler) {
    sws_freeContext(scaler);
}
inline void freeFormat(AVFormatContext* format) {
    avformat_free_context(format);
}
inline void closeInput(AVFormatContext* format) {
    avformat_close_input(&format);
}
} // namespace detail

using CodecContext = Owned<AVCodecContext*, detail::freeCodec>;
using FramePtr = Owned<AVFrame*, detail::freeFrame>;
using PacketPtr = Owned<AVPacket*, detail::freePacket>;
using Scaler = Owned<SwsContext*, detail::freeScaler>;
// Only the context: the muxer closes its file itself, before this releases it.
using FormatContext = Owned<AVFormatContext*, detail::freeFormat>;
// A file opened for reading: closed with its context.
using InputContext = Owned<AVFormatContext*, detail::closeInput>;

// FFmpeg's text for an error code.
inline std::string errorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

} // namespace camcore::av
