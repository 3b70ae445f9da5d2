#include "preview/render_with_opengl.h"

#include <GL/gl.h>

#include "preview/gl_errors.h"
#include "preview/model_arrays.h"
#include "preview/preview_lights.h"
#include "preview/preview_polygons.h"
#include "preview/preview_textures.h"

namespace {

// Leaves the matrix mode at GL_PROJECTION. Positions are already in world coordinates, so the
// view matrix alone goes on the model-view stack.
void loadCamera(const Scene& scene)
{
    GLfloat view[16];
    GLfloat projection[16];
    scene.viewStack.toColumnMajor(view);
    scene.projectionStack.toColumnMajor(projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(view);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(projection);
}

void loadFrontMaterial(const Primitive& primitive)
{
    const Color& d = primitive.diffuse;
    const Color& s = primitive.specular;
    const GLfloat diffuse[4] = {d.r, d.g, d.b, d.a};
    const GLfloat specular[4] = {s.r, s.g, s.b, s.a};
    const bool surfaceColour = primitive.textureRole == TextureRole::surfaceColour;
    if (surfaceColour) {
        // As the software renderer lights a model: texture × (ambient light + the lights' diffuse
        // terms) + their specular terms, the ambient light unscaled by the diffuse colour and the
        // highlight added after texturing.
        static const GLfloat kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        glMaterialfv(GL_FRONT, GL_AMBIENT, kWhite);
        glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    } else {
        glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, diffuse);
    }
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, surfaceColour ? GL_SEPARATE_SPECULAR_COLOR : GL_SINGLE_COLOR);
    glMateriali(GL_FRONT, GL_SHININESS, primitive.shininess);
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
}

void drawPrimitive(const Primitive& primitive, unsigned index, bool mipmapping, const ModelArrays* arrays)
{
    // Unlit polygons take the current colour, which a hole drawn earlier (in this frame or an
    // earlier one) left black.
    glColor3f(1.0f, 1.0f, 1.0f);
    loadFrontMaterial(primitive);
    setUpPrimitiveTexture(primitive, index, mipmapping);
    const bool textured = primitive.texture || primitive.environmentMap;
    if (!arrays || !drawModelArrays(*arrays, index, textured))
        for (const Polygon& polygon : primitive.polygons) drawPreviewPolygon(polygon);
    tearDownPrimitiveTexture(primitive);
}

}  // namespace

void renderWithOpenGL(const Scene& scene, int, int, ModelArrays* modelArrays)
{
    // Before anything is drawn, so the errors of the previous frame are reported too.
    reportPendingGlErrors();
    glEnable(GL_DEPTH_TEST);
    glShadeModel(scene.flatShading ? GL_FLAT : GL_SMOOTH);
    loadCamera(scene);
    loadLighting(scene);
    const ModelArrays* arrays = modelArrays && readyModelArrays(scene, *modelArrays) ? modelArrays : nullptr;
    for (size_t k = 0; k < scene.primitives.size(); ++k)
        drawPrimitive(scene.primitives[k], static_cast<unsigned>(k), scene.mipmapping, arrays);
    glFlush();
    // The software renderer's points are drawn in this context too, and would be depth-tested
    // and lit otherwise.
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
}
