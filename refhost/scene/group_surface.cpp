// A group's colours and surface values, over the attribute sets of its groups and
// geometries (and, when asked, of their vertices and faces).
#include <functional>
#include <vector>

#include "host/scene/group.h"
#include "refhost/scene/walk.h"

using namespace refhost::scene;

namespace {

class SetCollector : public WalkVisitor {
public:
    explicit SetCollector(bool includeVertexSets) : fVertexSets(includeVertexSets) {}

    bool ObjectSet(OpaqueTQ3Object* shape, AttributeSet& set, CMatrix4x4 const&) override {
        if (shape->chain.Has("grup"_4cc) || shape->chain.Has("gmtr"_4cc)) {
            sets.push_back(&set);
        }
        return true;
    }
    bool VisitGeometry(Geometry& geometry, CMatrix4x4 const&) override {
        if (!fVertexSets) {
            return true;
        }
        if (auto* box = As<Box>(&geometry)) {
            Collect(box->faceSets.begin(), box->faceSets.end());
        } else if (auto* triangle = As<Triangle>(&geometry)) {
            for (Vertex const& v : triangle->vertices) {
                Collect(&v.set, &v.set + 1);
            }
        } else if (auto* mesh = As<TriMesh>(&geometry)) {
            Collect(mesh->faceSets.begin(), mesh->faceSets.end());
        }
        return true;
    }

    std::vector<AttributeSet*> sets;

private:
    template <typename Iterator>
    void Collect(Iterator begin, Iterator end) {
        for (; begin != end; ++begin) {
            if (auto* set = As<AttributeSet>(*begin)) {
                sets.push_back(set);
            }
        }
    }
    bool fVertexSets;
};

std::vector<AttributeSet*> SetsOf(OpaqueTQ3Object* group, bool vertexSets, bool nonDrawn) {
    SetCollector collector(vertexSets);
    Walk(group, CMatrix4x4(1.0), nonDrawn, collector);
    return collector.sets;
}

AttributeSet& OwnSet(OpaqueTQ3Object* group) {
    if (!As<AttributeSet>(group->set)) {
        Release(group->set);
        group->set = new AttributeSet;
    }
    return *As<AttributeSet>(group->set);
}

template <typename T>
using Field = std::optional<T> AttributeSet::*;

template <typename T>
bool GetFirst(OpaqueTQ3Object* group, Field<T> field, bool vertexSets, bool nonDrawn, T* value) {
    for (AttributeSet* set : SetsOf(group, vertexSets, nonDrawn)) {
        if (set->*field) {
            *value = *(set->*field);
            return true;
        }
    }
    return false;
}

template <typename T>
void ChangeAll(OpaqueTQ3Object* group, Field<T> field, bool vertexSets, bool nonDrawn,
               T const& value) {
    bool changed = false;
    for (AttributeSet* set : SetsOf(group, vertexSets, nonDrawn)) {
        if (set->*field) {
            set->*field = value;
            changed = true;
        }
    }
    if (!changed) {
        OwnSet(group).*field = value;
    }
}

Field<float> SurfaceField(int32_t which) {
    switch (which) {
    case 0:
        return &AttributeSet::ambientCoefficient;
    case 1:
        return &AttributeSet::specularControl;
    default:
        throw CSceneException("no surface value " + std::to_string(which));
    }
}

bool IsCSGGeometry(OpaqueTQ3Object* shape) {
    auto* set = As<AttributeSet>(shape->set);
    return shape->chain.Has("gmtr"_4cc) && set && set->csgID;
}

class CSGFinder : public WalkVisitor {
public:
    bool VisitGeometry(Geometry& geometry, CMatrix4x4 const&) override {
        found = IsCSGGeometry(&geometry);
        return !found;
    }
    bool found = false;
};

} // namespace

bool CGroupObject::GetTheGroupColor(TQ3ColorRGB* colour, bool specular, bool includeVertexSets,
                                    bool includeNonDrawn) const {
    return GetFirst(Require(), specular ? &AttributeSet::specular : &AttributeSet::diffuse,
                    includeVertexSets, includeNonDrawn, colour);
}

void CGroupObject::ChangeGroupColor(TQ3ColorRGB const& colour, bool specular,
                                    bool includeVertexSets, bool includeNonDrawn) {
    ChangeAll(Require(), specular ? &AttributeSet::specular : &AttributeSet::diffuse,
              includeVertexSets, includeNonDrawn, colour);
}

bool CGroupObject::GetTheGroupSurfaceAttribute(float* value, int32_t which) const {
    if (which == 2) {
        TQ3ColorRGB transparency;
        if (!GetFirst(Require(), &AttributeSet::transparency, false, false, &transparency)) {
            return false;
        }
        *value = (transparency.r + transparency.g + transparency.b) / 3.0f;
        return true;
    }
    return GetFirst(Require(), SurfaceField(which), false, false, value);
}

void CGroupObject::ChangeGroupSurfaceAttribute(float value, int32_t which) {
    if (which == 2) {
        ChangeAll(Require(), &AttributeSet::transparency, false, false,
                  TQ3ColorRGB{value, value, value});
        return;
    }
    ChangeAll(Require(), SurfaceField(which), false, false, value);
}

bool CGroupObject::ContainsAnyDrawnCSGs() const {
    CSGFinder finder;
    Walk(Require(), CMatrix4x4(1.0), false, finder);
    return finder.found;
}
