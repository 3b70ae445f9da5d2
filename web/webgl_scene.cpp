#include "web/webgl_scene.h"

#include <cstddef>

#include "fixed_function/texture_levels.h"
#include "web/webgl_shaders.h"

namespace {

void uploadVertices(WebGlScene& uploaded, const std::vector<FanVertex>& vertices)
{
    glGenVertexArrays(1, &uploaded.vertexArray);
    glBindVertexArray(uploaded.vertexArray);
    glGenBuffers(1, &uploaded.buffer);
    glBindBuffer(GL_ARRAY_BUFFER, uploaded.buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(FanVertex)), vertices.data(),
                 GL_STATIC_DRAW);
    const auto field = [](GLuint attribute, GLint size, size_t offset) {
        glEnableVertexAttribArray(attribute);
        glVertexAttribPointer(attribute, size, GL_FLOAT, GL_FALSE, sizeof(FanVertex),
                              reinterpret_cast<const void*>(offset));
    };
    field(kPosition, 3, offsetof(FanVertex, position));
    field(kNormal, 3, offsetof(FanVertex, normal));
    field(kTexCoord, 2, offsetof(FanVertex, texCoord));
    field(kLitPosition, 3, offsetof(FanVertex, litPosition));
    field(kLitNormal, 3, offsetof(FanVertex, litNormal));
    glBindVertexArray(0);
}

// The shader picks the levels and takes out what clamping to the edge adds where GL_CLAMP
// blends with the black border; the sampler filters within one level.
WebGlTexture uploadTexture(const Texture& image, TextureUse use)
{
    const std::vector<ByteLevel> levels =
        use == TextureUse::mipLinear ? boxFilterChain(image) : std::vector<ByteLevel>{storedLevel(image)};
    WebGlTexture out{0, use, static_cast<int>(levels.size()) - 1};
    if (levels.empty() || levels[0].rgb.empty()) return WebGlTexture{};
    glGenTextures(1, &out.name);
    glBindTexture(GL_TEXTURE_2D, out.name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (size_t k = 0; k < levels.size(); ++k)
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(k), GL_RGB8, levels[k].width, levels[k].height, 0, GL_RGB,
                     GL_UNSIGNED_BYTE, levels[k].rgb.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, out.lastLevel);
    const bool nearest = use == TextureUse::nearest;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    nearest ? GL_NEAREST : out.lastLevel > 0 ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, nearest ? GL_NEAREST : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
    return out;
}

}  // namespace

void releaseWebGlScene(WebGlScene& uploaded)
{
    for (const WebGlTexture& texture : uploaded.textures)
        if (texture.name) glDeleteTextures(1, &texture.name);
    if (uploaded.buffer) glDeleteBuffers(1, &uploaded.buffer);
    if (uploaded.vertexArray) glDeleteVertexArrays(1, &uploaded.vertexArray);
    uploaded = WebGlScene{};
}

void uploadWebGlScene(WebGlScene& uploaded, const Scene& scene)
{
    releaseWebGlScene(uploaded);
    const FanTriangles fans = polygonFans(scene);
    uploadVertices(uploaded, fans.vertices);
    uploaded.batches = fans.batches;
    uploaded.materials = primitiveMaterials(scene);
    for (const Primitive& primitive : scene.primitives) {
        const TextureUse use = textureUse(primitive, scene.mipmapping);
        const Texture* image = usedImage(primitive);
        uploaded.textures.push_back(image ? uploadTexture(*image, use) : WebGlTexture{});
    }
    uploaded.mipmapping = scene.mipmapping;
    uploaded.built = true;
}
