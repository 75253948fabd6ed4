#include "host/scene/scene_object.h"

#include <utility>

#include "host/scene/attribute_set.h"
#include "host/scene/group.h"
#include "host/scene/shape.h"
#include "refhost/scene/objects.h"

using namespace refhost::scene;

CSceneException::CSceneException(std::string const& message) : std::runtime_error(message) {}

CSceneException::~CSceneException() = default;

C3DObject::C3DObject(OpaqueTQ3Object* object) : C3DObject(object, 0) {}

C3DObject::C3DObject(OpaqueTQ3Object* object, TQ3ObjectType requiredType, bool adopt) {
    if (object && requiredType != 0 && !object->chain.Has(requiredType)) {
        if (adopt) {
            Release(object);
        }
        throw CSceneException("expected a '" + FourCharCodeText(requiredType) +
                              "' object, found a '" + FourCharCodeText(object->chain.Leaf()) + "'");
    }
    fObject = object;
    if (!adopt) {
        Retain(fObject);
    }
}

C3DObject::C3DObject(C3DObject const& other) : fObject(other.fObject) {
    Retain(fObject);
}

C3DObject::C3DObject(C3DObject&& other) noexcept : fObject(std::exchange(other.fObject, nullptr)) {}

C3DObject& C3DObject::operator=(C3DObject const& other) {
    Assign(fObject, other.fObject);
    return *this;
}

C3DObject& C3DObject::operator=(C3DObject&& other) noexcept {
    if (this != &other) {
        Release(fObject);
        fObject = std::exchange(other.fObject, nullptr);
    }
    return *this;
}

C3DObject::~C3DObject() {
    Release(fObject);
}

void C3DObject::Dispose(OpaqueTQ3Object* object) {
    Release(object);
}

void C3DObject::Dispose() {
    Release(std::exchange(fObject, nullptr));
}

OpaqueTQ3Object* C3DObject::GetReference() const {
    Retain(fObject);
    return fObject;
}

namespace {

struct SceneCalls {
    std::size_t count = 0;
    unsigned failCountdown = 0;
};

SceneCalls& Calls() {
    static SceneCalls calls;
    return calls;
}

} // namespace

namespace refhost::scene {

void FailNthSceneCallFromNow(unsigned n) {
    Calls().failCountdown = n;
}

std::size_t SceneCallCount() {
    return Calls().count;
}

} // namespace refhost::scene

OpaqueTQ3Object* C3DObject::Require() const {
    SceneCalls& calls = Calls();
    ++calls.count;
    if (calls.failCountdown > 0 && --calls.failCountdown == 0) {
        throw CSceneException("an injected failure of the scene library");
    }
    if (!fObject) {
        throw CSceneException("the wrapper holds no object");
    }
    return fObject;
}

TQ3ObjectType C3DObject::GetType() const {
    return Require()->chain.At(Level());
}

TQ3ObjectType C3DObject::GetLeafType() const {
    return Require()->chain.Leaf();
}

bool C3DObject::IsType(TQ3ObjectType type) const {
    return Require()->chain.Has(type);
}

CSharedObject::CSharedObject(OpaqueTQ3Object* object) : C3DObject(object, 0) {}

CSharedObject::CSharedObject(C3DObject const& object) : C3DObject(object.GetObject(), 0) {}

CSharedObject::CSharedObject(CGroupObject const& group, OpaqueTQ3GroupPosition* position)
    : CSharedObject(group.GetObjectAt(position)) {}

CShapeObject::CShapeObject(OpaqueTQ3Object* object) : CSharedObject(object, "shap"_4cc) {}

CShapeObject::CShapeObject(C3DObject const& object)
    : CSharedObject(object.GetObject(), "shap"_4cc) {}

CShapeObject::CShapeObject(CGroupObject const& group, OpaqueTQ3GroupPosition* position)
    : CShapeObject(group.GetObjectAt(position)) {}

bool CShapeObject::HasSet() const {
    return Require()->set != nullptr;
}

CSetObject CShapeObject::GetSet() const {
    return CSetObject(*this);
}

void CShapeObject::SetSet(CSetObject const& set) {
    if (!As<AttributeSet>(set.GetObject())) {
        throw CSceneException("a shape can only be given an attribute set");
    }
    Assign(Require()->set, set.GetObject());
}

void CShapeObject::CopySet(CShapeObject const& source, bool replace) {
    auto* theirs = As<AttributeSet>(source.Require()->set);
    if (!theirs) {
        return;
    }
    OpaqueTQ3Object* self = Require();
    auto* mine = As<AttributeSet>(self->set);
    if (replace || !mine) {
        auto* copy = new AttributeSet;
        try {
            copy->CopyFrom(*theirs, true);
        } catch (...) {
            Release(copy);
            throw;
        }
        Release(self->set);
        self->set = copy;
        return;
    }
    mine->CopyFrom(*theirs, false);
}
