// The plug-in's texture effect as the 3D view shows it: as time passes the texture scrolls
// and turns on the geometry.
#include <gtest/gtest.h>

#include "playback/texture_effect.h"
#include "refhost/view3d/gl_context.h"
#include "tests/refhost/view3d/test_scene.h"

namespace {

using namespace view3d_test;

TEST(TextureEffectInTheView, TheTextureScrollsAndTurnsAsTimePasses) {
    std::unique_ptr<refhost::view3d::GlContext> context = refhost::view3d::GlContext::Headless();
    SceneRenderer renderer;
    // The texels at the lower left and upper right quarters of the square after the effect
    // ran for the seconds given.
    auto shown = [&](float seconds, float scrollSpeed, float rotationRate) {
        HostState::Instance().Reset();
        Scene scene;
        scene.Light(AmbientLight(1));
        OpaqueTQ3Object* square = FourTexelSquare();
        CShapeObject geometry(square);
        ApplyTextureTransformToGeometry(geometry, seconds, scrollSpeed, 0, rotationRate,
                                        {0.5f, 0.5f});
        scene.Other(square);
        Bitmap const image = scene.Render(renderer);
        return std::pair{scene.At(image, {-0.5f, -0.5f, 0}), scene.At(image, {0.5f, 0.5f, 0})};
    };
    Rgb const red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255}, white{255, 255, 255};
    // A quarter of the texture a second along u: half after 2 seconds, all of it after 4.
    auto [start, startUpper] = shown(0, 0.25f, 0);
    EXPECT_TRUE(Near(start, blue));
    EXPECT_TRUE(Near(startUpper, green));
    auto [scrolled, scrolledUpper] = shown(2, 0.25f, 0);
    EXPECT_TRUE(Near(scrolled, white));
    EXPECT_TRUE(Near(scrolledUpper, red));
    EXPECT_TRUE(Near(shown(4, 0.25f, 0).first, blue));
    // 90 degrees a second about the middle: a quarter turn after 1 second, half after 2.
    auto [quarter, quarterUpper] = shown(1, 0, 90);
    EXPECT_TRUE(Near(quarter, white));
    EXPECT_TRUE(Near(quarterUpper, red));
    auto [half, halfUpper] = shown(2, 0, 90);
    EXPECT_TRUE(Near(half, green));
    EXPECT_TRUE(Near(halfUpper, blue));
    HostState::Instance().Reset();
}

} // namespace
