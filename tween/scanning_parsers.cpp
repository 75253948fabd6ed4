#include "tween/scanning_parsers.h"

#include <algorithm>

#include "host/scene.h"

int32_t gTextureCount = 0;
TQ3Param2D gMinUV{0, 0};
TQ3Param2D gMaxUV{0, 0};
bool gContainsUVs = false;
bool gAnimateThisObject = false;

int32_t GetTextureCount() {
    return gTextureCount;
}

void SetTextureCount(int32_t count) {
    gTextureCount = count;
}

namespace {

void Widen(TQ3Param2D low, TQ3Param2D high) {
    gMinUV = {std::min(gMinUV.u, low.u), std::min(gMinUV.v, low.v)};
    gMaxUV = {std::max(gMaxUV.u, high.u), std::max(gMaxUV.v, high.v)};
    gContainsUVs = true;
}

bool HasBuiltInTextureCoordinates(TQ3ObjectType leafType) {
    switch (leafType) {
    case "nrbc"_4cc:
    case "nrbp"_4cc:
    case "box "_4cc:
    case "trng"_4cc:
        return true;
    default:
        return false;
    }
}

} // namespace

CGetPaletteInfoParserGroup::CGetPaletteInfoParserGroup() {
    SetParseNonDrawn(false);
    SetParseObjects(false);
    SetParseVertices(false);
}

bool CGetPaletteInfoParserGroup::ParseObjectAtributeSet(CSetObject* set, CMatrix4x4 const& matrix,
                                                        bool* changed) {
    if (set->GetType() == "attr"_4cc && set->Contains(kQ3AttributeTypeSurfaceShader)) {
        CTextureShaderObject shader = set->GetTextureShader();
        ParseLooseShader(&shader, matrix, changed);
    }
    return true;
}

bool CGetPaletteInfoParserGroup::ParseLooseAtributeSet(CAttributeSetObject* set,
                                                       CMatrix4x4 const& matrix, bool* changed) {
    return ParseObjectAtributeSet(set, matrix, changed);
}

bool CGetPaletteInfoParserGroup::ParseLooseShader(CShaderObject*, CMatrix4x4 const&, bool*) {
    gTextureCount += 1;
    return true;
}

CScanTParserGroup::CScanTParserGroup() {
    SetParseNonDrawn(false);
    SetParseObjectSets(false);
    SetParseLooseSets(false);
    SetParseLooseShaders(false);
}

bool CScanTParserGroup::ParseVertex(CVertex3D* vertex, CMatrix4x4 const&, bool*) {
    if (vertex->Contains(kQ3AttributeTypeSurfaceUV)) {
        CParam2D const uv = vertex->GetSurfaceUV();
        Widen({uv.u, uv.v}, {uv.u, uv.v});
    }
    return true;
}

bool CScanTParserGroup::ParseObject(CGroupObject* group, OpaqueTQ3GroupPosition* position,
                                    CMatrix4x4 const&, bool*) {
    if (HasBuiltInTextureCoordinates(CSharedObject(*group, position).GetLeafType())) {
        Widen({0, 0}, {1, 1});
    }
    return true;
}

bool CScanOParserGroup::ParseObjectAtributeSet(CSetObject* set, bool*) {
    gAnimateThisObject = gAnimateThisObject || set->Contains(kQ3AttributeTypeDiffuseColor);
    return true;
}
