#include "record/FirstFrame.h"

#include "record/AvHandles.h"

#include <QFile>

#include <algorithm>

namespace camcore {
namespace {

// The first frame the decoder gives for the stream's packets, or null.
av::FramePtr decodeFirst(AVFormatContext& format, int stream, AVCodecContext& decoder) {
    av::PacketPtr packet(av_packet_alloc());
    av::FramePtr frame(av_frame_alloc());
    if (!packet || !frame)
        return {};
    bool draining = false;
    while (true) {
        if (!draining) {
            const int read = av_read_frame(&format, packet.get());
            if (read < 0) {
                draining = true;
                avcodec_send_packet(&decoder, nullptr); // the decoder gives what it holds
            } else {
                const bool ours = packet.get()->stream_index == stream;
                const int sent = ours ? avcodec_send_packet(&decoder, packet.get()) : 0;
                av_packet_unref(packet.get());
                if (sent < 0 && sent != AVERROR(EAGAIN))
                    return {};
            }
        }
        const int received = avcodec_receive_frame(&decoder, frame.get());
        if (received == 0)
            return frame;
        if (received != AVERROR(EAGAIN))
            return {}; // the end of the stream without a picture, or a broken one
    }
}

QImage toRgb(const AVFrame& frame, int maxWidth) {
    QSize size(frame.width, frame.height);
    if (size.width() > maxWidth)
        size = QSize(maxWidth, std::max(1, frame.height * maxWidth / frame.width));
    av::Scaler scaler(sws_getContext(
        frame.width, frame.height, static_cast<AVPixelFormat>(frame.format), size.width(),
        size.height(), AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!scaler)
        return {};
    QImage picture(size, QImage::Format_RGB888);
    uint8_t* planes[4] = {picture.bits(), nullptr, nullptr, nullptr};
    const int strides[4] = {static_cast<int>(picture.bytesPerLine()), 0, 0, 0};
    sws_scale(scaler.get(), frame.data, frame.linesize, 0, frame.height, planes, strides);
    return picture;
}

} // namespace

QImage readFirstFrame(const QString& path, int maxWidth, std::string& error) {
    AVFormatContext* opened = nullptr;
    const int result =
        avformat_open_input(&opened, QFile::encodeName(path).constData(), nullptr, nullptr);
    if (result < 0) {
        error = "the file does not open: " + av::errorText(result);
        return {};
    }
    av::InputContext format(opened);
    if (avformat_find_stream_info(format.get(), nullptr) < 0) {
        error = "the file holds no readable streams";
        return {};
    }
    const AVCodec* codec = nullptr;
    const int stream = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (stream < 0 || codec == nullptr) {
        error = "the file holds no picture";
        return {};
    }
    av::CodecContext decoder(avcodec_alloc_context3(codec));
    if (!decoder ||
        avcodec_parameters_to_context(decoder.get(), format.get()->streams[stream]->codecpar) < 0 ||
        avcodec_open2(decoder.get(), codec, nullptr) < 0) {
        error = "the picture cannot be decoded";
        return {};
    }
    const av::FramePtr frame = decodeFirst(*format.get(), stream, *decoder.get());
    if (!frame) {
        error = "the file holds no picture that decodes";
        return {};
    }
    QImage picture = toRgb(*frame.get(), maxWidth);
    if (picture.isNull())
        error = "the picture cannot be converted";
    return picture;
}

} // namespace camcore
