#include <gtest/gtest.h>

#include "fixed_function/eye_lights.h"
#include "fixed_function/fixed_material.h"
#include "fixed_function/frame_matrices.h"
#include "fixed_function/texture_use.h"
#include "math/camera.h"

namespace {

Scene aimedScene(const CameraPose& pose)
{
    Scene scene;
    setupCamera(scene.projectionStack, scene.viewStack, pose, 480, 360);
    return scene;
}

}  // namespace

TEST(EyeLights, DirectionsAreViewRotatedUnitVectorsAndExtraLightsAreSkipped)
{
    Scene scene = aimedScene(CameraPose{-100, 30, 2, 10, -5});
    scene.lightingEnabled = true;
    scene.setAmbient(Color(0.25f, 0.3f, 0.35f, 1));
    for (int i = 0; i < 10; ++i) scene.addLight(100.0f + i, 0, 30, Color(0.1f * i, 0.5f, 0.5f, 1));
    const LightTable table = eyeSpaceLights(scene);
    ASSERT_EQ(table.lights.size(), 8u);
    EXPECT_TRUE(table.lighting);
    EXPECT_FLOAT_EQ(table.sceneAmbient.g, 0.3f);
    const Mat4& view = scene.viewStack.current;
    for (size_t i = 0; i < table.lights.size(); ++i) {
        const Vec3 p = scene.lights[i].position;
        const Vec3 d = table.lights[i].direction;
        EXPECT_NEAR(dot(d, d), 1.0f, 1e-6f);
        // Parallel to the rotated position: the translation of the view never reaches a direction.
        const Vec3 rotated(view(0, 0) * p.x + view(0, 1) * p.y + view(0, 2) * p.z,
                           view(1, 0) * p.x + view(1, 1) * p.y + view(1, 2) * p.z,
                           view(2, 0) * p.x + view(2, 1) * p.y + view(2, 2) * p.z);
        const Vec3 across = cross(d, rotated);
        EXPECT_NEAR(dot(across, across), 0.0f, 1e-6f * dot(rotated, rotated));
        EXPECT_GT(dot(d, rotated), 0.0f);
        EXPECT_FLOAT_EQ(table.lights[i].diffuse.r, scene.lights[i].color.r);
        EXPECT_FLOAT_EQ(table.lights[i].specular.r, scene.lights[i].color.r);
    }
    EXPECT_EQ(eyeSpaceLights(scene, 2).lights.size(), 2u);
}

TEST(FixedMaterial, AmbientSeparateSpecularRefusedShininessHolesAndProducts)
{
    Scene scene;
    scene.setMaterial(Color(0.5f, 0.25f, 1, 1), Color(1.5f, 1.5f, 1.5f, 1), 30);
    scene.beginPrimitive();
    scene.setMaterial(Color(0.2f, 0.4f, 0.6f, 1), Color(0, 0, 1, 1), 200);
    scene.beginPrimitive();
    scene.primitives.back().textureRole = TextureRole::surfaceColour;
    const std::vector<FixedMaterial> materials = primitiveMaterials(scene);
    ASSERT_EQ(materials.size(), 2u);
    // GL_AMBIENT_AND_DIFFUSE for the scenes' primitives, single colour.
    EXPECT_FLOAT_EQ(materials[0].ambient.g, 0.25f);
    EXPECT_FALSE(materials[0].separateSpecular);
    EXPECT_FLOAT_EQ(materials[0].shininess, 30.0f);
    // A model's: white ambient, separate specular; 200 is refused, 30 stays.
    EXPECT_FLOAT_EQ(materials[1].ambient.g, 1.0f);
    EXPECT_FLOAT_EQ(materials[1].diffuse.g, 0.4f);
    EXPECT_TRUE(materials[1].separateSpecular);
    EXPECT_FLOAT_EQ(materials[1].shininess, 30.0f);

    const FixedMaterial hole = afterHole(materials[0]);
    EXPECT_FLOAT_EQ(hole.diffuse.r + hole.diffuse.g + hole.diffuse.b, 0.0f);
    EXPECT_FLOAT_EQ(hole.ambient.g, 0.25f);

    LightTable lights;
    lights.sceneAmbient = Color(0.2f, 0.2f, 0.2f, 1);
    lights.lights.push_back({Vec3(0, 0, 1), Color(0.8f, 0.8f, 0.8f, 1), Color(0.5f, 0.5f, 0.5f, 1)});
    const LightProducts products = lightProducts(lights, materials[0]);
    EXPECT_FLOAT_EQ(products.sceneColour.r, 0.2f * 0.5f);
    ASSERT_EQ(products.diffuse.size(), 1u);
    EXPECT_FLOAT_EQ(products.diffuse[0].b, 0.8f);
    EXPECT_FLOAT_EQ(products.specular[0].r, 0.75f);  // unclamped, brighter than the light
    EXPECT_FLOAT_EQ(lightProducts(lights, hole).diffuse[0].g, 0.0f);
}

TEST(FrameMatrices, ProductNormalMatrixAndTextureChoice)
{
    const Scene scene = aimedScene(CameraPose{-134, 9, 3.8f, -78, -89});
    const FrameMatrices m = frameMatrices(scene);
    const Vec4 point(0.3f, -0.7f, 0.2f, 1);
    const Vec4 expected = scene.projectionStack.current * (scene.viewStack.current * point);
    const float in[4] = {point.x, point.y, point.z, point.w};
    const float want[4] = {expected.x, expected.y, expected.z, expected.w};
    for (int row = 0; row < 4; ++row) {
        float got = 0;
        for (int k = 0; k < 4; ++k) got += m.modelViewProjection[k * 4 + row] * in[k];
        EXPECT_NEAR(got, want[row], 1e-5f);
        EXPECT_FLOAT_EQ(m.modelView[3 * 4 + row], scene.viewStack.current(row, 3));
    }
    // The view only rotates and translates, so the normal matrix is its rotation.
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 3; ++row)
            EXPECT_NEAR(m.normal[column * 3 + row], scene.viewStack.current(row, column), 1e-6f);

    Primitive both;
    const Texture image(4, 4, 3);
    both.texture = &image;
    EXPECT_EQ(textureUse(both, true), TextureUse::mipLinear);
    EXPECT_EQ(textureUse(both, false), TextureUse::nearest);
    const Texture sphere(8, 8, 3);
    both.environmentMap = &sphere;
    EXPECT_EQ(textureUse(both, false), TextureUse::sphereMap);
    EXPECT_EQ(usedImage(both), &sphere);
    EXPECT_EQ(textureUse(Primitive{}, true), TextureUse::none);
}
