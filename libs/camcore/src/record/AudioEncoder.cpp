#include "record/AudioEncoder.h"

#include <algorithm>

namespace camcore {

bool AudioEncoder::open() {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (codec == nullptr) {
        m_error = "no AAC encoder";
        return false;
    }
    m_context.reset(avcodec_alloc_context3(codec));
    m_frame.reset(av_frame_alloc());
    m_packet.reset(av_packet_alloc());
    if (!m_context || !m_frame || !m_packet) {
        m_error = "out of memory";
        return false;
    }
    AVCodecContext* context = m_context.get();
    context->sample_fmt = AV_SAMPLE_FMT_FLTP;
    context->sample_rate = kRate;
    av_channel_layout_default(&context->ch_layout, 1);
    context->bit_rate = 96000;
    context->time_base = timeBase();
    context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    const int opened = avcodec_open2(context, codec, nullptr);
    if (opened < 0) {
        m_error = "cannot open the AAC encoder: " + av::errorText(opened);
        return false;
    }
    AVFrame* frame = m_frame.get();
    frame->format = context->sample_fmt;
    frame->sample_rate = kRate;
    frame->nb_samples = context->frame_size;
    av_channel_layout_copy(&frame->ch_layout, &context->ch_layout);
    if (av_frame_get_buffer(frame, 0) < 0) {
        m_error = "out of memory";
        return false;
    }
    return true;
}

void AudioEncoder::push(std::span<const float> samples, const PacketSink& sink) {
    const auto frameSize = static_cast<std::size_t>(m_context.get()->frame_size);
    m_pending.insert(m_pending.end(), samples.begin(), samples.end());
    while (m_pending.size() >= frameSize) {
        encodeFrame(sink);
        m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<long>(frameSize));
    }
}

void AudioEncoder::flush(const PacketSink& sink) {
    if (!m_context)
        return;
    if (!m_pending.empty()) {
        m_pending.resize(static_cast<std::size_t>(m_context.get()->frame_size), 0.0F);
        encodeFrame(sink);
        m_pending.clear();
    }
    avcodec_send_frame(m_context.get(), nullptr);
    drain(sink);
}

void AudioEncoder::encodeFrame(const PacketSink& sink) {
    AVFrame* frame = m_frame.get();
    if (av_frame_make_writable(frame) < 0)
        return;
    std::copy_n(m_pending.begin(), frame->nb_samples, reinterpret_cast<float*>(frame->data[0]));
    frame->pts = m_next;
    m_next += frame->nb_samples;
    if (avcodec_send_frame(m_context.get(), frame) == 0)
        drain(sink);
}

void AudioEncoder::drain(const PacketSink& sink) {
    AVPacket* packet = m_packet.get();
    while (avcodec_receive_packet(m_context.get(), packet) == 0) {
        sink(*packet);
        av_packet_unref(packet);
    }
}

} // namespace camcore
