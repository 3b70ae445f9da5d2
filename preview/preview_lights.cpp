#include "preview/preview_lights.h"

#include <GL/gl.h>

#include <algorithm>

void loadLighting(const Scene& scene)
{
    if (scene.lightingEnabled)
        glEnable(GL_LIGHTING);
    else
        glDisable(GL_LIGHTING);
    const Color& a = scene.ambient;
    const GLfloat ambient[4] = {a.r, a.g, a.b, a.a};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);

    // Lights past the implementation's units are left out rather than raising an error each frame.
    GLint unitCount = 0;
    glGetIntegerv(GL_MAX_LIGHTS, &unitCount);
    const size_t used = std::min(scene.lights.size(), static_cast<size_t>(std::max(unitCount, 0)));
    for (size_t i = 0; i < used; ++i) {
        const Light& light = scene.lights[i];
        const GLenum unit = GL_LIGHT0 + static_cast<GLenum>(i);
        // w = 0: a directional light shining from the direction of its position.
        const GLfloat position[4] = {light.position.x, light.position.y, light.position.z, 0.0f};
        const GLfloat color[4] = {light.color.r, light.color.g, light.color.b, light.color.a};
        glLightfv(unit, GL_POSITION, position);
        glLightfv(unit, GL_DIFFUSE, color);
        glLightfv(unit, GL_SPECULAR, color);
        glEnable(unit);
    }
    // Units a previous scene with more lights enabled would otherwise keep shining into this one.
    for (size_t i = used; i < static_cast<size_t>(std::max(unitCount, 0)); ++i)
        glDisable(GL_LIGHT0 + static_cast<GLenum>(i));
}
