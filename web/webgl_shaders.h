#pragma once

#include <GLES3/gl3.h>

// The fixed-function pipeline the preview uses, as one GLSL ES 3.00 program: per-vertex lighting
// with a local viewer, sphere-map coordinates, texture modulate and the filters of GL_CLAMP.
// Flat shading is the same program with its colours not interpolated.

enum FixedAttribute : GLuint { kPosition = 0, kNormal, kTexCoord, kLitPosition, kLitNormal };

struct FixedUniforms {
    GLint modelView, modelViewProjection, normalMatrix;
    GLint lighting, currentColour, lightCount, lightDirection, diffuseProduct, specularProduct;
    GLint sceneColour, shininess, separateSpecular, sphereMap;
    GLint image, textureMode, lastLevel;
};

// textureMode's values.
enum FixedTextureMode : GLint { kUntextured = 0, kNearest = 1, kLinear = 2, kMipLinear = 3 };

struct FixedProgram {
    GLuint program = 0;  // 0 when the shaders did not compile or link
    FixedUniforms uniforms{};
};

FixedProgram buildFixedProgram(bool flat);
