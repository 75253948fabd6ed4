// The order in which a frame's instances are drawn, and their batches.
#pragma once

#include "refhost/view3d/camera_projection.h"
#include "refhost/view3d/draw_list.h"
#include "refhost/view3d/shape_library.h"

namespace refhost::view3d {

// Puts the instances in drawing order and splits them into batches: first the opaque ones,
// grouped by material, selection and shape (the groups of one material and selection next
// to each other), in the order the walk met them; then
// the see-through ones from the farthest from `eye` to the nearest (by the mean of their
// vertices), so that they blend over what lies behind them.
void OrderForDrawing(DrawList& list, ShapeLibrary const& shapes, TQ3Point3D const& eye);

// Lets the back faces of an opaque instance of a closed shape be skipped (InstanceData's
// flags) where the near plane of `viewProjection` (an OpenGL matrix) leaves the whole shape
// in view: the eye is then outside the shape and no cut shows its inside, so the faces that
// turn away from the eye lie behind the others. Elsewhere every face is drawn.
void MarkHiddenBackFaces(DrawList& list, ShapeLibrary const& shapes,
                         GlMatrix const& viewProjection);

} // namespace refhost::view3d
