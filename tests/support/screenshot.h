#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// A window's pixels as the X server holds them: 8-bit RGB, row 0 at the TOP (X's order, the
// reverse of OpenGL's).
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    Rgb at(int x, int y) const
    {
        const size_t i = (static_cast<size_t>(y) * width + x) * 3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
    // How many pixels differ from `colour`; 0 for a frame filled with it.
    int countOtherThan(Rgb colour) const;
    // How many pixels differ from the same pixel of `other`; every one when the sizes differ.
    int countDifferencesFrom(const Screenshot& other) const;
};

// Decodes what `xwd` writes for a TrueColor window (24 or 32 bits per pixel, either byte order).
// On failure returns nothing and says why in `error`.
std::optional<Screenshot> decodeXwd(const std::string& file, std::string& error);

// Decodes a binary PPM (P6, maxval 255), as image converters write it.
std::optional<Screenshot> decodePpm(const std::string& file, std::string& error);
