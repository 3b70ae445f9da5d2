#pragma once

#include <cstdint>
#include <vector>

#include "support/test_window.h"
#include "math/camera.h"
#include "preview/model_arrays.h"
#include "scene/scene.h"

// Helpers shared by the preview renderer's tests: frames drawn as the viewer draws them, and where
// a world point lands in them.

constexpr int kFrameSize = 480;

using Image = std::vector<uint8_t>;

// Looks down -z from +z with x to the right and y up; the square [-0.6, 0.6]² in z = 0 fills the frame.
inline CameraPose frontPose() { return CameraPose{0.0f, 0.0f, 0.0f, 0.0f, 0.0f}; }

// One kFrameSize² preview frame in the shared test window, set up as the viewer's display callback
// does (clear, window-pixel projection, camera), read back before any swap.
Image drawPreviewFrame(Scene& scene, const CameraPose& pose = CameraPose{}, Rgb background = {255, 255, 255});

// The same frame with a model's arrays (preview/model_arrays.h), built at its first use.
Image drawPreviewFrameFromArrays(Scene& scene, ModelArrays& arrays, const CameraPose& pose = CameraPose{});

// The same frame in a window of its own, created for it and destroyed afterwards: a new context
// with OpenGL's initial state, as right after the viewer starts.
Image drawPreviewFrameInFreshWindow(Scene& scene, const CameraPose& pose = CameraPose{});

// The pixel a world point projects to with the scene's current view and projection matrices.
struct PixelPosition {
    int x, y;
};
PixelPosition projectToPixel(const Scene& scene, float x, float y, float z);

// Where the ray through the centre of pixel (x, y) meets the plane at height z, found with the
// inverse matrices the camera set-up stored.
Vec3 unprojectToPlaneZ(const Scene& scene, int x, int y, float z);

inline Rgb pixelAt(const Image& image, PixelPosition p) { return pixelAt(image, kFrameSize, p.x, p.y); }

// Number of pixels whose colours differ by more than `tolerance` in some channel.
int countDifferentPixels(const Image& a, const Image& b, int tolerance = 0);

// A square of side 2·half in the plane z = 0, centred at (cx, cy), normal +z, texture coordinates
// 0..1 over it: one primitive of one polygon carrying the scene's current material and textures.
void addSquare(Scene& scene, float cx, float cy, float half);

// A size × size colour texture of one colour.
Texture uniformTexture(int size, const Color& c);

// Largest channel difference between two colours.
int colorDistance(Rgb a, Rgb b);
