#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An OpenGL compatibility context with no window and no X server: EGL on Mesa's surfaceless
// platform, drawing into a framebuffer object with an RGBA8 colour and a 24-bit depth attachment.
class OffscreenGl {
public:
    OffscreenGl() = default;
    OffscreenGl(const OffscreenGl&) = delete;
    OffscreenGl& operator=(const OffscreenGl&) = delete;
    ~OffscreenGl();

    // Makes the context current with a width x height framebuffer bound and the viewport set.
    // False, with a one-line reason, when no EGL device or context can be had.
    bool open(int width, int height, std::string& error);

    // RGB bytes of the framebuffer, top row first, as a window shows it and image files store it.
    std::vector<uint8_t> readPixels() const;
    // The depth buffer, rows bottom-up, each value in [0, 1].
    std::vector<float> readDepths() const;

private:
    void* display_ = nullptr;
    void* context_ = nullptr;
    unsigned framebuffer_ = 0;
    unsigned colour_ = 0;
    unsigned depth_ = 0;
    int width_ = 0;
    int height_ = 0;
};
