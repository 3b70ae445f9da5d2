#include "preview/preview_polygons.h"

#include <GL/gl.h>

namespace {

void startHole()
{
    static const GLfloat kBlack[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glEnd();
    glColor3i(0, 0, 0);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, kBlack);
    // The hole lies in the outline's plane; pulling it towards the viewer lets it pass the depth
    // test against the outline already drawn there.
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(0.0f, -100.0f);
    glBegin(GL_POLYGON);
}

}  // namespace

void drawPreviewPolygon(const Polygon& polygon)
{
    glBegin(GL_POLYGON);
    for (size_t j = 0; j < polygon.size(); ++j) {
        const Vertex& v = polygon[j];
        // A contour's first vertex names the contour's last one, never its own predecessor.
        if (j > 0 && v.previous != static_cast<int32_t>(j) - 1) startHole();
        const GLfloat normal[3] = {v.normal.x, v.normal.y, v.normal.z};
        const GLfloat position[3] = {v.position.x, v.position.y, v.position.z};
        glTexCoord2f(v.s, v.t);
        glNormal3fv(normal);
        glVertex3fv(position);
    }
    glEnd();
    glDisable(GL_POLYGON_OFFSET_FILL);
}
