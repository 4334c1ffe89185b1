#pragma once

#include "record/EncoderCore.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace camcore {

// AAC of mono sound, fed with samples as they come; timestamps count samples. Used by one
// thread at a time.
class AudioEncoder {
public:
    using PacketSink = EncoderCore::PacketSink;
    static constexpr int kRate = 48000;

    bool open();
    const AVCodecContext& context() const { return *m_core.context(); }
    AVRational timeBase() const { return {1, kRate}; }

    // Where the next samples lie in the recording (in samples); set before the first push.
    void setStart(std::int64_t sample) { m_next = sample; }
    void push(std::span<const float> samples, const PacketSink& sink);
    // Encodes what is left (padded to a whole frame) and hands out the rest.
    void flush(const PacketSink& sink);

    const std::string& error() const { return m_core.error(); }

private:
    void encodeFrame(const PacketSink& sink);

    EncoderCore m_core;
    std::vector<float> m_pending; // less than one frame
    std::int64_t m_next = 0;
};

} // namespace camcore
