#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Generated fingers of made-up people, for measuring enrolment and matching where the truth is
// known. A finger's ridges follow a smooth pattern (an elliptic whorl or an arch, bent by gentle
// waves) whose phase turns once around each of 35 to 50 points: at each such point one ridge ends
// or splits, so the minutiae are placed by the identity alone. Up to three creases cross it. An
// impression is the finger laid on a 256 x 320 reader at 500 dpi: turned, shifted, pressed harder
// or softer, dry in patches, and noisy.
namespace synthetic {

constexpr int kReaderWidth = 256;
constexpr int kReaderHeight = 320;

struct Impression {
    int width = kReaderWidth;
    int height = kReaderHeight;
    std::vector<std::uint8_t> pixels; // grey, ridges dark
};

struct Spiral {
    double x = 0;
    double y = 0;
    int turn = 1; // +1 or -1
};

class Finger {
public:
    explicit Finger(std::uint32_t identity);

    // The finger laid on the reader for the take-th time; every take differs from every other.
    Impression impression(int take) const;

    const std::vector<Spiral>& minutiae() const { return m_spirals; }

private:
    struct Crease {
        double x, y, angle, width;
    };
    double phase(double x, double y) const;
    double skin(double x, double y) const; // 0 in a crease, 1 elsewhere

    std::uint32_t m_identity;
    double m_period;
    bool m_whorl;
    double m_centreX, m_centreY, m_tilt, m_stretchX, m_stretchY, m_bump, m_bumpWidth;
    double m_waveAmplitude[2], m_waveNumber[2], m_waveAngle[2], m_waveShift[2];
    double m_halfWidth, m_halfHeight;
    std::vector<Crease> m_creases;
    std::vector<Spiral> m_spirals;
};

// A binary PGM (P5), as the reader's image files are.
void writePgm(const Impression& image, const std::string& path);

} // namespace synthetic
