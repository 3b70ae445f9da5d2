#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <map>

#include "scene/model_geometry.h"
#include "scene/position_weld.h"

namespace {

using Key = std::array<uint32_t, 3>;
struct Sum {
    double x = 0, y = 0, z = 0;
};

Key keyOf(const Vec3& p)
{
    const float c[3] = {p.x + 0.0f, p.y + 0.0f, p.z + 0.0f};
    Key key;
    std::memcpy(key.data(), c, sizeof c);
    return key;
}

Sum newell(const ModelMesh& mesh, size_t start, uint32_t count)
{
    Sum n;
    for (uint32_t k = 0; k < count; ++k) {
        const Vec3& a = mesh.positions[mesh.indices[start + k]];
        const Vec3& b = mesh.positions[mesh.indices[start + (k + 1) % count]];
        n.x += (double{a.y} - b.y) * (double{a.z} + b.z);
        n.y += (double{a.z} - b.z) * (double{a.x} + b.x);
        n.z += (double{a.x} - b.x) * (double{a.y} + b.y);
    }
    return n;
}

bool usable(const Sum& s) { return std::sqrt(s.x * s.x + s.y * s.y + s.z * s.z) > 0; }
Vec3 unit(const Sum& s)
{
    const double l = std::sqrt(s.x * s.x + s.y * s.y + s.z * s.z);
    return Vec3(float(s.x / l), float(s.y / l), float(s.z / l));
}

// Every triangle has its own copies of its corners; copies of x = 0 alternate between 0 and -0,
// and some are one step of float away from the grid point, which must keep them apart.
ModelMesh copiedGrid()
{
    ModelMesh mesh;
    const auto at = [](int i, int j, int copy) {
        Vec3 p((i - 4) * 0.25f, (j - 4) * 0.25f, 0.1f * float(std::sin(i * 1.3 + j)));
        if (i == 4 && copy % 2) p.x = -0.0f;
        if ((i + j + copy) % 7 == 0) p.z = std::nextafter(p.z, 1.0f);
        return p;
    };
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j) {
            const int corners[6][2] = {{i, j}, {i + 1, j}, {i + 1, j + 1}, {i, j}, {i + 1, j + 1}, {i, j + 1}};
            for (int k = 0; k < 6; ++k) {
                mesh.indices.push_back(uint32_t(mesh.positions.size()));
                mesh.positions.push_back(at(corners[k][0], corners[k][1], k + i));
                // Some corners bring their own normal; the rest are missing (zero).
                mesh.normals.push_back(mesh.positions.size() % 5 ? Vec3() : Vec3(0.1f, 0.2f, 1));
            }
            mesh.faceSizes.insert(mesh.faceSizes.end(), {3, 3});
        }
    for (int k = 0; k < 3; ++k) {  // a face without area at a point of its own
        mesh.indices.push_back(uint32_t(mesh.positions.size()));
        mesh.positions.emplace_back(5, 5, 5);
        mesh.normals.emplace_back();
    }
    mesh.faceSizes.push_back(3);
    return mesh;
}

}  // namespace

TEST(PositionWeld, NumbersEqualPositionsAlikeInOrderOfFirstAppearance)
{
    const ModelMesh mesh = copiedGrid();
    std::map<Key, uint32_t> reference;
    const PositionGroups groups = weldPositions(mesh.positions);
    ASSERT_EQ(groups.groupOf.size(), mesh.positions.size());
    for (size_t i = 0; i < mesh.positions.size(); ++i) {
        const auto found = reference.emplace(keyOf(mesh.positions[i]), uint32_t(reference.size())).first;
        ASSERT_EQ(groups.groupOf[i], found->second) << "position " << i;
    }
    EXPECT_EQ(groups.count, reference.size());
    EXPECT_EQ(weldPositions({Vec3(0, 1, 2), Vec3(-0.0f, 1, 2)}).count, 1u);
    EXPECT_EQ(weldPositions({Vec3(0, 1, 2), Vec3(0, std::nextafter(1.0f, 2.0f), 2)}).count, 2u);
}

// The scene's vertices equal, bit for bit, those of smooth normals summed in a plain map.
TEST(ModelNormals, SmoothNormalsMatchAPlainMapBitForBit)
{
    ModelGeometry geometry;
    geometry.meshes.push_back(copiedGrid());
    const ModelMesh& mesh = geometry.meshes[0];
    Scene built;
    buildModel(built, geometry, ModelSettings());

    std::map<Key, Sum> sums;
    for (size_t f = 0, start = 0; f < mesh.faceSizes.size(); start += mesh.faceSizes[f++])
        for (uint32_t k = 0; k < mesh.faceSizes[f]; ++k) {
            const Sum n = newell(mesh, start, mesh.faceSizes[f]);
            Sum& s = sums[keyOf(mesh.positions[mesh.indices[start + k]])];
            s = {s.x + n.x, s.y + n.y, s.z + n.z};
        }
    const ModelFit fit = fitModel(geometry);
    const auto placed = [&](float v, int a) { return float((v - fit.centre[a]) * fit.scale); };
    Scene expected;
    expected.beginPrimitive();
    for (size_t f = 0, start = 0; f < mesh.faceSizes.size(); start += mesh.faceSizes[f++]) {
        expected.beginPolygon();
        for (uint32_t k = 0; k < mesh.faceSizes[f]; ++k) {
            const uint32_t i = mesh.indices[start + k];
            const Vec3& own = mesh.normals[i];
            const Sum& s = sums[keyOf(mesh.positions[i])];
            const Sum face = newell(mesh, start, mesh.faceSizes[f]);
            const Vec3 n = own.z != 0 ? unit({own.x, own.y, own.z})
                           : usable(s) ? unit(s) : usable(face) ? unit(face) : Vec3(0, 0, 1);
            expected.setNormal(n.x, n.y, n.z);
            expected.addVertex(placed(mesh.positions[i].x, 0), placed(mesh.positions[i].y, 1),
                               placed(mesh.positions[i].z, 2));
        }
    }
    const std::vector<Polygon>& got = built.primitives.at(0).polygons;
    const std::vector<Polygon>& want = expected.primitives[0].polygons;
    ASSERT_EQ(got.size(), want.size());
    for (size_t f = 0; f < want.size(); ++f) {
        ASSERT_EQ(got[f].size(), want[f].size());
        EXPECT_EQ(std::memcmp(got[f].data(), want[f].data(), want[f].size() * sizeof(Vertex)), 0) << "face " << f;
    }
}
