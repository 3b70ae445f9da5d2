#pragma once

// The pictures were tuned with this value of pi, not the exact one: a full turn is 6.28318,
// and a rotation by 90 degrees leaves a cosine of about 1.3e-6.
constexpr double kPi = 3.14159;

inline float degreesToRadians(float degrees)
{
    return static_cast<float>(static_cast<double>(degrees) * kPi / 180.0);
}
