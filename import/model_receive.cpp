#include <cmath>
#include <limits>
#include <type_traits>
#include <vector>

#include "import/image_file.h"
#include "import/model_transfer.h"

namespace {

// The child is not trusted more than a file: every count is checked before anything is sized by it.
struct Receiver {
    ChildPipe& child;
    uint64_t bytesLeft = kMaxTransferBytes;
    std::string problem;
};

bool malformed(Receiver& in, const std::string& what)
{
    in.problem = what;
    return false;
}

template <typename T> bool get(Receiver& in, T& value) { return readFromChild(in.child, &value, sizeof value); }

bool getLine(Receiver& in, std::string& line)
{
    uint32_t size = 0;
    if (!get(in, size)) return false;
    if (size > kMaxTransferLine) return malformed(in, "a message longer than " + std::to_string(kMaxTransferLine) + " bytes");
    line.resize(size);
    return size == 0 || readFromChild(in.child, &line[0], size);
}

// The array's count, checked against `most` and the bytes still allowed; its items straight into `to`.
template <typename T> bool getCount(Receiver& in, uint64_t& count, uint64_t most)
{
    if (!get(in, count)) return false;
    if (count > most || count > in.bytesLeft / sizeof(T)) return malformed(in, "an array beyond its bounds");
    in.bytesLeft -= count * sizeof(T);
    return true;
}

template <typename T> bool getArray(Receiver& in, std::vector<T>& items, uint64_t most)
{
    static_assert(std::is_trivially_copyable_v<T>, "items cross as bytes");
    uint64_t count = 0;
    if (!getCount<T>(in, count, most)) return false;
    items.resize(static_cast<size_t>(count));
    return count == 0 || readFromChild(in.child, items.data(), static_cast<size_t>(count * sizeof(T)));
}

bool finite(float v) { return std::isfinite(v); }

bool getColor(Receiver& in, Color& c)
{
    if (!get(in, c.r) || !get(in, c.g) || !get(in, c.b) || !get(in, c.a)) return false;
    return (finite(c.r) && finite(c.g) && finite(c.b) && finite(c.a)) || malformed(in, "a colour that is not finite");
}

bool getReport(Receiver& in, ModelReport& report)
{
    uint32_t start = 0, warnings = 0;
    uint8_t failure = 0;
    if (!get(in, start) || !get(in, failure)) return false;
    if (start != kTransferStart || failure > static_cast<uint8_t>(ModelFailure::noMemory))
        return malformed(in, "an answer that does not begin as one");
    report.failure = static_cast<ModelFailure>(failure);
    if (!getLine(in, report.error) || !get(in, warnings)) return false;
    if (warnings > kMaxTransferWarnings) return malformed(in, "too many warnings");
    report.warnings.resize(warnings);
    for (std::string& warning : report.warnings)
        if (!getLine(in, warning)) return false;
    return report.failure == ModelFailure::none || !report.error.empty() || malformed(in, "a refusal without a reason");
}

bool getTexture(Receiver& in, Texture& texture)
{
    int32_t width = 0, height = 0;
    uint32_t channels = 0;
    if (!get(in, width) || !get(in, height) || !get(in, channels)) return false;
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide || channels < 1 || channels > 4)
        return malformed(in, "a texture of a size no texture may have");
    uint64_t count = 0;
    if (!getCount<float>(in, count, std::numeric_limits<uint64_t>::max())) return false;
    if (count != static_cast<uint64_t>(width) * height * channels) return malformed(in, "a texture of the wrong size");
    texture = Texture(width, height, channels);
    return readFromChild(in.child, texture.texels.get(), count * sizeof(float));
}

