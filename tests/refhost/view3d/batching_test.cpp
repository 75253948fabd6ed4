// The renderer's batching: objects sharing a shape and a material drawn together, frames that
// upload only what changed, shapes found again by their content, and faces of closed shapes
// skipped only where nothing of the picture changes.
#include <gtest/gtest.h>

#include <memory>

#include "host/four_char_code.h"
#include "host/scene.h"
#include "refhost/framework/host_state.h"
#include "refhost/view3d/gl_context.h"
#include "refhost/view3d/scene_renderer.h"

#include "tests/refhost/view3d/test_scene.h"

namespace {

using namespace view3d_test;
using refhost::view3d::GlContext;

class BatchingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { context = GlContext::Headless(); }
    static void TearDownTestSuite() { context.reset(); }
    // A renderer of its own for every test: the counts depend on the frames before.
    void SetUp() override {
        HostState::Instance().Reset();
        renderer = std::make_unique<SceneRenderer>();
    }
    void TearDown() override {
        renderer.reset();
        HostState::Instance().Reset();
    }

    // A display group of a transform and a shape, coloured; the transform is borrowed out.
    static OpaqueTQ3Object* Group(TQ3Vector3D offset, OpaqueTQ3Object* shape, TQ3ColorRGB colour,
                                  Transform** transform = nullptr) {
        OpaqueTQ3Object* group =
            WithSet(NewGroupOf(GroupKind::kDisplay), [&](AttributeSet& s) { s.diffuse = colour; });
        CMatrix4x4 m(1.0);
        m[3][0] = offset.x, m[3][1] = offset.y, m[3][2] = offset.z;
        auto* placed = new Transform(m);
        if (transform) {
            *transform = placed;
        }
        Add(group, placed);
        Add(group, shape);
        return group;
    }

    static Rgb Channels(TQ3ColorRGB c) {
        return {static_cast<uint8_t>(std::lround(c.r * 255)),
                static_cast<uint8_t>(std::lround(c.g * 255)),
                static_cast<uint8_t>(std::lround(c.b * 255))};
    }

    static inline std::unique_ptr<GlContext> context;
    std::unique_ptr<SceneRenderer> renderer;
};

TEST_F(BatchingTest, ObjectsOfOneShapeAndMaterialTakeOneDrawAndKeepTheirOwnColours) {
    // 25 boxes, each its own box object of the same content, each group its own colour;
    // under a white ambient light each shows exactly its colour.
    Scene scene;
    scene.Light(AmbientLight(1));
    std::vector<TQ3ColorRGB> colours;
    auto place = [](int i) {
        return TQ3Point3D{static_cast<float>(i % 5 - 2) * 0.9f,
                          static_cast<float>(i / 5 - 2) * 0.9f, 0.2f};
    };
    for (int i = 0; i < 25; ++i) {
        TQ3ColorRGB const c{static_cast<float>(i % 5) / 4, static_cast<float>(i / 5) / 4, 0.5f};
        colours.push_back(c);
        OpaqueTQ3Object* box =
            NewBox({-0.2f, -0.2f, -0.2f}, {0, 0.4f, 0}, {0, 0, 0.4f}, {0.4f, 0, 0});
        scene.Other(Group({place(i).x, place(i).y, 0}, box, c));
    }
    Bitmap const image = scene.Render(*renderer);
    EXPECT_EQ(renderer->LastFrame().draws, 1u);
    for (int i = 0; i < 25; ++i) {
        EXPECT_TRUE(Near(scene.At(image, place(i)), Channels(colours[static_cast<std::size_t>(i)])))
            << "box " << i;
    }
}

TEST_F(BatchingTest, LargeShapesThatRepeatAreDrawnAsInstancesNotCopied) {
    // Three patches of one content (8 x 8 quads: 384 vertices) and two small boxes: the
    // boxes merge into one draw, the patches take one draw as instances of their shape.
    Scene scene;
    scene.Light(AmbientLight(1));
    auto patch = [] {
        return NewNURBPatch(
            2, 2, 2, 2,
            {{-0.4f, -0.4f, 0, 1}, {0.4f, -0.4f, 0, 1}, {-0.4f, 0.4f, 0, 1}, {0.4f, 0.4f, 0, 1}},
            {0, 0, 1, 1}, {0, 0, 1, 1});
    };
    for (int i = 0; i < 3; ++i) {
        scene.Other(Group({static_cast<float>(i - 1), 1, 0}, patch(), {1, 1, 0}));
    }
    scene.Other(Group({-0.6f, -1, 0}, UnitBox(), {1, 1, 0}));
    scene.Other(Group({0.6f, -1, 0}, UnitBox(), {1, 1, 0}));
    Bitmap const image = scene.Render(*renderer);
    EXPECT_EQ(renderer->LastFrame().draws, 2u);
    EXPECT_EQ(renderer->LastFrame().mergedVerticesUploaded, 2u * 36u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(Near(scene.At(image, {static_cast<float>(i - 1), 1, 0}), {255, 255, 0}));
    }
}

