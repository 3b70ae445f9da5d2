#include "fixed_function/fixed_material.h"

namespace {

Color times(const Color& a, const Color& b) { return {a.r * b.r, a.g * b.g, a.b * b.b, a.a * b.a}; }

}  // namespace

std::vector<FixedMaterial> primitiveMaterials(const Scene& scene)
{
    std::vector<FixedMaterial> materials;
    FixedMaterial state;
    for (const Primitive& primitive : scene.primitives) {
        state.separateSpecular = primitive.textureRole == TextureRole::surfaceColour;
        // A model's texture is its own colour: the ambient light reaches it unscaled.
        state.ambient = state.separateSpecular ? Color(1, 1, 1, 1) : primitive.diffuse;
        state.diffuse = primitive.diffuse;
        if (primitive.shininess >= 0 && primitive.shininess <= 128)
            state.shininess = static_cast<float>(primitive.shininess);
        state.specular = primitive.specular;
        materials.push_back(state);
    }
    return materials;
}

FixedMaterial afterHole(FixedMaterial material)
{
    material.diffuse = Color(0, 0, 0, 1);
    return material;
}

LightProducts lightProducts(const LightTable& lights, const FixedMaterial& material)
{
    LightProducts products;
    const Color& a = lights.sceneAmbient;
    const Color& m = material.ambient;
    products.sceneColour = Color(a.r * m.r, a.g * m.g, a.b * m.b, material.diffuse.a);
    for (const EyeLight& light : lights.lights) {
        products.diffuse.push_back(times(light.diffuse, material.diffuse));
        products.specular.push_back(times(light.specular, material.specular));
    }
    return products;
}
