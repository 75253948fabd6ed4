// The one depth-first walk over a subtree that the parser, the bounds and the group's
// surface values share. Transforms apply to the members after them within their group, the
// latest first; a group's end ends them.
#pragma once

#include "host/matrix4x4.h"
#include "refhost/scene/objects.h"

namespace refhost::scene {

// Each callback answers whether the walk goes on.
class WalkVisitor {
public:
    virtual ~WalkVisitor() = default;
    // Every member of every group visited, before the member itself is visited.
    virtual bool Member(Group&, OpaqueTQ3GroupPosition*, CMatrix4x4 const&) { return true; }
    // The attribute set of a shape visited.
    virtual bool ObjectSet(OpaqueTQ3Object* /*shape*/, AttributeSet&, CMatrix4x4 const&) {
        return true;
    }
    virtual bool LooseSet(AttributeSet&, CMatrix4x4 const&) { return true; }
    virtual bool LooseShader(TextureShader&, CMatrix4x4 const&) { return true; }
    virtual bool VisitGeometry(Geometry&, CMatrix4x4 const&) { return true; }
    virtual bool VisitLight(Light&, CMatrix4x4 const&) { return true; }
};

// Walks root (a group, or a single shape) under matrix. Display groups that are not drawn
// are skipped with everything in them unless includeNonDrawn. Returns false when a callback
// ended the walk.
bool Walk(OpaqueTQ3Object* root, CMatrix4x4 const& matrix, bool includeNonDrawn,
          WalkVisitor& visitor);

} // namespace refhost::scene
