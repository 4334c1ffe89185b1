#include "device/virtual/VideoDecoder.h"

#include "device/virtual/FolderScene.h"

#include <QFile>
#include <QTransform>

#include <algorithm>

#include <cmath>

extern "C" {
#include <libavutil/display.h>
}

namespace camcore {

namespace {

QString avError(const char* what, int code) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromStdString(av::errorText(code)));
}

// Clockwise degrees the pictures of `stream` are to be turned by to stand upright.
int rotationOf(const AVStream& stream) {
    const std::uint8_t* data = nullptr;
#if LIBAVCODEC_VERSION_INT >= AV_VERSION_INT(60, 31, 100)
    const AVPacketSideData* side =
        av_packet_side_data_get(stream.codecpar->coded_side_data,
                                stream.codecpar->nb_coded_side_data, AV_PKT_DATA_DISPLAYMATRIX);
    data = side != nullptr ? side->data : nullptr;
#else
    data = av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr);
#endif
    if (data == nullptr)
        return 0;
    // The matrix turns counter-clockwise.
    const double angle = av_display_rotation_get(reinterpret_cast<const std::int32_t*>(data));
    if (std::isnan(angle))
        return 0;
    const int quarter = static_cast<int>(std::lround(-angle / 90.0));
    return ((quarter % 4 + 4) % 4) * 90;
}

} // namespace

bool VideoDecoder::open(const QString& path) {
    AVFormatContext* input = nullptr;
    int result = avformat_open_input(&input, QFile::encodeName(path).constData(), nullptr, nullptr);
    if (result < 0) {
        m_error = avError("cannot open it", result);
        return false;
    }
    m_input.reset(input);
    if ((result = avformat_find_stream_info(input, nullptr)) < 0) {
        m_error = avError("cannot read it", result);
        return false;
    }
    const AVCodec* codec = nullptr;
    m_stream = av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (m_stream < 0 || codec == nullptr) {
        m_error = m_stream == AVERROR_DECODER_NOT_FOUND ? QStringLiteral("no decoder for its video")
                                                        : QStringLiteral("it has no video");
        return false;
    }
    const AVStream& stream = *input->streams[m_stream];
    m_codec.reset(avcodec_alloc_context3(codec));
    m_packet.reset(av_packet_alloc());
    if (!m_codec || !m_packet) {
        m_error = QStringLiteral("out of memory");
        return false;
    }
    if ((result = avcodec_parameters_to_context(m_codec.get(), stream.codecpar)) < 0 ||
        (result = avcodec_open2(m_codec.get(), codec, nullptr)) < 0) {
        m_error = avError("cannot decode its video", result);
        return false;
    }
    m_timeBase = stream.time_base;
    m_rotation = rotationOf(stream);
    return true;
}

bool VideoDecoder::next(AVFrame& frame, std::chrono::microseconds& time) {
    if (!m_codec)
        return false;
    for (;;) {
        int result = avcodec_receive_frame(m_codec.get(), &frame);
        if (result == 0)
            break;
        if (result == AVERROR_EOF)
            return false;
        if (result != AVERROR(EAGAIN)) {
            m_error = avError("cannot decode its video", result);
            return false;
        }
        result = av_read_frame(m_input.get(), m_packet.get());
        if (result < 0) {
            if (result != AVERROR_EOF)
                m_error = avError("cannot read on", result);
            if (m_draining)
                return false;
            m_draining = true;
            avcodec_send_packet(m_codec.get(), nullptr); // hands out the pictures it still holds
            continue;
        }
        // A damaged packet is left out, as players do; the next key frame repairs the picture.
        if (m_packet.get()->stream_index == m_stream)
            avcodec_send_packet(m_codec.get(), m_packet.get());
        av_packet_unref(m_packet.get());
    }

    std::int64_t stamp = frame.best_effort_timestamp;
    if (stamp == AV_NOPTS_VALUE)
        stamp = frame.pts;
    if (stamp == AV_NOPTS_VALUE) { // no time: one frame of the stream's rate after the last
        const AVRational rate = m_input.get()->streams[m_stream]->avg_frame_rate;
        const auto step =
            rate.num > 0 && rate.den > 0
                ? std::chrono::microseconds(std::int64_t{1'000'000} * rate.den / rate.num)
                : std::chrono::microseconds(40'000);
        time = m_origin ? m_lastTime + step : std::chrono::microseconds(0);
        if (!m_origin)
            m_origin = 0;
    } else {
        if (!m_origin)
            m_origin = stamp;
        time =
            std::chrono::microseconds(av_rescale_q(stamp - *m_origin, m_timeBase, {1, 1'000'000}));
    }
    time = std::max(time, m_lastTime); // never back
    m_lastTime = time;
    return true;
}

QImage VideoDecoder::fit(const AVFrame& frame, QSize size) {
    if (frame.width <= 0 || frame.height <= 0 || size.isEmpty())
        return {};
    const bool sideways = m_rotation == 90 || m_rotation == 270;
    const QSize upright =
        sideways ? QSize(frame.height, frame.width) : QSize(frame.width, frame.height);
    QSize fitted = upright.scaled(size, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    if (sideways)
        fitted.transpose();
    const QSize from(frame.width, frame.height);
    if (!m_scaler || from != m_scalerFrom || fitted != m_scalerTo ||
        frame.format != m_scalerFormat) {
        m_scaler.reset(sws_getContext(
            frame.width, frame.height, static_cast<AVPixelFormat>(frame.format), fitted.width(),
            fitted.height(), AV_PIX_FMT_RGB32, SWS_BILINEAR, nullptr, nullptr, nullptr));
        m_scalerFrom = from;
        m_scalerTo = fitted;
        m_scalerFormat = frame.format;
        if (!m_scaler)
            return {};
    }
    // AV_PIX_FMT_RGB32 is QImage's RGB32 in memory: 0xffRRGGBB words in the machine's order.
    QImage picture(fitted, QImage::Format_RGB32);
    if (picture.isNull())
        return {};
    std::uint8_t* planes[4] = {picture.bits(), nullptr, nullptr, nullptr};
    const int strides[4] = {static_cast<int>(picture.bytesPerLine()), 0, 0, 0};
    if (sws_scale(m_scaler.get(), frame.data, frame.linesize, 0, frame.height, planes, strides) <=
        0)
        return {};
    if (m_rotation != 0)
        picture = picture.transformed(QTransform().rotate(m_rotation));
    return renderPicture(picture, size); // already fitted: only centred
}

} // namespace camcore
