#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "math/color.h"
#include "math/vec2.h"
#include "math/vec3.h"
#include "scene/scene.h"
#include "texture/texture.h"

// A model as read from a file, before it is placed into the Scene: positions in the file's units
// but already in the scenes' axes (z up).
struct ModelMesh {
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;    // empty, or one per position; a zero or non-finite one is missing
    std::vector<Vec2> texCoords;  // empty, or one per position
    std::vector<uint32_t> faceSizes;  // vertices of each face, every one at least 3
    std::vector<uint32_t> indices;    // the faces' vertices one face after another, in file order
    uint32_t material = 0;
};

struct ModelMaterial {
    Color diffuse{0.8f, 0.8f, 0.8f, 1};
    Color specular{0, 0, 0, 1};
    int32_t shininess = 0;
    Texture texture;  // no texels: untextured
};

struct ModelGeometry {
    std::vector<ModelMesh> meshes;
    std::vector<ModelMaterial> materials;
    std::vector<Light> lights;  // the file's point lights, positions in the meshes' space
};

enum class UpAxis { y, z };

// How a model is placed and lit.
struct ModelSettings {
    std::string path;  // empty: no model
    UpAxis up = UpAxis::y;
    bool ambientGiven = false;
    Color ambient{0.25f, 0.25f, 0.25f, 1};
    std::vector<Light> lights;  // when given, they replace the file's or the default lights
};

// The radius a model's bounding box is scaled to (half its diagonal), centred on the origin: about
// the size of scene 1's solids, which the viewer's initial camera frames whole from any side.
constexpr double kModelRadius = 0.8;

// Where each position goes: p' = (p - centre) * scale.
struct ModelFit {
    double centre[3] = {0, 0, 0};
    double scale = 1;
};

// The bounding box of every position a face uses, centred and scaled so half its diagonal is
// kModelRadius. The positions must be finite.
ModelFit fitModel(const ModelGeometry& geometry);

// Clears the scene and builds the model into it through the building interface: one primitive per
// mesh with faces, one polygon per face. Normals missing from the file are made smooth: the mean
// of the normals of all faces meeting at that position, weighted by their area. Each face's
// texture coordinates move by whole numbers so that their lowest lies in [0, 1).
void buildModel(Scene& scene, const ModelGeometry& geometry, const ModelSettings& settings);
