#include "scene/scene.h"

#include <cerrno>  // program_invocation_short_name
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void orderViolation(const char* call, const char* needs)
{
    std::fprintf(stderr, "%s: Scene::%s called without %s\n", program_invocation_short_name, call, needs);
    std::abort();
}

}  // namespace

void Scene::clear()
{
    lightingEnabled = false;
    flatShading = false;
    useOpenGL = true;
    mipmapping = true;
    primitives.clear();
    lights.clear();
    currentNormal = Vec3(0, 0, 1);
    currentDiffuse = Color(1, 1, 1, 1);
    currentSpecular = Color(0, 0, 0, 1);
    currentS = 0.0f;
    currentT = 0.0f;
    currentShininess = 0;
    contourStart = 0;
    currentTexture = nullptr;
    currentBumpMap = nullptr;
    currentEnvironmentMap = nullptr;
    ownedTextures_.clear();
}

void Scene::setMaterial(const Color& diffuse, const Color& specular, int32_t shininess)
{
    currentDiffuse = diffuse;
    currentSpecular = specular;
    currentShininess = shininess;
}

void Scene::setNormal(float x, float y, float z)
{
    currentNormal = Vec3(x, y, z);
    currentNormal.normalize();
}

void Scene::setTextures(const Texture* texture, const Texture* bumpMap, const Texture* environmentMap)
{
    currentTexture = texture;
    currentBumpMap = bumpMap;
    currentEnvironmentMap = environmentMap;
}

void Scene::beginPrimitive()
{
    Primitive p;
    p.diffuse = currentDiffuse;
    p.specular = currentSpecular;
    p.shininess = currentShininess;
    p.texture = currentTexture;
    p.bumpMap = currentBumpMap;
    p.environmentMap = currentEnvironmentMap;
    primitives.push_back(std::move(p));
    contourStart = 0;
}

void Scene::beginPolygon()
{
    if (primitives.empty()) orderViolation("beginPolygon", "an open primitive (beginPrimitive)");
    primitives.back().polygons.emplace_back();
    contourStart = 0;
}

void Scene::beginContour()
{
    if (primitives.empty() || primitives.back().polygons.empty())
        orderViolation("beginContour", "an open polygon (beginPolygon)");
    contourStart = static_cast<int32_t>(primitives.back().polygons.back().size());
}

void Scene::addVertex(float x, float y, float z)
{
    if (primitives.empty() || primitives.back().polygons.empty())
        orderViolation("addVertex", "an open polygon (beginPolygon)");
    Polygon& polygon = primitives.back().polygons.back();
    const Vec4 p = modelStack.transform(Vec4(x, y, z, 1.0f));
    // The same matrix as the position, not its inverse transpose: the scenes use rigid motions only.
    const Vec4 n = modelStack.transform(Vec4(currentNormal.x, currentNormal.y, currentNormal.z, 0.0f));
    const auto count = static_cast<int32_t>(polygon.size());
    Vertex v;
    v.position = p;
    v.normal = Vec3(n.x, n.y, n.z);
    v.s = currentS;
    v.t = currentT;
    v.previous = count - 1;
    polygon.push_back(v);
    // The contour's first vertex always names the latest one, which closes the ring.
    polygon[static_cast<size_t>(contourStart)].previous = count;
}

const Texture* Scene::ownTexture(Texture texture)
{
    ownedTextures_.push_back(std::make_unique<Texture>(std::move(texture)));
    return ownedTextures_.back().get();
}
