#include "record/AudioInput.h"

#include <pulse/error.h>

namespace camcore {

bool AudioInput::open(const std::string& source, int rate) {
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, static_cast<std::uint32_t>(rate), 1};
    // Blocks of 20 ms: the server hands data over at that size instead of its default of two
    // seconds, which would put the sound that far behind the picture at a stop.
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.fragsize = static_cast<std::uint32_t>(rate / 50 * sizeof(float));
    int error = 0;
    m_stream.reset(pa_simple_new(nullptr, "docscanner", PA_STREAM_RECORD, source.c_str(),
                                 "recording", &spec, nullptr, &attributes, &error));
    if (!m_stream) {
        m_error = std::string("no sound input: ") + pa_strerror(error);
        return false;
    }
    return true;
}

bool AudioInput::read(std::span<float> samples) {
    int error = 0;
    return m_stream &&
           pa_simple_read(m_stream.get(), samples.data(), samples.size_bytes(), &error) == 0;
}

} // namespace camcore
