#include "preview/preview_textures.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace {

struct ImageSource {
    GLsizei width;
    GLsizei height;
    GLenum format;
    const float* texels;
};

// Colour images hold three floats per texel. An image with another channel count is described
// as what it holds, so OpenGL never reads past the end of its texels (a one-channel height field
// shows as grey); an unusable count uploads an empty image, which leaves the primitive untextured.
ImageSource describe(const Texture& image)
{
    switch (image.channels) {
    case 1: return {image.width, image.height, GL_LUMINANCE, image.texels.get()};
    case 2: return {image.width, image.height, GL_LUMINANCE_ALPHA, image.texels.get()};
    case 3: return {image.width, image.height, GL_RGB, image.texels.get()};
    case 4: return {image.width, image.height, GL_RGBA, image.texels.get()};
    default: return {0, 0, GL_RGB, nullptr};
    }
}

void uploadLevelZero(const Texture& image)
{
    const ImageSource source = describe(image);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, source.width, source.height, 0, source.format, GL_FLOAT, source.texels);
}

void buildMipmaps(const Texture& image)
{
    const ImageSource source = describe(image);
    if (source.texels == nullptr) {
        uploadLevelZero(image);
        return;
    }
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB, source.width, source.height, source.format, GL_FLOAT, source.texels);
}

void bindForUpload(unsigned name)
{
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, name);
    // Rows of three floats are never padded.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
}

void setFilters(GLint magnification, GLint minification)
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magnification);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minification);
}

void clampToEdge()
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
}

void modulate() { glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE); }

void setUpSphereMap(const Texture& image, unsigned name)
{
    bindForUpload(name);
    uploadLevelZero(image);
    clampToEdge();
    setFilters(GL_LINEAR, GL_LINEAR);
    modulate();
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
}

void setUpColorTexture(const Texture& image, unsigned name, bool mipmapping)
{
    bindForUpload(name);
    if (mipmapping) {
        buildMipmaps(image);
        setFilters(GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR);
    } else {
        uploadLevelZero(image);
        setFilters(GL_NEAREST, GL_NEAREST);
    }
    clampToEdge();
    modulate();
}

}  // namespace

void setUpPrimitiveTexture(const Primitive& primitive, unsigned name, bool mipmapping)
{
    if (primitive.environmentMap) {
        setUpSphereMap(*primitive.environmentMap, name);
    } else if (primitive.texture) {
        setUpColorTexture(*primitive.texture, name, mipmapping);
    } else {
        glDisable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
}

void tearDownPrimitiveTexture(const Primitive& primitive)
{
    if (primitive.environmentMap) {
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
    }
    glDisable(GL_TEXTURE_2D);
}
