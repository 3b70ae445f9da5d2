#pragma once

#include <cmath>

// The generators' angles are rounded to float before the sine or cosine is taken, and the result
// is rounded to float before it is used further; the vertex positions depend on both roundings.
inline float floatSin(double angle) { return static_cast<float>(std::sin(static_cast<double>(static_cast<float>(angle)))); }
inline float floatCos(double angle) { return static_cast<float>(std::cos(static_cast<double>(static_cast<float>(angle)))); }
