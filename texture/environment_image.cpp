#include "texture/environment_image.h"

#include <algorithm>
#include <cmath>

#include "texture/raw_image_format.h"

namespace {

struct Rgb {
    double r, g, b;
};

Rgb mix(const Rgb& p, const Rgb& q, double f) { return {p.r + (q.r - p.r) * f, p.g + (q.g - p.g) * f, p.b + (q.b - p.b) * f}; }

// The world around the ball, by direction in eye space: +y up, the viewer on +z looking along -z.
Rgb environment(double x, double y, double z)
{
    const Rgb skyHaze{0.88, 0.92, 0.98};
    const Rgb zenith{0.16, 0.36, 0.78};
    const Rgb floorHaze{0.50, 0.52, 0.56};
    const Rgb darkSquare{0.10, 0.10, 0.12};
    const Rgb lightSquare{0.90, 0.90, 0.88};
    const Rgb sunColor{1.0, 0.97, 0.88};

    Rgb c;
    if (y >= 0) {
        c = mix(skyHaze, zenith, std::pow(y, 0.6));
    } else {
        // The floor is the plane y = -1; the squares fade into haze with distance, which also
        // keeps them from aliasing near the horizon.
        const double reach = 1.0 / -y;
        const double fx = x * reach;
        const double fz = z * reach;
        const double distance = std::sqrt(fx * fx + fz * fz);
        const double haze = 1.0 - std::exp(-distance / 7.0);
        // Beyond some distance the squares are invisible (and their indices would not fit).
        if (distance > 150) {
            c = floorHaze;
        } else {
            const bool odd = (static_cast<long>(std::floor(fx)) + static_cast<long>(std::floor(fz))) & 1;
            c = mix(odd ? darkSquare : lightSquare, floorHaze, haze);
        }
    }
    // The sun: a small disc with a soft glow, up and to the left, behind the viewer.
    const double sx = -0.45, sy = 0.62, sz = 0.64;
    const double toSun = (x * sx + y * sy + z * sz) / std::sqrt(sx * sx + sy * sy + sz * sz);
    const double glow = 0.6 * std::pow(std::max(toSun, 0.0), 80.0);
    c = {c.r + glow * sunColor.r, c.g + glow * sunColor.g, c.b + glow * sunColor.b};
    if (toSun > 0.9985) c = sunColor;
    return c;
}

// The direction a mirror ball reflects at sphere-map coordinate (s, t): the ball's normal there
// is (2s - 1, 2t - 1, nz), and the viewer looks along -z. Outside the disc the value just inside
// the rim is used: at the rim itself the reflection grazes the horizon from behind and the sign of
// a vanishing y would pick sky or floor at random.
Rgb reflectedAt(double s, double t)
{
    const double rim = 0.999;
    double x = 2 * s - 1;
    double y = 2 * t - 1;
    const double r = std::sqrt(x * x + y * y);
    if (r > rim) {
        x *= rim / r;
        y *= rim / r;
    }
    const double nz = std::sqrt(std::max(0.0, 1 - x * x - y * y));
    return environment(2 * nz * x, 2 * nz * y, 2 * nz * nz - 1);
}

unsigned char toByte(double v) { return static_cast<unsigned char>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); }

}  // namespace

std::vector<unsigned char> environmentImageBytes()
{
    const int side = kRawImageSide;
    const int samples = 4;  // per axis, so the floor's squares and the horizon stay smooth
    std::vector<unsigned char> bytes;
    bytes.reserve(kRawImageBytes);
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            Rgb sum{0, 0, 0};
            for (int i = 0; i < samples; ++i) {
                for (int j = 0; j < samples; ++j) {
                    const Rgb c = reflectedAt((column + (j + 0.5) / samples) / side, (row + (i + 0.5) / samples) / side);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                }
            }
            const double n = samples * samples;
            bytes.push_back(toByte(sum.r / n));
            bytes.push_back(toByte(sum.g / n));
            bytes.push_back(toByte(sum.b / n));
        }
    }
    return bytes;
}

Texture makeEnvironmentImage()
{
    const std::vector<unsigned char> bytes = environmentImageBytes();
    return decodeRawImage(bytes.data(), bytes.size());
}
