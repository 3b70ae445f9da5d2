#include <gtest/gtest.h>

#include <cmath>

#include "scene/shape_generators.h"

namespace {

size_t vertexCount(const Primitive& p)
{
    size_t n = 0;
    for (const Polygon& polygon : p.polygons) n += polygon.size();
    return n;
}

void expectPosition(const Vertex& v, float x, float y, float z)
{
    EXPECT_EQ(v.position.x, x);
    EXPECT_EQ(v.position.y, y);
    EXPECT_EQ(v.position.z, z);
}

}  // namespace

TEST(Rectangle, CornersAndTextureCoordinatesInOrder)
{
    Scene scene;
    addRectangle(scene, 2, 4);
    ASSERT_EQ(scene.primitives.size(), 1u);
    ASSERT_EQ(scene.primitives[0].polygons.size(), 1u);
    const Polygon& quad = scene.primitives[0].polygons[0];
    ASSERT_EQ(quad.size(), 4u);
    const float expected[4][4] = {{-1, -2, 0, 0}, {1, -2, 1, 0}, {1, 2, 1, 1}, {-1, 2, 0, 1}};
    for (int i = 0; i < 4; ++i) {
        expectPosition(quad[i], expected[i][0], expected[i][1], 0);
        EXPECT_EQ(quad[i].s, expected[i][2]);
        EXPECT_EQ(quad[i].t, expected[i][3]);
        EXPECT_EQ(quad[i].normal.z, 1.0f);
    }
}

TEST(Box, SixOutwardFacesSpanningTheSizes)
{
    Scene scene;
    scene.setTexCoord(0.25f, 0.75f);
    addBox(scene, 0.5, 0.5, 1);
    const Primitive& box = scene.primitives.at(0);
    ASSERT_EQ(box.polygons.size(), 6u);
    EXPECT_EQ(vertexCount(box), 24u);
    for (const Polygon& face : box.polygons) {
        ASSERT_EQ(face.size(), 4u);
        for (const Vertex& v : face) {
            EXPECT_EQ(std::fabs(v.position.x), 0.25f);
            EXPECT_EQ(std::fabs(v.position.y), 0.25f);
            EXPECT_EQ(std::fabs(v.position.z), 0.5f);
            // The face's normal points to the side the face lies on.
            const float along = v.normal.x * v.position.x + v.normal.y * v.position.y + v.normal.z * v.position.z;
            EXPECT_GT(along, 0.0f);
            EXPECT_EQ(v.s, 0.25f);  // no coordinate of its own: the current one
            EXPECT_EQ(v.t, 0.75f);
        }
        // Counter-clockwise seen from outside: (v1 - v0) x (v2 - v1) points along the normal.
        const Vec3 a(face[0].position.x, face[0].position.y, face[0].position.z);
        const Vec3 b(face[1].position.x, face[1].position.y, face[1].position.z);
        const Vec3 c(face[2].position.x, face[2].position.y, face[2].position.z);
        EXPECT_GT(dot(cross(b - a, c - b), face[0].normal), 0.0f);
    }
}

TEST(Cylinder, SideQuadsAndCapsFollowTheSliceCount)
{
    Scene scene;
    addCylinder(scene, 0.25, 1, 12);
    const Primitive& twelve = scene.primitives.at(0);
    ASSERT_EQ(twelve.polygons.size(), 14u);
    for (int k = 0; k < 12; ++k) {
        const Polygon& side = twelve.polygons[k];
        ASSERT_EQ(side.size(), 4u);
        EXPECT_EQ(side[0].position.z, -0.5f);  // bottom, top, top, bottom
        EXPECT_EQ(side[1].position.z, 0.5f);
        EXPECT_EQ(side[2].position.z, 0.5f);
        EXPECT_EQ(side[3].position.z, -0.5f);
    }
    EXPECT_EQ(twelve.polygons[12].size(), 12u);
    EXPECT_EQ(twelve.polygons[12][0].normal.z, -1.0f);
    EXPECT_EQ(twelve.polygons[13][5].position.z, 0.5f);
    EXPECT_EQ(twelve.polygons[13][0].normal.z, 1.0f);

    // A fractional count still takes every whole k below it, with the fractional angle step.
    addCylinder(scene, 1, 2, 2.5);
    const Primitive& fractional = scene.primitives.at(1);
    ASSERT_EQ(fractional.polygons.size(), 5u);
    EXPECT_EQ(fractional.polygons[3].size(), 3u);
    const auto step = static_cast<float>(2 * 3.14159 / 2.5);
    EXPECT_EQ(fractional.polygons[1][0].position.x, static_cast<float>(std::cos(static_cast<double>(step))));

    for (double slices : {0.0, -3.0}) {
        addCylinder(scene, 1, 1, slices);
        const Primitive& empty = scene.primitives.back();
        ASSERT_EQ(empty.polygons.size(), 2u);
        EXPECT_TRUE(empty.polygons[0].empty());
        EXPECT_TRUE(empty.polygons[1].empty());
    }
    EXPECT_EQ(scene.primitives.size(), 4u);
}

