// Shapes: groups, transforms, geometries, lights, cameras and shaders. A shape may carry an
// attribute set of its own.
#pragma once

#include "host/scene/scene_object.h"

class CSetObject;

class CShapeObject : public CSharedObject {
public:
    int Level() const override { return 1; }
    CShapeObject() = default;
    explicit CShapeObject(OpaqueTQ3Object* object);
    CShapeObject(C3DObject const& object);
    CShapeObject(CGroupObject const& group, OpaqueTQ3GroupPosition* position);

    bool HasSet() const;
    // The shape's attribute set (the same object, shared); throws when it has none.
    CSetObject GetSet() const;
    // Gives the shape this set (shared, not copied), replacing the one it had.
    void SetSet(CSetObject const& set);
    // Gives this shape a copy of source's attribute set (custom attribute blocks copied).
    // With replace the copy takes the place of this shape's own set; without it, the copy's
    // attributes are added to this shape's set where it lacks them. A source without a set
    // leaves this shape as it is.
    void CopySet(CShapeObject const& source, bool replace);

protected:
    using CSharedObject::CSharedObject;
};
