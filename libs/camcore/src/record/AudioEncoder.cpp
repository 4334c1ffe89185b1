#include "record/AudioEncoder.h"

#include <algorithm>

namespace camcore {

bool AudioEncoder::open() {
    if (!m_core.allocate(avcodec_find_encoder(AV_CODEC_ID_AAC), "AAC"))
        return false;
    AVCodecContext* context = m_core.context();
    context->sample_fmt = AV_SAMPLE_FMT_FLTP;
    context->sample_rate = kRate;
    av_channel_layout_default(&context->ch_layout, 1);
    context->bit_rate = 96000;
    context->time_base = timeBase();
    context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    return m_core.open([](AVFrame& frame, const AVCodecContext& opened) {
        frame.format = opened.sample_fmt;
        frame.sample_rate = kRate;
        frame.nb_samples = opened.frame_size; // known once the codec is open
        av_channel_layout_copy(&frame.ch_layout, &opened.ch_layout);
    });
}

void AudioEncoder::push(std::span<const float> samples, const PacketSink& sink) {
    const auto frameSize = static_cast<std::size_t>(m_core.context()->frame_size);
    m_pending.insert(m_pending.end(), samples.begin(), samples.end());
    while (m_pending.size() >= frameSize) {
        encodeFrame(sink);
        m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<long>(frameSize));
    }
}

void AudioEncoder::flush(const PacketSink& sink) {
    if (!m_core.isOpen())
        return;
    if (!m_pending.empty()) {
        m_pending.resize(static_cast<std::size_t>(m_core.context()->frame_size), 0.0F);
        encodeFrame(sink);
        m_pending.clear();
    }
    m_core.send(nullptr, sink);
}

void AudioEncoder::encodeFrame(const PacketSink& sink) {
    AVFrame* frame = m_core.frame();
    if (av_frame_make_writable(frame) < 0)
        return;
    std::copy_n(m_pending.begin(), frame->nb_samples, reinterpret_cast<float*>(frame->data[0]));
    frame->pts = m_next;
    m_next += frame->nb_samples;
    m_core.send(frame, sink);
}

} // namespace camcore
