#pragma once

#include <vector>

#include "math/mat4.h"

// Every builder post-multiplies (current = current · T), so the transformation given last
// acts on a vertex first, as with the fixed-function matrix calls.
struct MatrixStack {
    Mat4 current;
    Mat4 inverse;  // written only by the camera set-up; no stack operation maintains it
    std::vector<Mat4> saved;

    void loadIdentity() { current = Mat4(); }
    void translate(float x, float y, float z);
    void rotateX(float degrees);
    void rotateZ(float degrees);
    void scale(float x, float y, float z);
    void perspective(float xHalf, float yHalf, float nearDistance, float farDistance);

    void push() { saved.push_back(current); }
    // Popping an empty stack is a caller bug; it stops the process in every build type.
    void pop();

    Vec4 transform(const Vec4& v) const { return current * v; }
    Vec4 transformByInverse(const Vec4& v) const { return inverse * v; }
    // The transpose: the column-major layout glLoadMatrixf expects.
    void toColumnMajor(float out[16]) const;
};
