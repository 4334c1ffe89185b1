#pragma once

#include "record/AvHandles.h"

#include <functional>
#include <string>

namespace camcore {

// What the sound and picture encoders share: the codec's context, one reusable frame and packet,
// and the loop that hands every finished packet on. Used by one thread at a time.
class EncoderCore {
public:
    using PacketSink = std::function<void(AVPacket&)>;

    // Allocates the context, the frame and the packet for `codec`, which is null when the
    // library lacks it; `what` names the encoder in errors ("AAC", "H.264").
    bool allocate(const AVCodec* codec, const std::string& what);
    // Opens the codec with the settings made on context(), lets `shape` describe the frame
    // (which may depend on what opening decided, like the frame size) and gives it its buffers.
    bool open(const std::function<void(AVFrame&, const AVCodecContext&)>& shape);
    // Sends `frame` (null: no more frames) and hands on every packet that is ready.
    bool send(const AVFrame* frame, const PacketSink& sink);

    bool isOpen() const { return m_opened; }
    AVCodecContext* context() const { return m_context.get(); }
    AVFrame* frame() const { return m_frame.get(); }
    const std::string& error() const { return m_error; }

private:
    const AVCodec* m_codec = nullptr;
    std::string m_what;
    av::CodecContext m_context;
    av::FramePtr m_frame;
    av::PacketPtr m_packet;
    std::string m_error;
    bool m_opened = false;
};

} // namespace camcore
