#pragma once

#include "record/AudioSources.h"

#include <optional>
#include <string>
#include <vector>

namespace camcore {

// The sound inputs offered for recordings and the one chosen. The choice is kept by the input's
// server name, so it stays with its device when the list changes. GUI thread only.
class AudioDevices {
public:
    // Reads the list afresh; returns its length.
    int refresh();
    int count() const { return static_cast<int>(m_sources.size()); }
    // The description of entry `index`; null when there is none.
    const std::string* description(int index) const;
    // Chooses entry `index` of the list last read (read now if never); false when there is none.
    bool choose(int index);
    // The input a recording starts with: the chosen one while it is there, else the first of
    // the list; none without any input.
    std::optional<std::string> sourceForRecording();

private:
    std::vector<AudioSource> m_sources;
    bool m_listed = false;
    std::optional<std::string> m_chosen;
};

} // namespace camcore
