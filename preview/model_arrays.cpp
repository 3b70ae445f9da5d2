#include "preview/model_arrays.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// Position, normal, texture coordinates: eight floats a vertex. The buffer's first vertex-sized
// slot holds the build's generation, so a buffer another context or build left is never taken.
constexpr GLsizei kStride = 8 * sizeof(GLfloat);
constexpr size_t kChunkVertices = 1 << 16;

// Consecutive triangles go in one draw; other polygons in one multi-draw of GL_POLYGON each,
// as immediate mode draws them. Runs keep the polygons' order, which decides ties in depth.
struct Run {
    bool triangles = true;
    GLint first = 0;          // triangles: the first vertex
    GLsizei count = 0;        // triangles: vertices; polygons: polygons
    size_t polygonsFrom = 0;  // polygons: where its firsts and counts start
};

struct PrimitiveDraws {
    bool drawable = true;
    std::vector<Run> runs;
    std::vector<GLint> firsts;
    std::vector<GLsizei> counts;
};

struct ModelArrays {
    uint64_t generation = 0;
    GLuint buffer = 0;
    GLsizeiptr bytes = 0;
    std::vector<PrimitiveDraws> primitives;
};

ModelArrays cache;

bool hasHole(const Polygon& polygon)
{
    for (size_t j = 1; j < polygon.size(); ++j)
        if (polygon[j].previous != static_cast<int32_t>(j) - 1) return true;
    return false;
}

void addPolygon(PrimitiveDraws& draws, GLint first, GLsizei size)
{
    const bool triangle = size == 3;
    if (draws.runs.empty() || draws.runs.back().triangles != triangle)
        draws.runs.push_back({triangle, first, 0, draws.firsts.size()});
    Run& run = draws.runs.back();
    if (triangle) {
        run.count += 3;
        return;
    }
    run.count += 1;
    draws.firsts.push_back(first);
    draws.counts.push_back(size);
}

// The draws of every primitive, and the vertex count of the drawable ones.
size_t planDraws(const Scene& scene, std::vector<PrimitiveDraws>& all)
{
    all.assign(scene.primitives.size(), {});
    size_t vertices = 0;
    for (size_t k = 0; k < scene.primitives.size(); ++k) {
        const std::vector<Polygon>& polygons = scene.primitives[k].polygons;
        all[k].drawable = std::none_of(polygons.begin(), polygons.end(), hasHole);
        if (!all[k].drawable) continue;
        for (const Polygon& polygon : polygons) {
            addPolygon(all[k], static_cast<GLint>(vertices), static_cast<GLsizei>(polygon.size()));
            vertices += polygon.size();
        }
    }
    return vertices;
}

// Fills the bound buffer, a chunk at a time, so no second copy of the whole model is held.
void upload(const Scene& scene, const std::vector<PrimitiveDraws>& draws, uint64_t generation)
{
    std::vector<GLfloat> chunk(8 * kChunkVertices, 0.0f);
    GLintptr at = 0;
    static_assert(sizeof generation <= kStride, "the generation fits the first slot");
    glBufferSubData(GL_ARRAY_BUFFER, at, sizeof generation, &generation);
    at += kStride;
    size_t filled = 0;
    const auto flush = [&] {
        glBufferSubData(GL_ARRAY_BUFFER, at, static_cast<GLsizeiptr>(filled * kStride), chunk.data());
        at += static_cast<GLintptr>(filled * kStride);
        filled = 0;
    };
    for (size_t k = 0; k < scene.primitives.size(); ++k) {
        if (!draws[k].drawable) continue;
        for (const Polygon& polygon : scene.primitives[k].polygons)
            for (const Vertex& v : polygon) {
                GLfloat* out = &chunk[8 * filled];
                const GLfloat values[8] = {v.position.x, v.position.y, v.position.z, v.normal.x,
                                           v.normal.y,   v.normal.z,   v.s,          v.t};
                std::copy(values, values + 8, out);
                if (++filled == kChunkVertices) flush();
            }
    }
    flush();
}

bool cacheCurrent(const Scene& scene)
{
    if (cache.generation != scene.modelGeneration || !glIsBuffer(cache.buffer)) return false;
    glBindBuffer(GL_ARRAY_BUFFER, cache.buffer);
    GLint bytes = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
    uint64_t stamp = 0;
    if (bytes == cache.bytes) glGetBufferSubData(GL_ARRAY_BUFFER, 0, sizeof stamp, &stamp);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return stamp == scene.modelGeneration;
}

void rebuild(const Scene& scene)
{
    if (cache.buffer != 0 && glIsBuffer(cache.buffer)) glDeleteBuffers(1, &cache.buffer);
    const size_t vertices = planDraws(scene, cache.primitives);
    cache.bytes = static_cast<GLsizeiptr>((vertices + 1) * kStride);
    glGenBuffers(1, &cache.buffer);
    glBindBuffer(GL_ARRAY_BUFFER, cache.buffer);
    glBufferData(GL_ARRAY_BUFFER, cache.bytes, nullptr, GL_STATIC_DRAW);
    upload(scene, cache.primitives, scene.modelGeneration);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    cache.generation = scene.modelGeneration;
}

void drawRuns(const PrimitiveDraws& draws)
{
    for (const Run& run : draws.runs) {
        if (run.triangles)
            glDrawArrays(GL_TRIANGLES, run.first, run.count);
        else
            glMultiDrawArrays(GL_POLYGON, &draws.firsts[run.polygonsFrom], &draws.counts[run.polygonsFrom], run.count);
    }
}

}  // namespace

bool readyModelArrays(const Scene& scene)
{
    // Flat shading takes a triangle's last vertex's colour, a polygon's first: immediate mode keeps it.
    if (scene.modelGeneration == 0 || scene.flatShading) return false;
    if (!cacheCurrent(scene)) rebuild(scene);
    return true;
}

bool drawModelArrays(size_t index, bool textured)
{
    if (index >= cache.primitives.size() || !cache.primitives[index].drawable) return false;
    glBindBuffer(GL_ARRAY_BUFFER, cache.buffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    // Untextured, the coordinates are never read; fetching them would only slow the vertices.
    if (textured) glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    const auto offset = [](size_t floats) { return reinterpret_cast<const void*>(kStride + floats * sizeof(GLfloat)); };
    glVertexPointer(3, GL_FLOAT, kStride, offset(0));
    glNormalPointer(GL_FLOAT, kStride, offset(3));
    glTexCoordPointer(2, GL_FLOAT, kStride, offset(6));
    drawRuns(cache.primitives[index]);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return true;
}
