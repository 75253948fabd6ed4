// Groups and their members. A group holds references to its members, in order; a position
// (OpaqueTQ3GroupPosition*) names one member of one group and stays valid until that member
// is removed. Display groups have a state; an ordered display group keeps its members
// ordered by kind: transforms, attribute sets, shaders, cameras, lights, geometries, groups.
#pragma once

#include <cstdint>

#include "host/matrix4x4.h"
#include "host/qd3d_types.h"
#include "host/scene/shape.h"

class CParserGroup;
class CMiniParserGroup;
class CViewObject;

// Display group state bits.
inline constexpr uint32_t kQ3DisplayGroupStateMaskIsDrawn = 0x01;
inline constexpr uint32_t kQ3DisplayGroupStateMaskIsInline = 0x02;
inline constexpr uint32_t kQ3DisplayGroupStateMaskIsPicked = 0x10;
inline constexpr uint32_t kQ3DisplayGroupStateMaskIsWritten = 0x20;
// The state of a new display group: drawn, picked and written.
inline constexpr uint32_t kQ3DisplayGroupStateDefault = 0x31;

class CGroupObject : public CShapeObject {
public:
    int Level() const override { return 2; }
    // An empty wrapper (no group).
    CGroupObject() = default;
    explicit CGroupObject(OpaqueTQ3Object* object);
    CGroupObject(C3DObject const& object);
    CGroupObject(CGroupObject const& group, OpaqueTQ3GroupPosition* position);
    // A new plain group.
    static CGroupObject NewGroup();

    // The first member's position, or null for an empty group.
    OpaqueTQ3GroupPosition* GetFirstObject() const;
    // The position after position, or null at the end.
    OpaqueTQ3GroupPosition* NextPosition(OpaqueTQ3GroupPosition* position) const;
    uint32_t CountObjects() const;
    // The first member that is of the type (anywhere along its type chain), or null.
    OpaqueTQ3GroupPosition* GetFirstObjectOfType(TQ3ObjectType type) const;
    // The member at the position.
    CSharedObject GetObjectAt(OpaqueTQ3GroupPosition* position) const;

    // Adds a reference to object at the end (an ordered group places it by kind); returns
    // its position. A group cannot contain itself, directly or through its members.
    OpaqueTQ3GroupPosition* AddObject(C3DObject const& object);
    // Adds object in front of the member at position (an ordered group places it by kind).
    OpaqueTQ3GroupPosition* AddBefore(OpaqueTQ3GroupPosition* position, C3DObject const& object);
    // Takes the member at position out of the group and releases the group's reference.
    void RemoveObject(OpaqueTQ3GroupPosition* position);

    // Walks the group depth first (see host/scene/parser.h).
    void Parse(CParserGroup& parser, CMatrix4x4 const& matrix);
    void Parse(CParserGroup& parser) { Parse(parser, CMatrix4x4(1.0)); }
    void Parse(CMiniParserGroup& parser);

    // The group's colours and surface values live in the attribute sets of its shapes: the
    // group's own set and those of its members, met depth first. The colour is the diffuse
    // colour, or with specular the specular colour; the surface value `which` is 0 the
    // ambient coefficient, 1 the specular control (shininess), 2 the transparency (the
    // transparency colour's mean: 1 opaque, 0 clear). With includeVertexSets the sets of
    // vertices and faces count too; with includeNonDrawn so do display groups that are not
    // drawn.
    // Get gives the first value met and answers whether there was one. Change writes the value
    // into every set met that holds that attribute, or into the group's own set (made when
    // missing) when none does; so a later Get gives it back.
    bool GetTheGroupColor(TQ3ColorRGB* colour, bool specular, bool includeVertexSets,
                          bool includeNonDrawn) const;
    void ChangeGroupColor(TQ3ColorRGB const& colour, bool specular, bool includeVertexSets,
                          bool includeNonDrawn);
    bool GetTheGroupSurfaceAttribute(float* value, int32_t which) const;
    void ChangeGroupSurfaceAttribute(float value, int32_t which);
    // Whether some drawn geometry of the group is part of a constructive solid (carries a
    // CSG object id).
    bool ContainsAnyDrawnCSGs() const;

protected:
    using CShapeObject::CShapeObject;
};

class CDisplayGroupObject : public CGroupObject {
public:
    int Level() const override { return 3; }
    // A new display group.
    CDisplayGroupObject();
    explicit CDisplayGroupObject(OpaqueTQ3Object* object);
    CDisplayGroupObject(C3DObject const& object);

    uint32_t GetState() const;
    void SetState(uint32_t state);

protected:
    using CGroupObject::CGroupObject;
};

class COrderedDisplayGroupObject : public CDisplayGroupObject {
public:
    // A new ordered display group.
    COrderedDisplayGroupObject();
    explicit COrderedDisplayGroupObject(OpaqueTQ3Object* object);
    COrderedDisplayGroupObject(C3DObject const& object);
};

// A display group that keeps its members in the order they were added.
class CListDisplayGroupObject : public CDisplayGroupObject {
public:
    // A new list display group.
    CListDisplayGroupObject();
    explicit CListDisplayGroupObject(OpaqueTQ3Object* object);
    CListDisplayGroupObject(C3DObject const& object);
};

// The lights of a view.
class CLightGroupObject : public CGroupObject {
public:
    // A new light group.
    CLightGroupObject();
    explicit CLightGroupObject(OpaqueTQ3Object* object);
    CLightGroupObject(C3DObject const& object);
    // The view's light group; throws when the view has none.
    explicit CLightGroupObject(CViewObject const& view);
};
