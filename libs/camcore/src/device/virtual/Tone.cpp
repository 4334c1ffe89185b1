#include "device/virtual/Tone.h"

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace camcore {

void applyTone(QImage& picture, const Tone& tone) {
    if (picture.isNull() || tone == Tone{})
        return;
    if (picture.format() != QImage::Format_RGB32)
        picture = picture.convertToFormat(QImage::Format_RGB32);

    // Exposure first (light), then contrast around mid grey, then the brightness offset: the
    // order a camera's pipeline applies them in.
    const double contrast = tone.contrast / 50.0;
    std::array<std::uint32_t, 256> lut{};
    for (int v = 0; v < 256; ++v) {
        const double lit = v * tone.gain;
        const double out = (lit - 128.0) * contrast + 128.0 + tone.brightness;
        lut[v] = static_cast<std::uint32_t>(std::clamp(std::lround(out), 0L, 255L));
    }

    const int width = picture.width();
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb p = line[x];
            line[x] = 0xff000000u | lut[qRed(p)] << 16 | lut[qGreen(p)] << 8 | lut[qBlue(p)];
        }
    }
}

} // namespace camcore
