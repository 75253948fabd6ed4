// A group's colours and surface values, over the attribute sets of its groups and
// geometries (and, when asked, of their vertices and faces).
#include <optional>

#include "host/scene/group.h"
#include "refhost/scene/walk.h"

using namespace refhost::scene;

namespace {

template <typename T>
using Field = std::optional<T> AttributeSet::*;

// Visits, depth first, the sets that hold a group's colours and surface values: those of its
// groups and geometries and, when asked, of their vertices and faces. Each set goes to Visit,
// which answers whether the walk goes on; nothing is collected, so a playback tick that
// writes a group's colour allocates nothing.
class SurfaceSetVisitor : public WalkVisitor {
public:
    explicit SurfaceSetVisitor(bool includeVertexSets) : fVertexSets(includeVertexSets) {}

    bool ObjectSet(OpaqueTQ3Object* shape, AttributeSet& set, CMatrix4x4 const&) override {
        if (shape->chain.Has("grup"_4cc) || shape->chain.Has("gmtr"_4cc)) {
            return Visit(set);
        }
        return true;
    }
    bool VisitGeometry(Geometry& geometry, CMatrix4x4 const&) override {
        if (!fVertexSets) {
            return true;
        }
        if (auto* box = As<Box>(&geometry)) {
            return VisitAll(box->faceSets.begin(), box->faceSets.end());
        }
        if (auto* triangle = As<Triangle>(&geometry)) {
            for (Vertex const& v : triangle->vertices) {
                if (!VisitAll(&v.set, &v.set + 1)) {
                    return false;
                }
            }
            return true;
        }
        if (auto* mesh = As<TriMesh>(&geometry)) {
            return VisitAll(mesh->faceSets.begin(), mesh->faceSets.end());
        }
        return true;
    }

protected:
    virtual bool Visit(AttributeSet& set) = 0;

private:
    template <typename Iterator>
    bool VisitAll(Iterator begin, Iterator end) {
        for (; begin != end; ++begin) {
            if (auto* set = As<AttributeSet>(*begin); set && !Visit(*set)) {
                return false;
            }
        }
        return true;
    }
    bool fVertexSets;
};

// Stops at the first set that holds the field.
template <typename T>
class FirstValue : public SurfaceSetVisitor {
public:
    FirstValue(Field<T> field, bool vertexSets) : SurfaceSetVisitor(vertexSets), fField(field) {}
    bool Visit(AttributeSet& set) override {
        if (set.*fField) {
            value = *(set.*fField);
            return false;
        }
        return true;
    }
    std::optional<T> value;

private:
    Field<T> fField;
};

// Writes the value into every set that holds the field.
template <typename T>
class ValueWriter : public SurfaceSetVisitor {
public:
    ValueWriter(Field<T> field, bool vertexSets, T const& value)
        : SurfaceSetVisitor(vertexSets), fField(field), fValue(value) {}
    bool Visit(AttributeSet& set) override {
        if (set.*fField) {
            set.*fField = fValue;
            changed = true;
        }
        return true;
    }
    bool changed = false;

private:
    Field<T> fField;
    T const& fValue;
};

AttributeSet& OwnSet(OpaqueTQ3Object* group) {
    if (!As<AttributeSet>(group->set)) {
        Release(group->set);
        group->set = new AttributeSet;
    }
    return *As<AttributeSet>(group->set);
}

template <typename T>
bool GetFirst(OpaqueTQ3Object* group, Field<T> field, bool vertexSets, bool nonDrawn, T* value) {
    FirstValue<T> first(field, vertexSets);
    Walk(group, CMatrix4x4(1.0), nonDrawn, first);
    if (first.value) {
        *value = *first.value;
    }
    return first.value.has_value();
}

template <typename T>
void ChangeAll(OpaqueTQ3Object* group, Field<T> field, bool vertexSets, bool nonDrawn,
               T const& value) {
    ValueWriter<T> writer(field, vertexSets, value);
    Walk(group, CMatrix4x4(1.0), nonDrawn, writer);
    if (!writer.changed) {
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
