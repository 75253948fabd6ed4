#include "host/scene/group.h"

#include "host/scene/view.h"
#include "refhost/scene/objects.h"

using namespace refhost::scene;

namespace {

Group& GroupOf(OpaqueTQ3Object* object) {
    auto* group = As<Group>(object);
    if (!group) {
        throw CSceneException("not a group");
    }
    return *group;
}

// The place of a kind in an ordered display group.
int OrderRank(OpaqueTQ3Object const* object) {
    TypeChain const& chain = object->chain;
    if (chain.Has("xfrm"_4cc)) {
        return 0;
    }
    if (chain.Has("set "_4cc)) {
        return 1;
    }
    if (chain.Has("shdr"_4cc)) {
        return 2;
    }
    if (chain.Has("cmra"_4cc)) {
        return 3;
    }
    if (chain.Has("lght"_4cc)) {
        return 4;
    }
    if (chain.Has("gmtr"_4cc)) {
        return 5;
    }
    return chain.Has("grup"_4cc) ? 6 : 7;
}

bool Reaches(OpaqueTQ3Object* from, OpaqueTQ3Object const* target) {
    if (from == target) {
        return true;
    }
    if (auto* group = As<Group>(from)) {
        for (auto* p = group->first; p; p = p->next) {
            if (Reaches(p->object, target)) {
                return true;
            }
        }
    }
    return false;
}

void CheckPosition(Group const& group, OpaqueTQ3GroupPosition* position) {
    if (!position) {
        throw CSceneException("an empty group position");
    }
    if (position->owner != &group) {
        throw CSceneException("the position is not one of this group's");
    }
}

// Links a new position holding object in front of `before` (at the end for null).
OpaqueTQ3GroupPosition* Link(Group& group, OpaqueTQ3GroupPosition* before,
                             OpaqueTQ3Object* object) {
    if (!object) {
        throw CSceneException("a group cannot hold an empty wrapper");
    }
    if (Reaches(object, &group)) {
        throw CSceneException("a group cannot contain itself");
    }
    auto* position = new OpaqueTQ3GroupPosition{&group, object, nullptr, nullptr};
    Retain(object);
    position->next = before;
    position->previous = before ? before->previous : group.last;
    (position->previous ? position->previous->next : group.first) = position;
    (before ? before->previous : group.last) = position;
    ++group.count;
    return position;
}

// Where an ordered group puts object: in front of the first member of a later kind.
OpaqueTQ3GroupPosition* OrderedPlace(Group const& group, OpaqueTQ3Object const* object) {
    int rank = OrderRank(object);
    for (auto* p = group.first; p; p = p->next) {
        if (OrderRank(p->object) > rank) {
            return p;
        }
    }
    return nullptr;
}

} // namespace

CGroupObject::CGroupObject(OpaqueTQ3Object* object) : CShapeObject(object, "grup"_4cc) {}

CGroupObject::CGroupObject(C3DObject const& object)
    : CShapeObject(object.GetObject(), "grup"_4cc) {}

CGroupObject::CGroupObject(CGroupObject const& group, OpaqueTQ3GroupPosition* position)
    : CGroupObject(group.GetObjectAt(position)) {}

CGroupObject CGroupObject::NewGroup() {
    return CGroupObject(new Group(GroupKind::kPlain), "grup"_4cc, true);
}

OpaqueTQ3GroupPosition* CGroupObject::GetFirstObject() const {
    return GroupOf(Require()).first;
}

OpaqueTQ3GroupPosition* CGroupObject::NextPosition(OpaqueTQ3GroupPosition* position) const {
    CheckPosition(GroupOf(Require()), position);
    return position->next;
}

uint32_t CGroupObject::CountObjects() const {
    return GroupOf(Require()).count;
}

OpaqueTQ3GroupPosition* CGroupObject::GetFirstObjectOfType(TQ3ObjectType type) const {
    for (auto* p = GroupOf(Require()).first; p; p = p->next) {
        if (p->object->chain.Has(type)) {
            return p;
        }
    }
    return nullptr;
}

CSharedObject CGroupObject::GetObjectAt(OpaqueTQ3GroupPosition* position) const {
    CheckPosition(GroupOf(Require()), position);
    return CSharedObject(position->object);
}

OpaqueTQ3GroupPosition* CGroupObject::AddObject(C3DObject const& object) {
    Group& group = GroupOf(Require());
    OpaqueTQ3GroupPosition* before = group.kind == GroupKind::kOrdered && object.GetObject()
                                         ? OrderedPlace(group, object.GetObject())
                                         : nullptr;
    return Link(group, before, object.GetObject());
}

OpaqueTQ3GroupPosition* CGroupObject::AddBefore(OpaqueTQ3GroupPosition* position,
                                                C3DObject const& object) {
    Group& group = GroupOf(Require());
    CheckPosition(group, position);
    if (group.kind == GroupKind::kOrdered) {
        return AddObject(object);
    }
    return Link(group, position, object.GetObject());
}

void CGroupObject::RemoveObject(OpaqueTQ3GroupPosition* position) {
    Group& group = GroupOf(Require());
    CheckPosition(group, position);
    (position->previous ? position->previous->next : group.first) = position->next;
    (position->next ? position->next->previous : group.last) = position->previous;
    --group.count;
    OpaqueTQ3Object* object = position->object;
    delete position;
    Release(object);
}

CDisplayGroupObject::CDisplayGroupObject()
    : CGroupObject(new Group(GroupKind::kDisplay), "dspg"_4cc, true) {}

CDisplayGroupObject::CDisplayGroupObject(OpaqueTQ3Object* object)
    : CGroupObject(object, "dspg"_4cc) {}

CDisplayGroupObject::CDisplayGroupObject(C3DObject const& object)
    : CGroupObject(object.GetObject(), "dspg"_4cc) {}

uint32_t CDisplayGroupObject::GetState() const {
    return GroupOf(Require()).state;
}

void CDisplayGroupObject::SetState(uint32_t state) {
    GroupOf(Require()).state = state;
}

COrderedDisplayGroupObject::COrderedDisplayGroupObject()
    : CDisplayGroupObject(new Group(GroupKind::kOrdered), "ordg"_4cc, true) {}

COrderedDisplayGroupObject::COrderedDisplayGroupObject(OpaqueTQ3Object* object)
    : CDisplayGroupObject(object, "ordg"_4cc) {}

COrderedDisplayGroupObject::COrderedDisplayGroupObject(C3DObject const& object)
    : CDisplayGroupObject(object.GetObject(), "ordg"_4cc) {}

CListDisplayGroupObject::CListDisplayGroupObject()
    : CDisplayGroupObject(new Group(GroupKind::kList), "lstg"_4cc, true) {}

CListDisplayGroupObject::CListDisplayGroupObject(OpaqueTQ3Object* object)
    : CDisplayGroupObject(object, "lstg"_4cc) {}

CListDisplayGroupObject::CListDisplayGroupObject(C3DObject const& object)
    : CDisplayGroupObject(object.GetObject(), "lstg"_4cc) {}

CLightGroupObject::CLightGroupObject()
    : CGroupObject(new Group(GroupKind::kLight), "lghg"_4cc, true) {}

CLightGroupObject::CLightGroupObject(OpaqueTQ3Object* object) : CGroupObject(object, "lghg"_4cc) {}

CLightGroupObject::CLightGroupObject(C3DObject const& object)
    : CGroupObject(object.GetObject(), "lghg"_4cc) {}

CLightGroupObject::CLightGroupObject(CViewObject const& view)
    : CGroupObject(ViewPart(view, &View::lights, "light group"), "lghg"_4cc) {}
