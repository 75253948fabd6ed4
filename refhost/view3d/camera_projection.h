// Where a camera puts the scene on the image: the view and projection matrices of the three
// camera kinds, with the camera's placement, range and view port. Pure functions.
//
// Conventions: matrices here are OpenGL's, column-major (element [column * 4 + row]) and
// applied to column vectors. The camera looks from its location at its point of interest;
// its range gives the distances of the near (hither) and far (yon) planes; the view port is
// the part of the camera's unit square (origin at its top left, (-1, 1) with width and
// height 2 for the whole) that fills the image. The camera's frustum fills the image whatever
// the image's proportions, so an image of the camera's aspect ratio shows it undistorted.
#pragma once

#include <array>
#include <optional>

#include "host/qd3d_types.h"
#include "refhost/scene/objects.h"

namespace refhost::view3d {

using GlMatrix = std::array<float, 16>;

GlMatrix Multiply(GlMatrix const& a, GlMatrix const& b); // a * b: b applies first
std::array<float, 4> Apply(GlMatrix const& m, std::array<float, 4> const& v);

struct CameraMatrices {
    GlMatrix view;       // world to camera space (camera looking down -z, y up)
    GlMatrix projection; // camera space to clip space, view port included
    TQ3Point3D location; // the camera's location in the world
    bool orthographic;
};

// The matrices of a camera ("vana" view angle aspect, "vwpl" view plane, "orth"
// orthographic). A view angle camera's field of view spans the shorter side of its aspect
// ratio (vertical when the ratio is at least 1). Throws std::runtime_error naming the bad
// value: location equal to the point of interest, an up vector along the line of sight, a
// range with hither <= 0 (perspective kinds) or yon <= hither, a view port, field of view or
// extent of zero size.
CameraMatrices MatricesOf(refhost::scene::Camera const& camera);

// The pixel of a width x height image (x from the left, y from the top, both continuous:
// the centre of the top left pixel is (0.5, 0.5)) that shows a world point, or nothing when
// the point lies outside the camera's range or behind it.
std::optional<TQ3Point2D> PixelOf(CameraMatrices const& camera, TQ3Point3D const& point, int width,
                                  int height);

} // namespace refhost::view3d
