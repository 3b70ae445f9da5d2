#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "math/color.h"
#include "math/matrix_stack.h"
#include "math/vec3.h"
#include "math/vec4.h"
#include "texture/texture.h"

struct Light {
    Vec3 position;  // world coordinates, stored as given
    Color color{0, 0, 0, 1};
};

struct Vertex {
    Vec4 position;  // world coordinates: the model matrix was applied when the vertex was added
    Vec3 normal;
    float s = 0.0f;
    float t = 0.0f;
    // Index of the preceding vertex on the same contour; a contour's first vertex names its
    // last, so every contour is a closed ring and the edges are exactly the pairs (i, previous).
    int32_t previous = 0;
};

// One or more contours: the first is the outline, every further one a hole.
using Polygon = std::vector<Vertex>;

// What a primitive's colour texture stands for. The scenes' texture modulates only the ambient
// term; a model's is the surface's own colour, modulating the ambient and diffuse terms, with the
// specular added after it.
enum class TextureRole : uint8_t { ambientOnly, surfaceColour };

struct Primitive {
    std::vector<Polygon> polygons;
    Color diffuse{0, 0, 0, 1};
    Color specular{0, 0, 0, 1};
    int32_t shininess = 0;
    const Texture* texture = nullptr;
    const Texture* bumpMap = nullptr;
    const Texture* environmentMap = nullptr;
    TextureRole textureRole = TextureRole::ambientOnly;
};

// Everything that is drawn, filled through an immediate-mode building interface.
class Scene {
public:
    bool lightingEnabled = false;
    bool flatShading = false;
    bool useOpenGL = true;
    bool mipmapping = true;
    Color ambient{0, 0, 0, 1};
    std::vector<Light> lights;
    std::vector<Primitive> primitives;
    MatrixStack viewStack;
    MatrixStack projectionStack;
    MatrixStack modelStack;
    Vec3 currentNormal{0, 0, 1};
    Color currentDiffuse{1, 1, 1, 1};
    Color currentSpecular{0, 0, 0, 1};
    int32_t currentShininess = 0;
    int32_t contourStart = 0;
    const Texture* currentTexture = nullptr;
    const Texture* currentBumpMap = nullptr;
    const Texture* currentEnvironmentMap = nullptr;
    float currentS = 0.0f;
    float currentT = 0.0f;

    Scene() { clear(); }

    // Resets the flags, the geometry, the lights and the current state; keeps the ambient colour
    // and the matrix stacks. Textures handed over with ownTexture are released here: by then no
    // primitive refers to them, and mip chains built from them keep their texels alive themselves.
    void clear();

    void setAmbient(const Color& c) { ambient = c; }
    void addLight(float x, float y, float z, const Color& c) { lights.push_back({Vec3(x, y, z), c}); }
    void setMaterial(const Color& diffuse, const Color& specular, int32_t shininess);
    void setNormal(float x, float y, float z);
    void setTextures(const Texture* texture, const Texture* bumpMap, const Texture* environmentMap);
    void setTexCoord(float s, float t)
    {
        currentS = s;
        currentT = t;
    }

    // Calling order: beginPrimitive, then per polygon beginPolygon and its vertices, with
    // beginContour before the first vertex of every further contour. A call out of order stops
    // the process with a message naming it.
    void beginPrimitive();
    void beginPolygon();
    void beginContour();
    void addVertex(float x, float y, float z);

    // Keeps a texture made by a scene builder alive until the next clear; the returned pointer
    // is what setTextures takes.
    const Texture* ownTexture(Texture texture);

private:
    std::vector<std::unique_ptr<Texture>> ownedTextures_;
};
