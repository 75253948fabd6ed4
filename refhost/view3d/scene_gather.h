// The walk that turns a scene into a draw list. Attribute sets apply downwards: a group's or
// a geometry's own set, an attribute set or texture shader among a group's members (to the
// members after it), and a face's or vertex's set (its diffuse and transparency colours)
// each override what came from above. Transforms apply to the members after them within
// their group. Display groups that are not drawn are skipped with everything in them.
//
// Without a diffuse colour a surface is white, without a transparency colour opaque (the
// transparency colour's mean is its opacity: 1 opaque, 0 invisible), without a specular
// colour it has no highlight, without a specular control its highlight exponent is 4, and
// without an ambient coefficient it takes all of the ambient light. A texture shader's
// texture takes the place of the diffuse colour.
#pragma once

#include "refhost/view3d/draw_list.h"
#include "refhost/view3d/shape_library.h"
#include "refhost/view3d/view_aids.h"

namespace refhost::view3d {

// The geometries and lights of the two groups (either may be null; everything in selected
// is marked selected) and the lights of the view's light group (may be null): one instance
// per shape of each geometry, in the order the walk meets them, with its shapes found in (or
// added to) `shapes`; no batches yet (see OrderForDrawing). Starts a frame of `shapes`.
// Throws std::runtime_error naming the geometry when one cannot be tessellated.
DrawList GatherScene(ShapeLibrary& shapes, OpaqueTQ3Object* selected, OpaqueTQ3Object* others,
                     OpaqueTQ3Object* viewLights);

// Adds, for each ghost, a copy of every instance of its member: placed with the ghost's
// change after its own placement, see-through at the ghost's opacity, never selected and
// marked as a ghost (InstanceData's flags). Before OrderForDrawing.
void AddGhosts(DrawList& list, ShapeLibrary const& shapes, std::vector<Ghost> const& ghosts);

} // namespace refhost::view3d
