// Matrix transforms: a member of a group that moves the members after it.
#pragma once

#include "host/matrix4x4.h"
#include "host/scene/shape.h"

class CTransformObject : public CShapeObject {
public:
    int Level() const override { return 2; }
    // A new transform holding the matrix.
    explicit CTransformObject(CMatrix4x4 const& matrix);
    explicit CTransformObject(OpaqueTQ3Object* object);
    CTransformObject(C3DObject const& object);
    CTransformObject(CGroupObject const& group, OpaqueTQ3GroupPosition* position);

    CMatrix4x4 GetMatrix() const;
    // Replaces the matrix.
    void SetData(CMatrix4x4 const& matrix);
};
