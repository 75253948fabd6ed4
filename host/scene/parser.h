// Walks over a subtree of the scene. CGroupObject::Parse visits the group and its members
// depth first, in member order, and calls the parser's callbacks for what it meets:
// - ParseObject(group, position, ...) for every member of every group visited;
// - ParseObjectAtributeSet(set, ...) for the attribute set of every shape visited that has one
//   (the group parsed included);
// - ParseLooseAtributeSet(set, ...) for attribute sets that are themselves group members;
// - ParseLooseShader(shader, ...) for shaders that are group members;
// - ParseVertex(vertex, ...) for every vertex of a triangle or triangle mesh, with its
//   attribute set (a mesh vertex's texture coordinate appears as its surface UV).
// A CParserGroup's callbacks also get the matrix accumulated down to the element: the
// caller's matrix, then every transform met before it, the latest first (p * T2 * T1 * M).
// A transform inside a group applies to the members after it and ends with the group.
// Each callback returns whether the walk goes on (false ends it) and may set *changed:
// a changed vertex is written back into its geometry; sets and shaders are the scene's own
// objects, so their changes are in the scene at once.
// Switches: SetParseNonDrawn(false) skips display groups whose state is not drawn (and all
// they hold); each kind of callback can be switched off. Everything is on by default.
#pragma once

#include "host/matrix4x4.h"
#include "host/scene/attribute_set.h"
#include "host/scene/group.h"
#include "host/vectors.h"

class CShaderObject;

// A vertex of a geometry: its point and its attribute set (which may be empty).
class CVertex3D {
public:
    CVertex3D(TQ3Point3D const& point, CAttributeSetObject set) : fPoint(point), fSet(set) {}

    CPoint3D GetPoint() const { return fPoint; }
    void SetPoint(TQ3Point3D const& point) { fPoint = point; }
    bool HasSet() const { return !fSet.IsEmpty(); }
    // The vertex's set; an empty wrapper when it has none (GetSet().IsEmpty()).
    CAttributeSetObject const& GetSet() const { return fSet; }
    // Gives the vertex a set when it has none, so attributes can be added.
    CAttributeSetObject& GetOrMakeSet();
    bool Contains(TQ3AttributeType type) const { return HasSet() && fSet.Contains(type); }
    CParam2D GetSurfaceUV() const { return fSet.GetSurfaceUV(); }

private:
    CPoint3D fPoint;
    CAttributeSetObject fSet;
};

class CParserSwitches {
public:
    void SetParseNonDrawn(bool on) { fNonDrawn = on; }
    void SetParseObjects(bool on) { fObjects = on; }
    void SetParseObjectSets(bool on) { fObjectSets = on; }
    void SetParseLooseSets(bool on) { fLooseSets = on; }
    void SetParseLooseShaders(bool on) { fLooseShaders = on; }
    void SetParseVertices(bool on) { fVertices = on; }

    bool ParsesNonDrawn() const { return fNonDrawn; }
    bool ParsesObjects() const { return fObjects; }
    bool ParsesObjectSets() const { return fObjectSets; }
    bool ParsesLooseSets() const { return fLooseSets; }
    bool ParsesLooseShaders() const { return fLooseShaders; }
    bool ParsesVertices() const { return fVertices; }

private:
    bool fNonDrawn = true, fObjects = true, fObjectSets = true, fLooseSets = true,
         fLooseShaders = true, fVertices = true;
};

class CParserGroup : public CParserSwitches {
public:
    CParserGroup() = default;
    virtual ~CParserGroup();

    virtual bool ParseObject(CGroupObject* group, OpaqueTQ3GroupPosition* position,
                             CMatrix4x4 const& matrix, bool* changed);
    virtual bool ParseObjectAtributeSet(CSetObject* set, CMatrix4x4 const& matrix, bool* changed);
    virtual bool ParseLooseAtributeSet(CAttributeSetObject* set, CMatrix4x4 const& matrix,
                                       bool* changed);
    virtual bool ParseLooseShader(CShaderObject* shader, CMatrix4x4 const& matrix, bool* changed);
    virtual bool ParseVertex(CVertex3D* vertex, CMatrix4x4 const& matrix, bool* changed);
};

// The same walk without the accumulated matrix.
class CMiniParserGroup : public CParserSwitches {
public:
    CMiniParserGroup() = default;
    virtual ~CMiniParserGroup();

    virtual bool ParseObject(CGroupObject* group, OpaqueTQ3GroupPosition* position, bool* changed);
    virtual bool ParseObjectAtributeSet(CSetObject* set, bool* changed);
    virtual bool ParseLooseAtributeSet(CAttributeSetObject* set, bool* changed);
    virtual bool ParseLooseShader(CShaderObject* shader, bool* changed);
    virtual bool ParseVertex(CVertex3D* vertex, bool* changed);
};
