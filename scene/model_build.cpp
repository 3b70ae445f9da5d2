#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "scene/model_geometry.h"
#include "scene/position_weld.h"

namespace {

// The most lights the OpenGL renderer has units for on every implementation; both renderers then
// light a model alike.
constexpr size_t kMaxModelLights = 8;

struct Normal3 {
    double x = 0, y = 0, z = 0;
};

bool usable(const Vec3& n)
{
    return std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z) && (n.x != 0 || n.y != 0 || n.z != 0);
}

bool usable(const Normal3& n)
{
    const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    return std::isfinite(length) && length > 0;
}

// Newell's normal: its length is twice the face's area, so summing it weighs faces by area.
Normal3 faceNormal(const ModelMesh& mesh, const uint32_t* face, uint32_t count)
{
    Normal3 n;
    for (uint32_t k = 0; k < count; ++k) {
        const Vec3& a = mesh.positions[face[k]];
        const Vec3& b = mesh.positions[face[(k + 1) % count]];
        n.x += (static_cast<double>(a.y) - b.y) * (static_cast<double>(a.z) + b.z);
        n.y += (static_cast<double>(a.z) - b.z) * (static_cast<double>(a.x) + b.x);
        n.z += (static_cast<double>(a.x) - b.x) * (static_cast<double>(a.y) + b.y);
    }
    return n;
}

bool normalMissing(const ModelMesh& mesh, uint32_t index)
{
    return mesh.normals.empty() || !usable(mesh.normals[index]);
}

// Area-weighted sums of the normals of the faces meeting at each position. Positions are welded
// bit for bit (with -0 as 0): the corners of neighbouring faces that a file writes as separate
// vertices still meet.
struct SmoothNormals {
    std::vector<uint32_t> groupOf;  // empty when every corner has its normal
    std::vector<Normal3> sums;      // one per group
};

// A file with all its normals costs nothing. Every face adds to its corners' groups in file order,
// so each sum is the same double whichever weld found the groups.
SmoothNormals smoothNormals(const ModelMesh& mesh)
{
    SmoothNormals smooth;
    if (std::none_of(mesh.indices.begin(), mesh.indices.end(),
                     [&](uint32_t index) { return normalMissing(mesh, index); }))
        return smooth;
    PositionGroups groups = weldPositions(mesh.positions);
    smooth.sums.assign(groups.count, Normal3{});
    smooth.groupOf = std::move(groups.groupOf);
    size_t start = 0;
    for (uint32_t count : mesh.faceSizes) {
        const Normal3 n = faceNormal(mesh, &mesh.indices[start], count);
        for (uint32_t k = 0; k < count; ++k) {
            Normal3& sum = smooth.sums[smooth.groupOf[mesh.indices[start + k]]];
            sum.x += n.x;
            sum.y += n.y;
            sum.z += n.z;
        }
        start += count;
    }
    return smooth;
}

Vec3 unit(const Normal3& n)
{
    const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    return Vec3(static_cast<float>(n.x / length), static_cast<float>(n.y / length), static_cast<float>(n.z / length));
}

// Exactly what Scene::setNormal makes of a normal.
Vec3 asSet(Vec3 n)
{
    n.normalize();
    return n;
}

// Each position's normal as the scene stores it, worked out once per position rather than once
// per corner. A NaN x marks a position whose corners take their face's normal instead.
std::vector<Vec3> positionNormals(const ModelMesh& mesh)
{
    const SmoothNormals smooth = smoothNormals(mesh);
    std::vector<Vec3> normals(mesh.positions.size());
    for (uint32_t i = 0; i < normals.size(); ++i) {
        if (!normalMissing(mesh, i))
            normals[i] = asSet(unit({mesh.normals[i].x, mesh.normals[i].y, mesh.normals[i].z}));
        else if (!smooth.groupOf.empty() && usable(smooth.sums[smooth.groupOf[i]]))
            normals[i] = asSet(unit(smooth.sums[smooth.groupOf[i]]));
        else
            normals[i].x = std::numeric_limits<float>::quiet_NaN();
    }
    return normals;
}

// A corner whose position has no usable normal takes its face's; a face without area shows no pixels,
// so any unit normal will do for it.
Vec3 faceFallback(const Normal3& face) { return asSet(usable(face) ? unit(face) : Vec3(0, 0, 1)); }

// The lowest coordinate of the face in [0, 1): a file meaning a repeated texture then shows the
// right part of it on every face that stays within one repetition.
void wholeShift(const ModelMesh& mesh, const uint32_t* face, uint32_t count, double& ds, double& dt)
{
    double lowS = std::numeric_limits<double>::infinity(), lowT = lowS;
    for (uint32_t k = 0; k < count; ++k) {
        const Vec2& st = mesh.texCoords[face[k]];
        if (std::isfinite(st.x)) lowS = std::min(lowS, static_cast<double>(st.x));
        if (std::isfinite(st.y)) lowT = std::min(lowT, static_cast<double>(st.y));
    }
    ds = std::isfinite(lowS) ? std::floor(lowS) : 0;
    dt = std::isfinite(lowT) ? std::floor(lowT) : 0;
}

float placed(float v, double centre, double scale) { return static_cast<float>((v - centre) * scale); }

