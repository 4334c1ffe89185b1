#pragma once

#include <QImage>

namespace camcore {

// What the picture controls of a virtual camera do to the scene. Equal tones give equal frames,
// so the camera compares tones to know when it must encode again.
struct Tone {
    double gain = 1.0;  // light reaching the sensor; 1 at the default exposure
    int contrast = 50;  // 50 leaves the picture as it is, 0 makes it flat grey, 100 doubles it
    int brightness = 0; // added to every channel
    friend bool operator==(const Tone&, const Tone&) = default;
};

// Applies `tone` to a Format_RGB32 picture in place; channels saturate at 0 and 255 like a
// sensor's would. Other formats are converted first.
void applyTone(QImage& picture, const Tone& tone);

} // namespace camcore
