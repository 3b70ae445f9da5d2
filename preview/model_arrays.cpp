#include "preview/model_arrays.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <type_traits>
#include <vector>

namespace {

// Position, normal, texture coordinates: eight floats a vertex.
constexpr GLsizei kStride = 8 * sizeof(GLfloat);
constexpr size_t kChunkVertices = 1 << 16;
// The draw lists are kept as int, which is what the multi-draw reads them as.
static_assert(std::is_same<GLint, int>::value && std::is_same<GLsizei, int>::value, "GLint and GLsizei are int");

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
    ModelArrayRun& run = draws.runs.back();
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
void upload(const Scene& scene, const std::vector<PrimitiveDraws>& draws)
{
    std::vector<GLfloat> chunk(8 * kChunkVertices, 0.0f);
    GLintptr at = 0;
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

void build(const Scene& scene, ModelArrays& arrays)
{
    const size_t vertices = planDraws(scene, arrays.primitives);
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices * kStride), nullptr, GL_STATIC_DRAW);
    upload(scene, arrays.primitives);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    arrays.buffer = buffer;
    arrays.built = true;
}

void drawRuns(const PrimitiveDraws& draws)
{
    for (const ModelArrayRun& run : draws.runs) {
        if (run.triangles)
            glDrawArrays(GL_TRIANGLES, run.first, run.count);
        else
            glMultiDrawArrays(GL_POLYGON, &draws.firsts[run.polygonsFrom], &draws.counts[run.polygonsFrom], run.count);
    }
}

}  // namespace

bool readyModelArrays(const Scene& scene, ModelArrays& arrays)
{
    // Flat shading takes a triangle's last vertex's colour, a polygon's first: immediate mode keeps it.
    if (scene.flatShading) return false;
    if (!arrays.built) build(scene, arrays);
    return true;
}

void forgetModelArrays(ModelArrays& arrays)
{
    if (arrays.buffer != 0) {
        const GLuint buffer = arrays.buffer;
        glDeleteBuffers(1, &buffer);
    }
    arrays = ModelArrays{};
}

bool drawModelArrays(const ModelArrays& arrays, size_t index, bool textured)
{
    if (index >= arrays.primitives.size() || !arrays.primitives[index].drawable) return false;
    glBindBuffer(GL_ARRAY_BUFFER, arrays.buffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    // Untextured, the coordinates are never read; fetching them would only slow the vertices.
    if (textured) glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    const auto offset = [](size_t floats) { return reinterpret_cast<const void*>(floats * sizeof(GLfloat)); };
    glVertexPointer(3, GL_FLOAT, kStride, offset(0));
    glNormalPointer(GL_FLOAT, kStride, offset(3));
    glTexCoordPointer(2, GL_FLOAT, kStride, offset(6));
    drawRuns(arrays.primitives[index]);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return true;
}
