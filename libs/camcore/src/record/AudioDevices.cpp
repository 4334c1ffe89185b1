#include "record/AudioDevices.h"

#include <algorithm>

namespace camcore {

int AudioDevices::refresh() {
    m_sources = listAudioSources();
    m_listed = true;
    return count();
}

const std::string* AudioDevices::description(int index) const {
    if (index < 0 || index >= count())
        return nullptr;
    return &m_sources[static_cast<std::size_t>(index)].description;
}

bool AudioDevices::choose(int index) {
    if (!m_listed)
        refresh();
    if (index < 0 || index >= count())
        return false;
    m_chosen = m_sources[static_cast<std::size_t>(index)].name;
    return true;
}

std::optional<std::string> AudioDevices::sourceForRecording() {
    refresh();
    if (m_sources.empty())
        return std::nullopt;
    if (m_chosen && std::any_of(m_sources.begin(), m_sources.end(),
                                [&](const AudioSource& s) { return s.name == *m_chosen; }))
        return m_chosen;
    return m_sources.front().name;
}

} // namespace camcore
