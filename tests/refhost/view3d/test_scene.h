// Small scenes for the 3D view's tests: a document with one view looking from (0, 0, 5) at
// the origin, and the shapes, lights and surfaces the tests put in it.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "host/four_char_code.h"
#include "host/scene.h"
#include "refhost/framework/host_state.h"
#include "refhost/scene/build.h"
#include "refhost/view3d/camera_projection.h"
#include "refhost/view3d/gl_context.h"
#include "refhost/view3d/scene_renderer.h"

namespace view3d_test {

using namespace refhost::scene;
using refhost::Bitmap;
using refhost::Document;
using refhost::HostState;
using refhost::Rgb;
using refhost::view3d::SceneRenderer;

constexpr int kSize = 200;

// Adds member to group and gives up the caller's reference.
inline void Add(OpaqueTQ3Object* group, OpaqueTQ3Object* member) {
    CGroupObject(group).AddObject(CSharedObject(member));
    Release(member);
}

inline OpaqueTQ3Object* WithSet(OpaqueTQ3Object* shape,
                                std::function<void(AttributeSet&)> const& fill) {
    auto* set = new AttributeSet;
    fill(*set);
    Assign(shape->set, set);
    Release(set);
    return shape;
}

inline OpaqueTQ3Object* UnitBox() {
    return NewBox({-0.5f, -0.5f, -0.5f}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0});
}

// A square of side 2 at depth z facing +z, with texture coordinates.
inline OpaqueTQ3Object* Square(float z) {
    return NewTriMesh({{-1, -1, z}, {1, -1, z}, {1, 1, z}, {-1, 1, z}}, {{0, 1, 2}, {0, 2, 3}},
                      {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
}

// The square at depth 0 showing 2 x 2 texels, rows from the top red, green; blue, white, with
// the identity UV transform: (u, v) = (0.25, 0.25), at (-0.5, -0.5, 0), shows blue and
// (0.75, 0.75), at (0.5, 0.5, 0), green.
inline OpaqueTQ3Object* FourTexelSquare() {
    OpaqueTQ3Object* texture =
        NewTexture(2, 2, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255});
    OpaqueTQ3Object* shader = NewTextureShader(texture);
    Release(texture);
    OpaqueTQ3Object* square =
        WithSet(Square(0), [&](AttributeSet& s) { Assign(s.shader, shader); });
    Release(shader);
    return square;
}

// The UV transform of the square's texture shader.
inline CMatrix3x3& UVTransformOf(OpaqueTQ3Object* square) {
    return As<TextureShader>(As<AttributeSet>(square->set)->shader)->uvTransform;
}

// A display group moved by offset, holding the shape.
inline OpaqueTQ3Object* Placed(TQ3Vector3D offset, OpaqueTQ3Object* shape) {
    OpaqueTQ3Object* group = NewGroupOf(GroupKind::kDisplay);
    CMatrix4x4 m(1.0);
    m[3][0] = offset.x;
    m[3][1] = offset.y;
    m[3][2] = offset.z;
    Add(group, new Transform(m));
    Add(group, shape);
    return group;
}

inline Light* AmbientLight(float brightness) {
    auto* light = new Light("ambn"_4cc);
    light->common = {kQ3True, brightness, {1, 1, 1}};
    return light;
}

// A document whose only view looks from (0, 0, 5) at the origin with a field of view that
// shows 2.5 units each way at the origin, into a kSize x kSize image.
class Scene {
public:
    Scene() : fDocument(std::make_unique<Document>()) {
        fCamera = new Camera("vana"_4cc);
        fCamera->data.placement = {{0, 0, 5}, {0, 0, 0}, {0, 1, 0}};
        fCamera->data.range = {1, 100};
        fCamera->data.viewPort = {{-1, 1}, 2, 2};
        fCamera->fieldOfView = static_cast<float>(2 * std::atan(0.5));
        fCamera->aspectRatio = 1;
        fLights = NewGroupOf(GroupKind::kLight);
    }
    ~Scene() {
        Release(fCamera);
        Release(fLights);
    }

    Camera& camera() { return *fCamera; }
    void Light(OpaqueTQ3Object* light) { Add(fLights, light); }
    void Selected(OpaqueTQ3Object* shape) { Add(fDocument->SelectedGroup(), shape); }
    void Other(OpaqueTQ3Object* shape) { Add(fDocument->OtherGroup(), shape); }

    // Opens the document in the host and draws its view.
    Bitmap Render(SceneRenderer& renderer) {
        OpaqueTQ3Object* view = NewView(fCamera, fLights, {{0, 0}, {kSize, kSize}});
        fDocument->AddView(view);
        Release(view);
        HostState::Instance().Open(std::move(fDocument));
        return renderer.Render(nullptr, kSize, kSize);
    }

    // The pixel showing a point of the scene.
    Rgb At(Bitmap const& image, TQ3Point3D point) const {
        TQ3Point2D const p =
            *refhost::view3d::PixelOf(refhost::view3d::MatricesOf(*fCamera), point, kSize, kSize);
        return image.at(static_cast<int>(std::floor(p.x)),
                        image.height() - 1 - static_cast<int>(std::floor(p.y)));
    }

private:
    std::unique_ptr<Document> fDocument;
    Camera* fCamera;
    OpaqueTQ3Object* fLights;
};

inline ::testing::AssertionResult Near(Rgb actual, Rgb expected, int tolerance = 2) {
    if (std::abs(actual.red - expected.red) <= tolerance &&
        std::abs(actual.green - expected.green) <= tolerance &&
        std::abs(actual.blue - expected.blue) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "(" << int{actual.red} << ", " << int{actual.green} << ", " << int{actual.blue}
           << ") is not (" << int{expected.red} << ", " << int{expected.green} << ", "
           << int{expected.blue} << ")";
}

inline Rgb Background() {
    auto channel = [](float v) { return static_cast<uint8_t>(std::lround(v * 255)); };
    TQ3ColorRGB const b = refhost::view3d::kBackground;
    return {channel(b.r), channel(b.g), channel(b.b)};
}

// Tests that draw with one headless context and renderer, each test with the host's state
// reset before and after it.
class HeadlessRenderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        context = refhost::view3d::GlContext::Headless();
        renderer = new SceneRenderer;
    }
    static void TearDownTestSuite() {
        delete renderer;
        context.reset();
    }
    void SetUp() override { HostState::Instance().Reset(); }
    void TearDown() override { HostState::Instance().Reset(); }

    static inline std::unique_ptr<refhost::view3d::GlContext> context;
    static inline SceneRenderer* renderer = nullptr;
};

} // namespace view3d_test
