#include "SyntheticFinger.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>
#include <random>

namespace synthetic {

namespace {

constexpr double kPi = std::numbers::pi;

double uniform(std::mt19937& random, double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
}

// atan2 to within 1e-5 radians, several times faster than the library's: an impression evaluates
// one per minutia at every pixel, and the library's made the corpus three quarters generation.
double fastAtan2(double y, double x) {
    const double ax = std::fabs(x);
    const double ay = std::fabs(y);
    if (ax == 0 && ay == 0)
        return 0;
    const double a = std::min(ax, ay) / std::max(ax, ay);
    const double s = a * a;
    double r =
        a * (0.99997726 +
             s * (-0.33262347 +
                  s * (0.19354346 + s * (-0.11643287 + s * (0.05265332 + s * -0.01172120)))));
    if (ay > ax)
        r = kPi / 2 - r;
    if (x < 0)
        r = kPi - r;
    return y < 0 ? -r : r;
}

double smoothStep(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// Slowly varying patches in [0, 1]: a few soft blobs, for dry skin and uneven pressure.
struct Patches {
    double x[4], y[4], radius[4], depth[4];

    explicit Patches(std::mt19937& random) {
        for (int i = 0; i < 4; ++i) {
            x[i] = uniform(random, 0, kReaderWidth);
            y[i] = uniform(random, 0, kReaderHeight);
            radius[i] = uniform(random, 20, 60);
            depth[i] = uniform(random, 0.0, 0.5);
        }
    }
    double at(double u, double v) const {
        double value = 1;
        for (int i = 0; i < 4; ++i) {
            const double d2 = (u - x[i]) * (u - x[i]) + (v - y[i]) * (v - y[i]);
            value -= depth[i] * std::exp(-d2 / (2 * radius[i] * radius[i]));
        }
        return std::max(0.0, value);
    }
};

} // namespace

Finger::Finger(std::uint32_t identity) : m_identity(identity) {
    std::mt19937 random(identity * 2654435761U + 17);
    m_period = uniform(random, 8.5, 10.5);
    m_whorl = uniform(random, 0, 1) < 0.6;
    m_centreX = uniform(random, -30, 30);
    m_centreY = uniform(random, -40, 30);
    m_tilt = uniform(random, -0.5, 0.5);
    m_stretchX = uniform(random, 0.6, 1.4);
    m_stretchY = uniform(random, 0.6, 1.4);
    m_bumpWidth = uniform(random, 40, 80);
    m_bump = uniform(random, 0.2, 0.6) * m_bumpWidth;
    for (int i = 0; i < 2; ++i) {
        m_waveNumber[i] = uniform(random, 0.01, 0.03);
        m_waveAmplitude[i] = uniform(random, 0.03, 0.12) / m_waveNumber[i];
        m_waveAngle[i] = uniform(random, 0, kPi);
        m_waveShift[i] = uniform(random, 0, 2 * kPi);
    }
    m_halfWidth = uniform(random, 105, 120);
    m_halfHeight = uniform(random, 140, 155);
    for (int i = std::uniform_int_distribution<int>(0, 3)(random); i > 0; --i)
        m_creases.push_back({uniform(random, -60, 60), uniform(random, -80, 80),
                             uniform(random, -0.6, 0.6), uniform(random, 0.8, 2.0)});
    // Minutiae at least 2.2 ridges apart, inside the finger.
    const int count = std::uniform_int_distribution<int>(35, 50)(random);
    for (int attempt = 0; attempt < 20000 && int(m_spirals.size()) < count; ++attempt) {
        const double x = uniform(random, -m_halfWidth, m_halfWidth);
        const double y = uniform(random, -m_halfHeight, m_halfHeight);
        if ((x * x) / (m_halfWidth * m_halfWidth) + (y * y) / (m_halfHeight * m_halfHeight) > 0.9)
            continue;
        const bool crowded = std::any_of(m_spirals.begin(), m_spirals.end(), [&](const Spiral& s) {
            return std::hypot(s.x - x, s.y - y) < 2.2 * m_period;
        });
        if (!crowded)
            m_spirals.push_back({x, y, uniform(random, 0, 1) < 0.5 ? 1 : -1});
    }
}

double Finger::phase(double x, double y) const {
    const double c = std::cos(m_tilt);
    const double s = std::sin(m_tilt);
    const double u = c * (x - m_centreX) + s * (y - m_centreY);
    const double v = -s * (x - m_centreX) + c * (y - m_centreY);
    double level =
        m_whorl ? std::sqrt(m_stretchX * u * u + m_stretchY * v * v)
                : v + m_bump * std::exp(-(u * u + 0.3 * v * v) / (2 * m_bumpWidth * m_bumpWidth));
    for (int i = 0; i < 2; ++i)
        level += m_waveAmplitude[i] * std::sin(m_waveNumber[i] * (x * std::cos(m_waveAngle[i]) +
                                                                  y * std::sin(m_waveAngle[i])) +
                                               m_waveShift[i]);
    double phase = 2 * kPi * level / m_period;
    for (const Spiral& spiral : m_spirals)
        phase += spiral.turn * fastAtan2(y - spiral.y, x - spiral.x);
    return phase;
}

double Finger::skin(double x, double y) const {
    double value = 1;
    for (const Crease& crease : m_creases) {
        // Distance across the crease, a line through (x, y) of the crease at its angle.
        const double d =
            -(x - crease.x) * std::sin(crease.angle) + (y - crease.y) * std::cos(crease.angle);
        value *= 1 - std::exp(-d * d / (2 * crease.width * crease.width));
    }
    return value;
}

Impression Finger::impression(int take) const {
    std::mt19937 random(m_identity * 7919U + std::uint32_t(take) * 104729U + 3);
    const double angle = uniform(random, -7, 7) * kPi / 180;
    const double shiftX = uniform(random, -18, 18);
    const double shiftY = uniform(random, -18, 18);
    // Partial pressure: the contact is smaller than the finger and off its centre.
    const double press = uniform(random, 0.75, 1.0);
    const double pressX = uniform(random, -20, 20);
    const double pressY = uniform(random, -25, 25);
    const double contrast = uniform(random, 100, 160);
    const double background = uniform(random, 200, 230);
    const double noise = uniform(random, 3, 10);
    const double stretch = uniform(random, 0.5, 2.0); // skin distortion, pixels
    const double stretchPhase = uniform(random, 0, 2 * kPi);
    const Patches dryness(random);
    std::normal_distribution<double> grain(0, noise);

    Impression image;
    image.pixels.resize(std::size_t(image.width) * std::size_t(image.height));
    const double c = std::cos(-angle);
    const double s = std::sin(-angle);
    for (int v = 0; v < image.height; ++v)
        for (int u = 0; u < image.width; ++u) {
            // Reader pixel to finger coordinates: undo the shift, then the turn.
            const double rx = u - image.width / 2.0 - shiftX;
            const double ry = v - image.height / 2.0 - shiftY;
            double x = c * rx - s * ry;
            double y = s * rx + c * ry;
            x += stretch * std::sin(y / 60 + stretchPhase);
            y += stretch * std::sin(x / 50 - stretchPhase);
            const double ex = (x - pressX) / (press * m_halfWidth);
            const double ey = (y - pressY) / (press * m_halfHeight);
            const double contact = 1 - smoothStep(0.85, 1.0, std::sqrt(ex * ex + ey * ey));
            double value = background;
            if (contact > 0) {
                const double ridge = 0.5 + 0.5 * std::cos(phase(x, y));
                value -= contrast * contact * ridge * (0.35 + 0.65 * dryness.at(u, v)) * skin(x, y);
            }
            value += grain(random);
            image.pixels[std::size_t(v) * image.width + u] =
                std::uint8_t(std::clamp(std::lround(value), 0L, 255L));
        }
    return image;
}

void writePgm(const Impression& image, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "P5\n" << image.width << ' ' << image.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(image.pixels.data()),
              std::streamsize(image.pixels.size()));
}

} // namespace synthetic
