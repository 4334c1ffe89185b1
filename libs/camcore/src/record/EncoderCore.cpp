#include "record/EncoderCore.h"

namespace camcore {

bool EncoderCore::allocate(const AVCodec* codec, const std::string& what) {
    m_what = what;
    if (codec == nullptr) {
        m_error = "no " + what + " encoder";
        return false;
    }
    m_codec = codec;
    m_context.reset(avcodec_alloc_context3(codec));
    m_frame.reset(av_frame_alloc());
    m_packet.reset(av_packet_alloc());
    if (!m_context || !m_frame || !m_packet) {
        m_error = "out of memory";
        return false;
    }
    return true;
}

bool EncoderCore::open(const std::function<void(AVFrame&, const AVCodecContext&)>& shape) {
    const int opened = avcodec_open2(m_context.get(), m_codec, nullptr);
    if (opened < 0) {
        m_error = "cannot open the " + m_what + " encoder: " + av::errorText(opened);
        return false;
    }
    m_opened = true;
    shape(*m_frame.get(), *m_context.get());
    if (av_frame_get_buffer(m_frame.get(), 0) < 0) {
        m_error = "out of memory";
        return false;
    }
    return true;
}

bool EncoderCore::send(const AVFrame* frame, const PacketSink& sink) {
    if (avcodec_send_frame(m_context.get(), frame) < 0)
        return false;
    AVPacket* packet = m_packet.get();
    while (avcodec_receive_packet(m_context.get(), packet) == 0) {
        sink(*packet);
        av_packet_unref(packet);
    }
    return true;
}

} // namespace camcore
