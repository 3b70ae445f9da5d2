#include "raster/vertex_stage.h"

MatrixStack viewportTransform(int width, int height)
{
    const float halfWidth = static_cast<float>(static_cast<double>(static_cast<float>(width)) / 2.0);
    const float halfHeight = static_cast<float>(static_cast<double>(static_cast<float>(height)) / 2.0);
    MatrixStack viewport;
    viewport.translate(halfWidth, halfHeight, 0.0f);
    viewport.scale(halfWidth, halfHeight, 1.0f);
    return viewport;
}

VertexStage makeVertexStage(const Scene& scene, int width, int height)
{
    return makeVertexStage(scene.viewStack.current, scene.projectionStack.current,
                           viewportTransform(width, height).current);
}
