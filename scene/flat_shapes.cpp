#include "scene/shape_generators.h"

namespace {

void vertex(Scene& scene, double x, double y, double z)
{
    scene.addVertex(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

}  // namespace

void addRectangle(Scene& scene, double width, double height)
{
    const double x = width / 2;
    const double y = height / 2;
    scene.beginPrimitive();
    scene.beginPolygon();
    scene.setNormal(0, 0, 1);
    scene.setTexCoord(0, 0);
    vertex(scene, -x, -y, 0);
    scene.setTexCoord(1, 0);
    vertex(scene, x, -y, 0);
    scene.setTexCoord(1, 1);
    vertex(scene, x, y, 0);
    scene.setTexCoord(0, 1);
    vertex(scene, -x, y, 0);
}

void addBox(Scene& scene, double sizeX, double sizeY, double sizeZ)
{
    const double x0 = -sizeX / 2, x1 = sizeX / 2;
    const double y0 = -sizeY / 2, y1 = sizeY / 2;
    const double z0 = -sizeZ / 2, z1 = sizeZ / 2;
    struct Face {
        float nx, ny, nz;
        double corners[4][3];
    };
    // Every face runs counter-clockwise seen from outside; its four vertices share its normal.
    const Face faces[6] = {
        {-1, 0, 0, {{x0, y1, z0}, {x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}}},
        {0, -1, 0, {{x0, y0, z1}, {x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}}},
        {0, 0, -1, {{x1, y0, z0}, {x0, y0, z0}, {x0, y1, z0}, {x1, y1, z0}}},
        {1, 0, 0, {{x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1}, {x1, y0, z1}}},
        {0, 1, 0, {{x0, y1, z0}, {x0, y1, z1}, {x1, y1, z1}, {x1, y1, z0}}},
        {0, 0, 1, {{x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}}},
    };
    scene.beginPrimitive();
    for (const Face& face : faces) {
        scene.beginPolygon();
        scene.setNormal(face.nx, face.ny, face.nz);
        for (const auto& c : face.corners) vertex(scene, c[0], c[1], c[2]);
    }
}
