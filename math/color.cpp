#include "math/color.h"

Color& Color::fromHsv(float h, float s, float v, float alpha)
{
    if (s == 0.0f) {
        set(v, v, v, alpha);
        return *this;
    }
    const double h6 = 6.0 * h;
    int i = static_cast<int>(h6);
    const float f = static_cast<float>(h6 - i);
    const float p = static_cast<float>(v * (1.0 - s));
    const float q = static_cast<float>(v * (1.0 - static_cast<double>(s) * f));
    const float t = static_cast<float>(v * (1.0 - s * (1.0 - f)));
    // Sector 6 is h = 1, red again; hues outside [0, 1] wrap rather than fall off the table.
    i = ((i % 6) + 6) % 6;
    switch (i) {
    case 0: set(v, t, p, alpha); break;
    case 1: set(q, v, p, alpha); break;
    case 2: set(p, v, t, alpha); break;
    case 3: set(p, q, v, alpha); break;
    case 4: set(t, p, v, alpha); break;
    default: set(v, p, q, alpha); break;
    }
    return *this;
}
