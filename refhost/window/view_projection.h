// Where the current view's camera puts the scene on the 3D view's image, and how the user's
// mouse moves the camera and the selection. Pure functions over camera values.
//
// The camera looks from its location at its point of interest with its up vector; a view
// angle camera's field of view spans the shorter side of its aspect ratio, and the frustum
// fills the image whatever the image's proportions. Other camera kinds are seen as a view
// angle camera of kDefaultFieldOfView. Pixels count from the image's top left corner.
#pragma once

#include <optional>

#include "host/qd3d_types.h"
#include "host/vectors.h"

namespace refhost::window {

inline constexpr float kDefaultFieldOfView = 0.8f;

struct ViewProjection {
    TQ3Point3D location;
    CVector3D forward; // unit, toward the point of interest
    CVector3D right;   // unit
    CVector3D up;      // unit, square to forward and right
    float tanHalfX;    // half the image's width at distance 1
    float tanHalfY;    // half its height at distance 1
};

// The projection of a camera; nothing when the location equals the point of interest or the
// up vector lies along the line of sight.
std::optional<ViewProjection> ProjectionOf(TQ3CameraPlacement const& placement, float fieldOfView,
                                           float aspectXToY);

// The pixel of a width x height image that shows the point, and the point's distance along
// the line of sight; nothing for a point at or behind the camera.
struct Pixel {
    float x;
    float y;
    float depth;
};
std::optional<Pixel> PixelOf(ViewProjection const& projection, TQ3Point3D const& point, int width,
                             int height);

// The move in the scene, parallel to the image, that carries a point at the given depth
// along a mouse travel of (dx, dy) pixels (y down).
CVector3D ViewPlaneMove(ViewProjection const& projection, float depth, float dx, float dy,
                        int width, int height);

// Where the camera's picture lies in a window: as large as fits with the camera's aspect
// ratio, centred, the rest of the window left as black bars. Pixels from the window's top
// left; at least 1 x 1.
struct ImageRect {
    int x;
    int y;
    int width;
    int height;
};
ImageRect Letterbox(int windowWidth, int windowHeight, float aspectXToY);

// The camera turned about its point of interest: `across` radians about the up vector (the
// scene turns with the mouse), `along` radians about the camera's right axis.
TQ3CameraPlacement Orbit(TQ3CameraPlacement const& placement, float across, float along);
// Location and point of interest moved together.
TQ3CameraPlacement Pan(TQ3CameraPlacement const& placement, CVector3D const& move);
// The location brought toward the point of interest to `factor` of its distance (below 1
// comes closer); never closer than 1/1000 of a unit.
TQ3CameraPlacement Dolly(TQ3CameraPlacement const& placement, float factor);

} // namespace refhost::window
