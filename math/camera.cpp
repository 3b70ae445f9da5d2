#include "math/camera.h"

#include <algorithm>

namespace {

constexpr double kBaseHalfExtent = 0.4;
constexpr float kNear = 0.1f;
constexpr float kFar = 100.0f;
constexpr float kEyeDistance = 3.0f;
constexpr double kPanScale = 0.01;
constexpr double kZoomScale = 0.25;

}  // namespace

void setupCamera(MatrixStack& projectionStack, MatrixStack& viewStack, const CameraPose& pose, int width, int height)
{
    const double w = std::max(width, 1);
    const double h = std::max(height, 1);
    // The shorter window side always sees the base half-extent.
    float xHalf = static_cast<float>(kBaseHalfExtent);
    float yHalf = static_cast<float>(kBaseHalfExtent);
    if (w < h)
        yHalf = static_cast<float>(kBaseHalfExtent * h / w);
    else
        xHalf = static_cast<float>(kBaseHalfExtent * w / h);

    projectionStack.loadIdentity();
    projectionStack.perspective(xHalf, yHalf, kNear, kFar);
    invertMatrix(projectionStack.current, projectionStack.inverse);

    viewStack.loadIdentity();
    viewStack.translate(0.0f, 0.0f, -kEyeDistance);
    // Window y grows downwards while the scene's y grows upwards, hence the negative pan scale.
    viewStack.translate(static_cast<float>(pose.panX * kPanScale), static_cast<float>(pose.panY * -kPanScale),
                        static_cast<float>(pose.zoom * kZoomScale));
    viewStack.rotateX(pose.elevation);
    viewStack.rotateZ(pose.azimuth);
    invertMatrix(viewStack.current, viewStack.inverse);
}