bool getMaterials(Receiver& in, std::vector<ModelMaterial>& materials)
{
    uint32_t textureCount = 0, materialCount = 0;
    if (!get(in, textureCount)) return false;
    if (textureCount > kMaxTransferMaterials) return malformed(in, "too many textures");
    std::vector<Texture> textures(textureCount);
    for (Texture& texture : textures)
        if (!getTexture(in, texture)) return false;
    if (!get(in, materialCount)) return false;
    if (materialCount > kMaxTransferMaterials) return malformed(in, "too many materials");
    materials.resize(materialCount);
    for (ModelMaterial& m : materials) {
        int32_t texture = 0;
        if (!getColor(in, m.diffuse) || !getColor(in, m.specular) || !get(in, m.shininess) || !get(in, texture))
            return false;
        if (m.shininess < 0 || m.shininess > 128) return malformed(in, "a shininess out of range");
        if (texture < -1 || texture >= static_cast<int32_t>(textureCount)) return malformed(in, "a texture it did not send");
        if (texture >= 0) m.texture = textures[static_cast<size_t>(texture)];
    }
    return true;
}

// Faces of at least 3 corners that use every index once, in range, on finite positions.
bool checkMesh(Receiver& in, const ModelMesh& mesh, uint64_t& corners)
{
    const size_t vertices = mesh.positions.size();
    if ((!mesh.normals.empty() && mesh.normals.size() != vertices) ||
        (!mesh.texCoords.empty() && mesh.texCoords.size() != vertices))
        return malformed(in, "a mesh whose arrays differ in length");
    if (mesh.faceSizes.empty()) return malformed(in, "a mesh without faces");
    uint64_t sum = 0;
    for (uint32_t size : mesh.faceSizes) {
        if (size < 3) return malformed(in, "a face of fewer than 3 corners");
        sum += size;
    }
    corners += sum;
    if (sum != mesh.indices.size()) return malformed(in, "faces that do not add up to their indices");
    if (corners > kMaxModelCorners) return malformed(in, "more face corners than a model may have");
    for (uint32_t index : mesh.indices)
        if (index >= vertices) return malformed(in, "a face index out of range");
    for (const Vec3& p : mesh.positions)
        if (!finite(p.x) || !finite(p.y) || !finite(p.z)) return malformed(in, "a position that is not finite");
    return true;
}

bool getMeshes(Receiver& in, ModelGeometry& geometry)
{
    uint32_t count = 0;
    if (!get(in, count)) return false;
    if (count == 0 || count > kMaxModelCorners / 3) return malformed(in, "no meshes, or more than a model may have");
    geometry.meshes.resize(count);
    uint64_t corners = 0;
    const uint64_t most = std::numeric_limits<uint32_t>::max();
    for (ModelMesh& mesh : geometry.meshes) {
        if (!get(in, mesh.material)) return false;
        if (mesh.material >= geometry.materials.size()) return malformed(in, "a material it did not send");
        if (!getArray(in, mesh.positions, most) || !getArray(in, mesh.normals, most) ||
            !getArray(in, mesh.texCoords, most) || !getArray(in, mesh.faceSizes, kMaxModelCorners / 3) ||
            !getArray(in, mesh.indices, kMaxModelCorners) || !checkMesh(in, mesh, corners))
            return false;
    }
    return true;
}

bool getLights(Receiver& in, std::vector<Light>& lights)
{
    uint32_t count = 0;
    if (!get(in, count)) return false;
    if (count > kMaxTransferLights) return malformed(in, "too many lights");
    lights.resize(count);
    for (Light& light : lights) {
        Vec3& p = light.position;
        if (!get(in, p.x) || !get(in, p.y) || !get(in, p.z) || !getColor(in, light.color)) return false;
        if (!finite(p.x) || !finite(p.y) || !finite(p.z)) return malformed(in, "a light that is not at a finite place");
    }
    return true;
}

}  // namespace

bool receiveModel(ChildPipe& child, ModelReport& report, ModelGeometry& geometry, std::string& problem)
{
    Receiver in{child, kMaxTransferBytes, {}};
    uint32_t end = 0;
    const bool whole = getReport(in, report) &&
                       (report.failure != ModelFailure::none ||
                        (getMaterials(in, geometry.materials) && getMeshes(in, geometry) && getLights(in, geometry.lights))) &&
                       get(in, end) && (end == kTransferEnd || malformed(in, "an answer that does not end as one"));
    problem = in.problem;
    if (!whole) geometry = ModelGeometry();
    return whole;
}
