// Parser groups that gather facts about a subtree: its texture count, the range of its
// texture coordinates and whether it has a diffuse colour. Each fills globals that the
// caller resets before it parses and reads after. None changes the scene.
#pragma once

#include <cstdint>

#include "host/qd3d_types.h"
#include "host/scene/parser.h"

// Texture shaders met by the last CGetPaletteInfoParserGroup walks.
int32_t GetTextureCount();
void SetTextureCount(int32_t count);
extern int32_t gTextureCount;

// The range of the texture coordinates met by CScanTParserGroup, and whether any were.
extern TQ3Param2D gMinUV;
extern TQ3Param2D gMaxUV;
extern bool gContainsUVs;

// Whether CScanOParserGroup met an attribute set with a diffuse colour.
extern bool gAnimateThisObject;

// Counts the texture shaders of drawn objects: those in attribute sets and loose ones.
class CGetPaletteInfoParserGroup : public CParserGroup {
public:
    CGetPaletteInfoParserGroup();
    bool ParseObjectAtributeSet(CSetObject* set, CMatrix4x4 const& matrix, bool* changed) override;
    bool ParseLooseAtributeSet(CAttributeSetObject* set, CMatrix4x4 const& matrix,
                               bool* changed) override;
    bool ParseLooseShader(CShaderObject* shader, CMatrix4x4 const& matrix, bool* changed) override;
};

// Widens gMinUV..gMaxUV by the surface UVs of the vertices of drawn objects, and by 0..1
// for the geometries with built-in texture coordinates (NURB curves and patches, boxes,
// triangles).
class CScanTParserGroup : public CParserGroup {
public:
    CScanTParserGroup();
    bool ParseVertex(CVertex3D* vertex, CMatrix4x4 const& matrix, bool* changed) override;
    bool ParseObject(CGroupObject* group, OpaqueTQ3GroupPosition* position,
                     CMatrix4x4 const& matrix, bool* changed) override;
};

// Notes whether any object's attribute set holds a diffuse colour.
class CScanOParserGroup : public CMiniParserGroup {
public:
    bool ParseObjectAtributeSet(CSetObject* set, bool* changed) override;
};