// A key light from above the initial camera's right, as scene 1's, and a fainter fill from its
// left, both five radii of the fitted box away from its centre.
void addDefaultLights(Scene& scene)
{
    const double away = 5 * kModelRadius / std::sqrt(14.0);
    scene.addLight(static_cast<float>(1 * away), static_cast<float>(2 * away), static_cast<float>(3 * away),
                   Color(0.6f, 0.6f, 0.6f, 1));
    const double fill = 5 * kModelRadius / std::sqrt(4.5);
    scene.addLight(static_cast<float>(2 * fill), static_cast<float>(-0.5 * fill), static_cast<float>(0.5 * fill),
                   Color(0.3f, 0.3f, 0.3f, 1));
}

void addLights(Scene& scene, const ModelGeometry& geometry, const ModelSettings& settings, const ModelFit& fit)
{
    if (!settings.lights.empty()) {
        for (size_t i = 0; i < settings.lights.size() && i < kMaxModelLights; ++i) scene.lights.push_back(settings.lights[i]);
        return;
    }
    if (geometry.lights.empty()) {
        addDefaultLights(scene);
        return;
    }
    for (size_t i = 0; i < geometry.lights.size() && i < kMaxModelLights; ++i) {
        const Light& light = geometry.lights[i];
        scene.addLight(placed(light.position.x, fit.centre[0], fit.scale),
                       placed(light.position.y, fit.centre[1], fit.scale),
                       placed(light.position.z, fit.centre[2], fit.scale), light.color);
    }
}

void addFaces(Scene& scene, const ModelMesh& mesh, const ModelFit& fit)
{
    const std::vector<Vec3> normals = positionNormals(mesh);
    const bool textured = !mesh.texCoords.empty();
    size_t start = 0;
    for (uint32_t count : mesh.faceSizes) {
        const uint32_t* face = &mesh.indices[start];
        double ds = 0, dt = 0;
        if (textured) wholeShift(mesh, face, count, ds, dt);
        scene.beginPolygon();
        // One allocation per polygon rather than a growing series.
        scene.primitives.back().polygons.back().reserve(count);
        for (uint32_t k = 0; k < count; ++k) {
            const uint32_t index = face[k];
            // Set directly: already what setNormal would have made of it.
            const bool ownNormal = !std::isnan(normals[index].x);
            scene.currentNormal = ownNormal ? normals[index] : faceFallback(faceNormal(mesh, face, count));
            if (textured) {
                const Vec2& st = mesh.texCoords[index];
                scene.setTexCoord(std::isfinite(st.x) ? static_cast<float>(st.x - ds) : 0.0f,
                                  std::isfinite(st.y) ? static_cast<float>(st.y - dt) : 0.0f);
            }
            const Vec3& p = mesh.positions[index];
            scene.addVertex(placed(p.x, fit.centre[0], fit.scale), placed(p.y, fit.centre[1], fit.scale),
                            placed(p.z, fit.centre[2], fit.scale));
        }
        start += count;
    }
}

}  // namespace

ModelFit fitModel(const ModelGeometry& geometry)
{
    double low[3], high[3];
    std::fill(low, low + 3, std::numeric_limits<double>::infinity());
    std::fill(high, high + 3, -std::numeric_limits<double>::infinity());
    for (const ModelMesh& mesh : geometry.meshes)
        for (uint32_t index : mesh.indices) {
            const Vec3& p = mesh.positions[index];
            const double c[3] = {p.x, p.y, p.z};
            for (int a = 0; a < 3; ++a) {
                low[a] = std::min(low[a], c[a]);
                high[a] = std::max(high[a], c[a]);
            }
        }
    ModelFit fit;
    if (!(low[0] <= high[0])) return fit;  // no face at all
    double squares = 0;
    for (int a = 0; a < 3; ++a) {
        fit.centre[a] = (low[a] + high[a]) * 0.5;
        const double half = (high[a] - low[a]) * 0.5;
        squares += half * half;
    }
    // A model of one point keeps its size.
    const double radius = std::sqrt(squares);
    if (radius > 0 && std::isfinite(radius)) fit.scale = kModelRadius / radius;
    return fit;
}

void buildModel(Scene& scene, const ModelGeometry& geometry, const ModelSettings& settings)
{
    scene.clear();
    scene.lightingEnabled = true;
    scene.flatShading = false;
    scene.setAmbient(settings.ambient);
    const ModelFit fit = fitModel(geometry);
    addLights(scene, geometry, settings, fit);

    std::vector<const Texture*> textures(geometry.materials.size(), nullptr);
    for (size_t m = 0; m < geometry.materials.size(); ++m)
        if (geometry.materials[m].texture.texels) textures[m] = scene.ownTexture(geometry.materials[m].texture);

    const ModelMaterial plain;
    for (const ModelMesh& mesh : geometry.meshes) {
        if (mesh.faceSizes.empty()) continue;
        const bool known = mesh.material < geometry.materials.size();
        const ModelMaterial& material = known ? geometry.materials[mesh.material] : plain;
        scene.setMaterial(material.diffuse, material.specular, material.shininess);
        scene.setTextures(known ? textures[mesh.material] : nullptr, nullptr, nullptr);
        scene.beginPrimitive();
        scene.primitives.back().textureRole = TextureRole::surfaceColour;
        scene.primitives.back().polygons.reserve(mesh.faceSizes.size());
        addFaces(scene, mesh, fit);
    }
}
