#include "refhost/view3d/camera_projection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <stdexcept>

#include "host/four_char_code.h"

namespace {

using refhost::scene::Camera;
using refhost::view3d::MatricesOf;
using refhost::view3d::PixelOf;

// The camera at location looking at the origin, y up, range 1..100.
void Look(Camera& camera, TQ3Point3D location) {
    camera.data.placement = {location, {0, 0, 0}, {0, 1, 0}};
    camera.data.range = {1, 100};
    camera.data.viewPort = {{-1, 1}, 2, 2};
}

void ExpectPixel(Camera const& camera, TQ3Point3D point, int width, int height, float x, float y) {
    std::optional<TQ3Point2D> const pixel = PixelOf(MatricesOf(camera), point, width, height);
    ASSERT_TRUE(pixel.has_value());
    EXPECT_NEAR(pixel->x, x, 1e-3);
    EXPECT_NEAR(pixel->y, y, 1e-3);
}

TEST(CameraProjection, ViewAngleCameraSpansItsShorterSideWithTheFieldOfView) {
    // tan(fov / 2) = 0.5: five units away the camera shows 2.5 units each way.
    Camera camera("vana"_4cc);
    Look(camera, {0, 0, 5});
    camera.fieldOfView = static_cast<float>(2 * std::atan(0.5));
    camera.aspectRatio = 1;
    ExpectPixel(camera, {0, 0, 0}, 200, 200, 100, 100);
    ExpectPixel(camera, {1, 0, 0}, 200, 200, 140, 100);
    ExpectPixel(camera, {0, 1, 0}, 200, 200, 100, 60);
    // Wider than high: the field of view is vertical, the width twice the height.
    camera.aspectRatio = 2;
    ExpectPixel(camera, {2, 1, 0}, 400, 200, 280, 60);
    // Higher than wide: the field of view is horizontal.
    camera.aspectRatio = 0.5f;
    ExpectPixel(camera, {1, 2, 0}, 200, 400, 140, 120);
    // Seen from +x, -z lies to the right; a point behind the camera is on no pixel.
    camera.aspectRatio = 1;
    camera.data.placement.cameraLocation = {5, 0, 0};
    ExpectPixel(camera, {0, 0, -1}, 200, 200, 140, 100);
    EXPECT_FALSE(PixelOf(MatricesOf(camera), {10, 0, 0}, 200, 200).has_value());
}

TEST(CameraProjection, OrthographicAndViewPlaneCamerasAndTheViewPort) {
    Camera ortho("orth"_4cc);
    Look(ortho, {0, 0, 10});
    ortho.left = -4;
    ortho.right = 4;
    ortho.top = 3;
    ortho.bottom = -3;
    ExpectPixel(ortho, {2, 1.5f, 0}, 320, 240, 240, 60);
    ExpectPixel(ortho, {2, 1.5f, 5}, 320, 240, 240, 60); // no perspective

    // The view plane lies at the origin, 8 wide and 6 high, its centre 1 unit to the right.
    Camera plane("vwpl"_4cc);
    Look(plane, {0, 0, 10});
    plane.viewPlane = 10;
    plane.halfWidth = 4;
    plane.halfHeight = 3;
    plane.centreX = 1;
    plane.centreY = 0;
    ExpectPixel(plane, {1, 0, 0}, 320, 240, 160, 120);
    ExpectPixel(plane, {5, 3, 0}, 320, 240, 320, 0);
    // Twice as far away everything doubles, the centre too.
    ExpectPixel(plane, {2, 0, -10}, 320, 240, 160, 120);
    ExpectPixel(plane, {10, 0, -10}, 320, 240, 320, 120);

    // The view port's top left quarter fills the image.
    Camera camera("vana"_4cc);
    Look(camera, {0, 0, 5});
    camera.fieldOfView = static_cast<float>(2 * std::atan(0.5));
    camera.aspectRatio = 1;
    camera.data.viewPort = {{-1, 1}, 1, 1};
    ExpectPixel(camera, {-1.25f, 1.25f, 0}, 200, 200, 100, 100);
    ExpectPixel(camera, {0, 0, 0}, 200, 200, 200, 200);
}

TEST(CameraProjection, CamerasThatShowNothingAreRefusedByName) {
    // The refusal of a view angle camera (or of the kind given) changed as given.
    auto refusal = [](std::function<void(Camera&)> const& change,
                      FourCharCode kind = "vana"_4cc) -> std::string {
        Camera camera(kind);
        Look(camera, {0, 0, 5});
        change(camera);
        try {
            MatricesOf(camera);
        } catch (std::runtime_error const& e) {
            return e.what();
        }
        return "accepted";
    };
    auto refuses = [&](std::function<void(Camera&)> const& change, char const* naming,
                       FourCharCode kind = "vana"_4cc) {
        std::string const message = refusal(change, kind);
        EXPECT_NE(message.find(naming), std::string::npos) << message;
    };
    EXPECT_EQ(refusal([](Camera&) {}), "accepted");
    refuses([](Camera& c) { c.data.placement.pointOfInterest = c.data.placement.cameraLocation; },
            "point of interest");
    refuses([](Camera& c) { c.data.placement.upVector = {0, 0, 2}; }, "up vector");
    refuses([](Camera& c) { c.data.range = {0, 10}; }, "hither");
    refuses([](Camera& c) { c.data.range = {5, 5}; }, "yon");
    refuses([](Camera& c) { c.data.viewPort.width = 0; }, "view port");
    refuses([](Camera& c) { c.fieldOfView = 0; }, "field of view");
    refuses([](Camera& c) { c.left = c.right = 1; }, "orthographic", "orth"_4cc);
    // An orthographic camera may start its range at 0.
    EXPECT_EQ(refusal([](Camera& c) { c.data.range = {0, 10}; }, "orth"_4cc), "accepted");
}

} // namespace
