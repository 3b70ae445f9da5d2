#pragma once

#include "math/mat4.h"
#include "math/matrix_stack.h"

// The inverses of the frame's projection and view, widened once per frame, that carry a pixel
// back to world space.
template <class L>
struct Unprojection {
    WideMat4<L> projectionInverse;
    WideMat4<L> viewInverse;
};

template <class L>
inline Unprojection<L> makeUnprojection(const MatrixStack& projection, const MatrixStack& view)
{
    return {wideMatrix<L>(projection.inverse), wideMatrix<L>(view.inverse)};
}

// A window coordinate taken at a whole number, in [-1, 1] across a frame side of that size: exactly
// undoes the viewport mapping.
inline float normalizedDeviceCoordinate(float windowCoordinate, int size)
{
    return static_cast<float>(static_cast<double>(windowCoordinate) * 2.0 / size - 1.0);
}

// The world position of the pixel at (ndcX, ndcY, depth); ok turns false where w = 0 leaves none.
template <class L>
inline typename L::Vec3 unproject(const Unprojection<L>& u, typename L::Float ndcX, typename L::Float ndcY,
                                  typename L::Float depth, typename L::Mask& ok)
{
    const typename L::Vec4 h = transform<L>(u.viewInverse, transformPoint<L>(u.projectionInverse, ndcX, ndcY, depth));
    ok = ok & (h.w != 0.0f);
    return {h.x / h.w, h.y / h.w, h.z / h.w};
}

// The camera's world position, the view's inverse applied to the origin; ok as for unproject.
template <class L>
inline typename L::Vec3 eyePosition(const Unprojection<L>& u, typename L::Mask& ok)
{
    const typename L::Float zero = L::splat(0.0f);
    const typename L::Vec4 h = transformPoint<L>(u.viewInverse, zero, zero, zero);
    ok = ok & (h.w != 0.0f);
    return {h.x / h.w, h.y / h.w, h.z / h.w};
}
