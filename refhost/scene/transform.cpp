#include "host/scene/transform.h"

#include "host/scene/group.h"
#include "refhost/scene/objects.h"

using namespace refhost::scene;

namespace {

Transform& TransformOf(OpaqueTQ3Object* object) {
    auto* transform = As<Transform>(object);
    if (!transform) {
        throw CSceneException("not a matrix transform");
    }
    return *transform;
}

} // namespace

CTransformObject::CTransformObject(CMatrix4x4 const& matrix)
    : CShapeObject(new Transform(matrix), "xfrm"_4cc, true) {}

CTransformObject::CTransformObject(OpaqueTQ3Object* object) : CShapeObject(object, "xfrm"_4cc) {}

CTransformObject::CTransformObject(C3DObject const& object)
    : CShapeObject(object.GetObject(), "xfrm"_4cc) {}

CTransformObject::CTransformObject(CGroupObject const& group, OpaqueTQ3GroupPosition* position)
    : CTransformObject(group.GetObjectAt(position)) {}

CMatrix4x4 CTransformObject::GetMatrix() const {
    return TransformOf(Require()).matrix;
}

void CTransformObject::SetData(CMatrix4x4 const& matrix) {
    TransformOf(Require()).matrix = matrix;
}
