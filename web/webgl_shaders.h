#pragma once

#include <GLES3/gl3.h>

// The fixed-function pipeline the preview uses, in GLSL ES 3.00: per-vertex lighting with a local
// viewer, sphere-map coordinates, texture modulate and the filters of GL_CLAMP. Flat shading is
// the same source with its colours not interpolated. Lighting on or off and each
// texture filter make programs of their own: a software rasteriser (SwiftShader, where WebGL has
// no graphics processor) runs both sides of a branch on a uniform, which made frames up to 17
// times slower.

enum FixedAttribute : GLuint { kPosition = 0, kNormal, kTexCoord, kLitPosition, kLitNormal };

struct FixedUniforms {
    GLint modelView, modelViewProjection, normalMatrix;
    GLint currentColour, lightCount, lightDirection, diffuseProduct, specularProduct;
    GLint sceneColour, shininess, separateSpecular;
    GLint image, lastLevel;
};

// Linear filtering is only ever asked for the environment map, whose coordinates are generated.
enum FixedTextureMode : int { kUntextured = 0, kNearest = 1, kSphereMap = 2, kMipLinear = 3, kTextureModes = 4 };

struct FixedProgram {
    GLuint program = 0;  // 0 when the shaders did not compile or link
    FixedUniforms uniforms{};
};

struct FixedVariant {
    bool flat = false;
    bool lighting = false;
    FixedTextureMode texture = kUntextured;
};

FixedProgram buildFixedProgram(const FixedVariant& variant);
