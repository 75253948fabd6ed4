#include "refhost/scene/walk.h"

namespace refhost::scene {

namespace {

// Keeps a member alive while the walk is at it, whatever the callbacks do or throw.
class Hold {
public:
    explicit Hold(OpaqueTQ3Object* object) : fObject(object) { Retain(object); }
    Hold(Hold const&) = delete;
    Hold& operator=(Hold const&) = delete;
    ~Hold() { Release(fObject); }

private:
    OpaqueTQ3Object* fObject;
};

bool WalkMembers(Group& group, CMatrix4x4 matrix, bool includeNonDrawn, WalkVisitor& visitor) {
    for (OpaqueTQ3GroupPosition* p = group.first; p;) {
        // Read the next position first: a callback may take this member out of the group.
        OpaqueTQ3GroupPosition* next = p->next;
        OpaqueTQ3Object* member = p->object;
        Hold hold(member);
        bool goOn = visitor.Member(group, p, matrix);
        if (goOn) {
            if (auto* transform = As<Transform>(member)) {
                matrix = transform->matrix * matrix;
            } else if (auto* set = As<AttributeSet>(member)) {
                goOn = visitor.LooseSet(*set, matrix);
            } else if (auto* shader = As<TextureShader>(member)) {
                goOn = visitor.LooseShader(*shader, matrix);
            }
            if (goOn && !As<AttributeSet>(member)) {
                goOn = Walk(member, matrix, includeNonDrawn, visitor);
            }
        }
        if (!goOn) {
            return false;
        }
        p = next;
    }
    return true;
}

} // namespace

bool Walk(OpaqueTQ3Object* root, CMatrix4x4 const& matrix, bool includeNonDrawn,
          WalkVisitor& visitor) {
    auto* group = As<Group>(root);
    if (group && !group->IsDrawn() && !includeNonDrawn) {
        return true;
    }
    if (auto* set = As<AttributeSet>(root ? root->set : nullptr)) {
        if (!visitor.ObjectSet(root, *set, matrix)) {
            return false;
        }
    }
    if (group) {
        return WalkMembers(*group, matrix, includeNonDrawn, visitor);
    }
    if (auto* geometry = As<Geometry>(root)) {
        return visitor.VisitGeometry(*geometry, matrix);
    }
    if (auto* light = As<Light>(root)) {
        return visitor.VisitLight(*light, matrix);
    }
    return true;
}

} // namespace refhost::scene
