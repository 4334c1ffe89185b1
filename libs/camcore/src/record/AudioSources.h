#pragma once

#include <string>
#include <vector>

namespace camcore {

// A sound input of the sound server.
struct AudioSource {
    std::string name;        // the server's name, which recordings open
    std::string description; // what the user is shown
};

// The sound server's inputs, monitors of outputs left out, sorted by name so that a stored
// index names the same device on every start while the devices stay the same. Empty when no
// server answers; never starts one.
std::vector<AudioSource> listAudioSources();

} // namespace camcore
