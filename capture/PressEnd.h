#pragma once

#include <functional>

// How a press of the capture button ended, for whoever waits on it (another program's command):
// something was written, it was tried and nothing was written, or it was refused.
enum class PressEnd { Written, Failed, Refused };
using PressEnded = std::function<void(PressEnd)>;
