#pragma once

#include <GL/freeglut.h>

#include <cstdint>
#include <vector>

// One real freeglut window on the test's X display, shared by every test of the process (a window
// per test would only cost time). Tests draw into its back buffer and read it back before any swap:
// after a swap Mesa's front buffer reads black.
class TestWindow {
public:
    // Opens the window once at this size (later calls resize it), makes its context current and sets
    // the viewport and the window-pixel orthographic projection the viewer's display callback sets.
    static void use(int width, int height);

    // RGB bytes of the back buffer, row 0 at the bottom, width * height * 3 bytes.
    static std::vector<uint8_t> readBack(int width, int height);
};

// Colour at (x, y) in a readBack image.
struct Rgb {
    int r, g, b;
};
inline Rgb pixelAt(const std::vector<uint8_t>& image, int width, int x, int y)
{
    const size_t i = (static_cast<size_t>(y) * width + x) * 3;
    return {image[i], image[i + 1], image[i + 2]};
}
