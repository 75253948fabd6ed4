// A mesh's own normals in the shapes the 3D view draws: made unit length, a zero one standing
// for its face's, and carried through a placement that instances cannot take (a projective
// matrix) as the planes they are normal to.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "host/matrix4x4.h"
#include "host/scene/scene_object.h"
#include "refhost/scene/build.h"
#include "refhost/view3d/shape_library.h"

namespace {

using namespace refhost::scene;
using refhost::view3d::ShapeLibrary;

// The normals of a geometry's triangle corners as the library draws them.
std::vector<std::array<float, 3>> DrawnNormals(Geometry const& geometry,
                                               CMatrix4x4 const* world = nullptr) {
    ShapeLibrary library;
    ShapeLibrary::Shapes const shapes = library.Of(geometry, world);
    EXPECT_EQ(shapes.count, 1u);
    auto const& range = library.Range(shapes.ids[0]);
    std::vector<std::array<float, 3>> normals;
    for (uint32_t i = range.first; i < range.first + range.count; ++i) {
        normals.push_back(library.Vertices()[i].normal);
    }
    return normals;
}

void ExpectNear(std::array<float, 3> const& a, std::array<float, 3> const& b) {
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_NEAR(a[k], b[k], 1e-6f) << k;
    }
}

TEST(ShapeNormalsTest, AMeshsNormalsAreUnitLengthAZeroOneIsItsFacesAndPlacementsCarryThem) {
    // One triangle in the plane z = 0, counter-clockwise seen from +z.
    OpaqueTQ3Object* raw =
        NewTriMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}}, {}, {{0, 0, 2}, {1, 0, 1}, {}});
    auto const& mesh = *As<TriMesh>(raw);
    float const h = 0.70710678f;
    std::vector<std::array<float, 3>> normals = DrawnNormals(mesh);
    ASSERT_EQ(normals.size(), 3u);
    ExpectNear(normals[0], {0, 0, 1});
    ExpectNear(normals[1], {h, 0, h});
    ExpectNear(normals[2], {0, 0, 1}); // the face's

    // A projective placement whose w grows with y: the plane x + z = 1 through the second
    // corner goes to x + y / 2 + z = 1, so its normal turns to (2, 1, 2) / 3.
    CMatrix4x4 world(1.0);
    world[1][3] = 0.5f;
    normals = DrawnNormals(mesh, &world);
    ASSERT_EQ(normals.size(), 3u);
    ExpectNear(normals[1], {2.0f / 3, 1.0f / 3, 2.0f / 3});
    ExpectNear(normals[2], {0, 0, 1});

    // Without normals, every corner takes the face's.
    OpaqueTQ3Object* flat = NewTriMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
    for (auto const& n : DrawnNormals(*As<TriMesh>(flat))) {
        ExpectNear(n, {0, 0, 1});
    }
    Release(raw);
    Release(flat);
}

TEST(ShapeNormalsTest, AMeshNeedsOneNormalAPointOrNone) {
    EXPECT_THROW(NewTriMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}}, {}, {{0, 0, 1}}),
                 CSceneException);
}

} // namespace
