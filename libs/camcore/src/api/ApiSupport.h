#pragma once

// What every flat function shares: finding the camera and keeping returned strings alive.

#include "Camera.h"
#include "Engine.h"

#include <string>

namespace camcore::api {

inline constexpr const char* kBadCamera = "no such camera";
inline constexpr const char* kNotAvailable = "not available";

// The camera at an index of the current device list; null when there is none.
inline Camera* cameraAt(int cam) {
    Engine::instance().init();
    return Engine::instance().camera(cam);
}

// Keeps a returned string alive until the function using this slot returns another on this
// thread.
template <int Slot> const char* keep(std::string text) {
    static thread_local std::string kept;
    kept = std::move(text);
    return kept.c_str();
}

} // namespace camcore::api
