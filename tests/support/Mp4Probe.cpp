#include "Mp4Probe.h"

#include <QFile>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <cmath>
#include <memory>

namespace testing_support {
namespace {

struct Decoder {
    AVCodecContext* context = nullptr;
    double first = -1;
    double last = 0;
    ~Decoder() { avcodec_free_context(&context); }
};

struct Input {
    AVFormatContext* format = nullptr;
    ~Input() { avformat_close_input(&format); }
};

} // namespace

Mp4Facts probeMp4(const QString& path) {
    Mp4Facts facts;
    av_log_set_level(AV_LOG_QUIET); // a file being written has no index yet: no need to say so
    Input input;
    if (avformat_open_input(&input.format, QFile::encodeName(path).constData(), nullptr, nullptr) <
            0 ||
        avformat_find_stream_info(input.format, nullptr) < 0)
        return facts;
    facts.opened = true;
    std::vector<std::unique_ptr<Decoder>> decoders(input.format->nb_streams);
    for (unsigned i = 0; i < input.format->nb_streams; ++i) {
        const AVCodecParameters* parameters = input.format->streams[i]->codecpar;
        const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
        if (parameters->codec_type == AVMEDIA_TYPE_VIDEO) {
            ++facts.videoStreams;
            facts.videoCodec = avcodec_get_name(parameters->codec_id);
            facts.videoSize = QSize(parameters->width, parameters->height);
        } else if (parameters->codec_type == AVMEDIA_TYPE_AUDIO) {
            ++facts.audioStreams;
            facts.audioCodec = avcodec_get_name(parameters->codec_id);
        }
        if (codec == nullptr)
            continue;
        auto decoder = std::make_unique<Decoder>();
        decoder->context = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(decoder->context, parameters);
        if (avcodec_open2(decoder->context, codec, nullptr) == 0)
            decoders[i] = std::move(decoder);
    }
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    double squares = 0;
    long samples = 0;
    const auto receive = [&](unsigned index) {
        Decoder& decoder = *decoders[index];
        while (avcodec_receive_frame(decoder.context, frame) == 0) {
            if (decoder.context->codec_type == AVMEDIA_TYPE_VIDEO) {
                ++facts.videoFrames;
            } else if (frame->format == AV_SAMPLE_FMT_FLTP) {
                const auto* data = reinterpret_cast<const float*>(frame->data[0]);
                for (int s = 0; s < frame->nb_samples; ++s)
                    squares += double(data[s]) * data[s];
                samples += frame->nb_samples;
            }
            av_frame_unref(frame);
        }
    };
    while (av_read_frame(input.format, packet) >= 0) {
        const auto index = static_cast<unsigned>(packet->stream_index);
        if ((packet->flags & AV_PKT_FLAG_CORRUPT) != 0) {
            ++facts.corruptPackets;
        } else if (index < decoders.size() && decoders[index]) {
            Decoder& decoder = *decoders[index];
            const double base = av_q2d(input.format->streams[index]->time_base);
            if (packet->pts != AV_NOPTS_VALUE) {
                const double start = packet->pts * base;
                decoder.first = decoder.first < 0 ? start : std::min(decoder.first, start);
                decoder.last = std::max(decoder.last, start + packet->duration * base);
            }
            if (avcodec_send_packet(decoder.context, packet) < 0)
                ++facts.decodeErrors;
            receive(index);
        }
        av_packet_unref(packet);
    }
    for (unsigned i = 0; i < decoders.size(); ++i) {
        if (!decoders[i])
            continue;
        avcodec_send_packet(decoders[i]->context, nullptr);
        receive(i);
        const double seconds = decoders[i]->last;
        if (decoders[i]->context->codec_type == AVMEDIA_TYPE_VIDEO)
            facts.videoSeconds = seconds;
        else
            facts.audioSeconds = seconds;
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    facts.audioRms = samples > 0 ? std::sqrt(squares / double(samples)) : 0;
    return facts;
}

} // namespace testing_support
