#include "record/VideoEncoder.h"

#include <cstring>

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
}

namespace camcore {
namespace {

// Room after the picture for the scaler's reads past the end of a row (FFmpeg pads its own
// buffers by 64 bytes for the same reason).
constexpr std::size_t kScalerPadding = 64;

// An 8 MP picture cannot be encoded as it comes on two cores; 1080p with the ultrafast preset
// takes about 25 ms a frame on one.
constexpr QSize kLargest(1920, 1080);

// A key frame (and with it a complete fragment of the file) at least once a second.
constexpr std::int64_t kKeyInterval = 1000;

// A scaler from `size` pixels of `format` to the encoder's 4:2:0 picture of `target`, BT.601 on
// both sides. The levels are told before the scaler is made: set afterwards, this FFmpeg ignores
// them between two YUV formats.
SwsContext* scalerFor(QSize size, AVPixelFormat format, bool fullRange, QSize target) {
    SwsContext* scaler = sws_alloc_context();
    if (scaler == nullptr)
        return nullptr;
    av_opt_set_int(scaler, "srcw", size.width(), 0);
    av_opt_set_int(scaler, "srch", size.height(), 0);
    av_opt_set_int(scaler, "src_format", format, 0);
    av_opt_set_int(scaler, "dstw", target.width(), 0);
    av_opt_set_int(scaler, "dsth", target.height(), 0);
    av_opt_set_int(scaler, "dst_format", AV_PIX_FMT_YUV420P, 0);
    av_opt_set_int(scaler, "sws_flags", SWS_BILINEAR, 0);
    av_opt_set_int(scaler, "src_range", fullRange ? 1 : 0, 0);
    av_opt_set_int(scaler, "dst_range", 0, 0);
    if (sws_init_context(scaler, nullptr, nullptr) < 0) {
        sws_freeContext(scaler);
        return nullptr;
    }
    return scaler;
}

int even(int side) {
    return std::max(2, side & ~1);
}

} // namespace

QSize VideoEncoder::outputSize(QSize source) {
    QSize size = source;
    if (size.width() > kLargest.width() || size.height() > kLargest.height())
        size = source.scaled(kLargest, Qt::KeepAspectRatio);
    return {even(size.width()), even(size.height())};
}

bool VideoEncoder::open(QSize size) {
    if (!m_core.allocate(avcodec_find_encoder_by_name("libx264"), "H.264"))
        return false;
    AVCodecContext* context = m_core.context();
    context->width = size.width();
    context->height = size.height();
    context->pix_fmt = AV_PIX_FMT_YUV420P;
    // Milliseconds: frames keep the time they arrived at, so frames the camera dropped leave a
    // gap rather than speeding the video up.
    context->time_base = timeBase();
    context->gop_size = 600; // key frames are asked for by time, in encode()
    context->max_b_frames = 0;
    // One thread: the capture thread and the preview share the other core.
    context->thread_count = 1;
    context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    av_opt_set(context->priv_data, "preset", "ultrafast", 0);
    av_opt_set(context->priv_data, "tune", "zerolatency", 0);
    av_opt_set(context->priv_data, "crf", "23", 0);
    return m_core.open([](AVFrame& frame, const AVCodecContext& opened) {
        frame.format = opened.pix_fmt;
        frame.width = opened.width;
        frame.height = opened.height;
    });
}

bool VideoEncoder::encode(const QImage& picture, std::int64_t milliseconds,
                          const PacketSink& sink) {
    if (picture.isNull() || picture.format() != QImage::Format_RGB888)
        return false;
    const auto bytes = static_cast<std::size_t>(picture.sizeInBytes());
    m_padded.resize(bytes + kScalerPadding);
    std::memcpy(m_padded.data(), picture.constBits(), bytes);
    const std::uint8_t* planes[] = {m_padded.data(), nullptr, nullptr};
    const int strides[] = {static_cast<int>(picture.bytesPerLine()), 0, 0};
    return scaleAndSend({picture.size(), AV_PIX_FMT_RGB24, false}, planes, strides, milliseconds,
                        sink);
}

bool VideoEncoder::encode(const YuvFrame& planes, std::int64_t milliseconds,
                          const PacketSink& sink) {
    return scaleAndSend({QSize(planes.width, planes.height), planes.format, true},
                        planes.planes.data(), planes.strides.data(), milliseconds, sink);
}

bool VideoEncoder::scaleAndSend(const Source& source, const std::uint8_t* const planes[],
                                const int strides[], std::int64_t milliseconds,
                                const PacketSink& sink) {
    if (milliseconds <= m_lastPts || source.size.isEmpty())
        return false;
    if (source != m_scalerSource || !m_scaler) {
        m_scaler.reset(scalerFor(source.size, source.format, source.fullRange,
                                 {m_core.context()->width, m_core.context()->height}));
        m_scalerSource = source;
        if (!m_scaler)
            return false;
    }
    AVFrame* frame = m_core.frame();
    // The encoder may still hold the previous picture's planes.
    if (av_frame_make_writable(frame) < 0)
        return false;
    sws_scale(m_scaler.get(), planes, strides, 0, source.size.height(), frame->data,
              frame->linesize);
    frame->pts = milliseconds;
    const bool key = m_lastKey < 0 || milliseconds - m_lastKey >= kKeyInterval;
    frame->pict_type = key ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
    if (key)
        m_lastKey = milliseconds;
    m_lastPts = milliseconds;
    return m_core.send(frame, sink);
}

void VideoEncoder::flush(const PacketSink& sink) {
    if (m_core.isOpen())
        m_core.send(nullptr, sink);
}

} // namespace camcore
