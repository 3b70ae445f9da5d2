#include "fixed_function/frame_matrices.h"

FrameMatrices frameMatrices(const Scene& scene)
{
    FrameMatrices out{};
    const Mat4& view = scene.viewStack.current;
    const Mat4& projection = scene.projectionStack.current;
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            out.modelView[column * 4 + row] = view(row, column);
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum = sum + projection(row, k) * view(k, column);
            out.modelViewProjection[column * 4 + row] = sum;
        }
    // Transposed inverse: element (row, column) of the result is inverse(column, row).
    const Mat4& inverse = scene.viewStack.inverse;
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 3; ++row) out.normal[column * 3 + row] = inverse(column, row);
    return out;
}
