#include "import/model_transfer.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <map>
#include <type_traits>

namespace {

static_assert(sizeof(Vec3) == 12 && sizeof(Vec2) == 8 && std::is_trivially_copyable_v<Vec3> &&
                  std::is_trivially_copyable_v<Vec2>,
              "positions and texture coordinates cross as packed floats");

// Small fields gather in a buffer; arrays go out in one write each.
struct Sender {
    int fd;
    std::string pending;
    bool broken = false;
};

void writeAll(Sender& out, const void* bytes, size_t size)
{
    const auto* from = static_cast<const char*>(bytes);
    while (size > 0 && !out.broken) {
        const ssize_t n = write(out.fd, from, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) out.broken = true;
        else from += n, size -= static_cast<size_t>(n);
    }
}

void flush(Sender& out)
{
    writeAll(out, out.pending.data(), out.pending.size());
    out.pending.clear();
}

template <typename T> void put(Sender& out, T value) { out.pending.append(reinterpret_cast<const char*>(&value), sizeof value); }

void putLine(Sender& out, const std::string& line)
{
    const std::string kept = line.substr(0, kMaxTransferLine);
    put(out, static_cast<uint32_t>(kept.size()));
    out.pending += kept;
}

template <typename T> void putArray(Sender& out, const T* items, uint64_t count)
{
    put(out, count);
    flush(out);
    writeAll(out, items, count * sizeof(T));
}

void putColor(Sender& out, const Color& c)
{
    for (float v : {c.r, c.g, c.b, c.a}) put(out, v);
}

void putReport(Sender& out, const ModelReport& report)
{
    put(out, kTransferStart);
    put(out, static_cast<uint8_t>(report.failure));
    putLine(out, report.error);
    const auto warnings = static_cast<uint32_t>(std::min<size_t>(report.warnings.size(), kMaxTransferWarnings));
    put(out, warnings);
    for (uint32_t i = 0; i < warnings; ++i) putLine(out, report.warnings[i]);
}

// Materials sharing one decoded image send it once.
void putMaterials(Sender& out, const std::vector<ModelMaterial>& materials)
{
    std::map<const float*, int32_t> sent;
    std::vector<const Texture*> textures;
    for (const ModelMaterial& m : materials)
        if (m.texture.texels && sent.emplace(m.texture.texels.get(), static_cast<int32_t>(textures.size())).second)
            textures.push_back(&m.texture);
    put(out, static_cast<uint32_t>(textures.size()));
    for (const Texture* t : textures) {
        put(out, t->width);
        put(out, t->height);
        put(out, t->channels);
        putArray(out, t->texels.get(), static_cast<uint64_t>(t->width) * t->height * t->channels);
    }
    put(out, static_cast<uint32_t>(materials.size()));
    for (const ModelMaterial& m : materials) {
        putColor(out, m.diffuse);
        putColor(out, m.specular);
        put(out, m.shininess);
        put(out, m.texture.texels ? sent[m.texture.texels.get()] : int32_t{-1});
    }
}

}  // namespace

bool sendModel(int fd, const ModelReport& report, const ModelGeometry& geometry)
{
    Sender out{fd, {}, false};
    putReport(out, report);
    if (report.failure == ModelFailure::none) {
        putMaterials(out, geometry.materials);
        put(out, static_cast<uint32_t>(geometry.meshes.size()));
        for (const ModelMesh& mesh : geometry.meshes) {
            put(out, mesh.material);
            putArray(out, mesh.positions.data(), mesh.positions.size());
            putArray(out, mesh.normals.data(), mesh.normals.size());
            putArray(out, mesh.texCoords.data(), mesh.texCoords.size());
            putArray(out, mesh.faceSizes.data(), mesh.faceSizes.size());
            putArray(out, mesh.indices.data(), mesh.indices.size());
        }
        put(out, static_cast<uint32_t>(geometry.lights.size()));
        for (const Light& light : geometry.lights) {
            for (float v : {light.position.x, light.position.y, light.position.z}) put(out, v);
            putColor(out, light.color);
        }
    }
    put(out, kTransferEnd);
    flush(out);
    return !out.broken;
}