TEST(SphereOctant, VerticesOnTheSphereWithRadialNormals)
{
    Scene scene;
    addSphereOctant(scene, 0.5, 12);
    const Primitive& octant = scene.primitives.at(0);
    ASSERT_EQ(octant.polygons.size(), 144u);
    for (const Polygon& quad : octant.polygons) {
        ASSERT_EQ(quad.size(), 4u);
        for (const Vertex& v : quad) {
            const Vec3 p(v.position.x, v.position.y, v.position.z);
            EXPECT_NEAR(p.length(), 0.5f, 1e-6f);
            EXPECT_GE(p.x, 0.0f);
            EXPECT_GE(p.y, 0.0f);
            EXPECT_GE(p.z, 0.0f);
            EXPECT_NEAR(v.normal.x, p.x / 0.5f, 1e-6f);
            EXPECT_NEAR(v.normal.y, p.y / 0.5f, 1e-6f);
            EXPECT_NEAR(v.normal.z, p.z / 0.5f, 1e-6f);
        }
    }
    // The first row's quads start with two vertices at the pole.
    expectPosition(octant.polygons[0][0], 0, 0, 0.5f);
    expectPosition(octant.polygons[0][1], 0, 0, 0.5f);
}

TEST(Torus, CountsTextureCoordinatesAndEmptyCases)
{
    Scene scene;
    addTorus(scene, 48, 48);
    const Primitive& torus = scene.primitives.at(0);
    ASSERT_EQ(torus.polygons.size(), 2304u);
    const Polygon& quad = torus.polygons[1];  // i = 0, j = 1
    const float u[4] = {0, 0, 1.0f / 48, 1.0f / 48};
    const float v[4] = {1.0f / 48, 2.0f / 48, 2.0f / 48, 1.0f / 48};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(quad[k].s, u[k]);
        EXPECT_EQ(quad[k].t, v[k]);
    }
    for (int32_t major : {0, -1, 5})
        for (int32_t minor : {0, -4}) {
            addTorus(scene, major, minor);
            addTorus(scene, minor, major);
            EXPECT_TRUE(scene.primitives.back().polygons.empty());
            EXPECT_TRUE(scene.primitives[scene.primitives.size() - 2].polygons.empty());
        }
    EXPECT_EQ(scene.primitives.size(), 13u);

    // On the outer equator in the +y direction.
    scene.beginPrimitive();
    scene.beginPolygon();
    addTorusPoint(scene, 0, 0.25f);
    const Vertex& p = scene.primitives.back().polygons[0][0];
    EXPECT_NEAR(p.position.x, 0.0f, 1e-6f);
    EXPECT_NEAR(p.position.y, 1.0f, 1e-6f);
    EXPECT_NEAR(p.position.z, 0.0f, 1e-5f);
    EXPECT_NEAR(p.normal.y, 1.0f, 1e-6f);
}

TEST(LetterA, OutlineAndHoleAsTwoRings)
{
    Scene scene;
    addLetterA(scene);
    const Primitive& letter = scene.primitives.at(0);
    ASSERT_EQ(letter.polygons.size(), 1u);
    const Polygon& a = letter.polygons[0];
    ASSERT_EQ(a.size(), 11u);
    const int32_t links[11] = {7, 0, 1, 2, 3, 4, 5, 6, 10, 8, 9};
    const float about[11][2] = {{-0.063851f, 1},    {0.063851f, 1},     {0.427821f, 0},    {0.300119f, 0},
                                {0.139972f, 0.44f}, {-0.139972f, 0.44f}, {-0.300119f, 0},   {-0.427821f, 0},
                                {0, 0.824572f},     {0.096296f, 0.56f}, {-0.096296f, 0.56f}};
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(a[i].previous, links[i]) << "vertex " << i;
        EXPECT_NEAR(a[i].position.x, about[i][0], 1e-6f) << "vertex " << i;
        EXPECT_NEAR(a[i].position.y, about[i][1], 1e-6f) << "vertex " << i;
        EXPECT_EQ(a[i].position.z, 0.0f);
        EXPECT_EQ(a[i].normal.z, 1.0f);
    }
}