TEST_F(BatchingTest, AFrameUploadsOnlyWhatChangedAndFindsEditedShapesByTheirContent) {
    Scene scene;
    scene.Light(AmbientLight(1));
    Transform* moving = nullptr;
    OpaqueTQ3Object* edited = UnitBox();
    scene.Other(Group({-1.2f, 0, 0}, edited, {1, 0, 0}));
    scene.Other(Group({1.2f, 0, 0}, UnitBox(), {0, 1, 0}, &moving));
    scene.Other(Group({0, 1.2f, 0}, Square(0), {0, 0, 1}));
    Bitmap image = scene.Render(*renderer);
    SceneRenderer::FrameCounts first = renderer->LastFrame();
    EXPECT_EQ(first.shapeVerticesUploaded, 36u + 6u); // one box shared, one square
    EXPECT_EQ(first.instancesUploaded, 3u);
    EXPECT_GT(first.mergedVerticesUploaded, 0u);

    // The same scene again: nothing goes to OpenGL but the draws.
    image = renderer->Render(nullptr, kSize, kSize);
    EXPECT_EQ(renderer->LastFrame().shapeVerticesUploaded, 0u);
    EXPECT_EQ(renderer->LastFrame().instancesUploaded, 0u);
    EXPECT_EQ(renderer->LastFrame().mergedVerticesUploaded, 0u);

    // One group moves: only its instance goes, and the picture shows it moved.
    moving->matrix[3][1] = -1.2f;
    image = renderer->Render(nullptr, kSize, kSize);
    EXPECT_EQ(renderer->LastFrame().instancesUploaded, 1u);
    EXPECT_EQ(renderer->LastFrame().shapeVerticesUploaded, 0u);
    EXPECT_EQ(renderer->LastFrame().mergedVerticesUploaded, 0u);
    EXPECT_TRUE(Near(scene.At(image, {1.2f, -1.2f, 0.5f}), {0, 255, 0}));
    EXPECT_TRUE(Near(scene.At(image, {1.2f, 0, 0.5f}), Background()));

    // A box edited in place (the same object, half as wide) gets a shape of its new content.
    As<Box>(edited)->minorAxis = {0.5f, 0, 0};
    image = renderer->Render(nullptr, kSize, kSize);
    EXPECT_EQ(renderer->LastFrame().shapeVerticesUploaded, 36u);
    EXPECT_TRUE(Near(scene.At(image, {-1.2f - 0.25f, 0, 0.5f}), {255, 0, 0}));
    EXPECT_TRUE(Near(scene.At(image, {-1.2f + 0.3f, 0, 0.5f}), Background()));
}

TEST_F(BatchingTest, ClosedShapesShowTheirInsideToAnEyeWithinOrThroughTheNearPlane) {
    // The eye at (0, 0, 5) inside a large box: its far wall shows.
    {
        Scene scene;
        scene.Light(AmbientLight(1));
        scene.Other(Group({0, 0, 0}, NewBox({-10, -10, -10}, {0, 20, 0}, {0, 0, 20}, {20, 0, 0}),
                          {1, 0, 1}));
        Bitmap const image = scene.Render(*renderer);
        EXPECT_TRUE(Near(image.at(kSize / 2, kSize / 2), {255, 0, 255}));
    }
    // A box that the near plane (1 in front of the eye, at z = 4) cuts: through the cut, its
    // far face, which turns away from the eye, shows.
    {
        HostState::Instance().Reset();
        Scene scene;
        scene.Light(AmbientLight(1));
        scene.Other(Group({0, 0, 0}, NewBox({-0.5f, -0.5f, 3}, {0, 1, 0}, {0, 0, 1.5f}, {1, 0, 0}),
                          {0, 1, 1}));
        Bitmap const image = scene.Render(*renderer);
        EXPECT_TRUE(Near(image.at(kSize / 2, kSize / 2), {0, 255, 255}));
    }
}

TEST_F(BatchingTest, AMirroringPlacementShowsTheSameFacesLitTheSameWay) {
    // A box turned a little and lit from the side, then the same box mirrored in x and placed
    // at the mirror image of its place: each pixel matches its mirror image.
    auto render = [this](float mirror) {
        HostState::Instance().Reset();
        Scene scene;
        auto* light = new Light("drct"_4cc);
        light->direction = {-0.5f * mirror, -0.3f, -1};
        scene.Light(light);
        OpaqueTQ3Object* group = NewGroupOf(GroupKind::kDisplay);
        // Turned, moved, then (for the mirror image) mirrored: points are row vectors, so
        // the left matrix applies first.
        Add(group, new Transform(RotateMat(CVector3D(0, 1, 0), 0.4f) *
                                 RotateMat(CVector3D(1, 0, 0), 0.3f) * TranslateMat({0.8f, 0, 0}) *
                                 ScaleMat({mirror, 1, 1})));
        Add(group, NewBox({-0.5f, -0.5f, -0.5f}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0}));
        scene.Other(group);
        return scene.Render(*renderer);
    };
    Bitmap const plain = render(1);
    Bitmap const mirrored = render(-1);
    // Pixels inside a face (their neighbours alike) match; edges may fall either way.
    auto inside = [&plain](int x, int y) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if (!Near(plain.at(x + dx, y + dy), plain.at(x, y), 8)) {
                    return false;
                }
            }
        }
        return true;
    };
    int lit = 0, differing = 0;
    for (int y = 1; y + 1 < kSize; ++y) {
        for (int x = 1; x + 1 < kSize; ++x) {
            Rgb const a = plain.at(x, y), b = mirrored.at(kSize - 1 - x, y);
            if (Near(a, Background()) || !inside(x, y)) {
                continue;
            }
            ++lit;
            differing += Near(a, b, 8) ? 0 : 1;
        }
    }
    EXPECT_GT(lit, 800);
    EXPECT_EQ(differing, 0);
}

} // namespace