// Reference values computed step by step in a separate program built without optimisation. Each
// of them changes by at least one float step if a sine or cosine is used unrounded (for example
// when the compiler keeps the double in a vector register), so an optimised build that drops a
// rounding fails here.
TEST(GeneratorRounding, VerticesMatchTheUnoptimisedReferenceBitForBit)
{
    Scene scene;
    addTorus(scene, 48, 48);
    const Polygon& torusQuad = scene.primitives[0].polygons[7 * 48 + 13];  // vertex 0 is (7/48, 13/48)
    expectPosition(torusQuad[0], 0x1.94ce82p-1f, 0x1.369e9cp-1f, -0x1.abb42p-5f);
    const Polygon& torusQuad2 = scene.primitives[0].polygons[31 * 48 + 40];
    expectPosition(torusQuad2[0], -0x1.9c06f2p-3f, -0x1.3c296cp-3f, 0x1.9998cep-3f);
    const Polygon& torusQuad3 = scene.primitives[0].polygons[45 * 48 + 5];
    expectPosition(torusQuad3[0], -0x1.4a8bcap-2f, 0x1.8effbep-1f, 0x1.44f52ap-2f);

    addCylinder(scene, 0.25, 1, 12);
    const Polygon& cap = scene.primitives[1].polygons[12];
    expectPosition(cap[7], -0x1.bb67e2p-3f, -0x1.ffff4ap-4f, -0.5f);
    expectPosition(cap[11], 0x1.bb675cp-3f, -0x1.00009p-3f, -0.5f);
    // The side normal (cos, sin, 0) has float length 1 - 2^-24 and is normalised by it.
    EXPECT_EQ(scene.primitives[1].polygons[7][0].normal.x, -0x1.bb67e4p-1f);
    EXPECT_EQ(scene.primitives[1].polygons[7][0].normal.y, -0x1.ffff4cp-2f);

    addSphereOctant(scene, 0.5, 12);
    const Vertex& onSphere = scene.primitives[2].polygons[2 * 12 + 2][0];  // theta and phi at 2/12 of the quarter turn
    expectPosition(onSphere, 0x1.ffffeap-4f, 0x1.12612cp-5f, 0x1.ee8dd6p-2f);

    addLetterA(scene);
    const Polygon& letter = scene.primitives[3].polygons[0];
    EXPECT_EQ(letter[2].position.x, 0x1.b61698p-2f);
    EXPECT_EQ(letter[4].position.x, 0x1.1ea9e4p-3f);
    EXPECT_EQ(letter[8].position.y, 0x1.a62e4p-1f);
    EXPECT_EQ(letter[9].position.x, 0x1.8a6dc6p-4f);
}

TEST(Generators, EachCallOpensExactlyOnePrimitiveWithTheCurrentMaterial)
{
    Scene scene;
    const Texture texture(4, 4, 3);
    scene.setMaterial(Color(0.5f, 0, 0, 1), Color(1, 1, 1, 1), 7);
    scene.setTextures(&texture, nullptr, nullptr);
    addRectangle(scene, 1, 1);
    addBox(scene, 1, 1, 1);
    addCylinder(scene, 1, 1, 3);
    addSpherePatch(scene, 1, 2, 1.0f, 1.0f);
    addSphereOctant(scene, 1, 0);
    addTorus(scene, 2, 2);
    addLetterA(scene);
    ASSERT_EQ(scene.primitives.size(), 7u);
    for (const Primitive& p : scene.primitives) {
        EXPECT_EQ(p.diffuse, Color(0.5f, 0, 0, 1));
        EXPECT_EQ(p.shininess, 7);
        EXPECT_EQ(p.texture, &texture);
    }
    EXPECT_EQ(scene.primitives[3].polygons.size(), 4u);
    EXPECT_TRUE(scene.primitives[4].polygons.empty());
    EXPECT_TRUE(scene.modelStack.saved.empty());
    EXPECT_TRUE(scene.lights.empty());
}
