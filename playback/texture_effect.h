// The texture effect pass: geometries with a texture effect scroll their texture in a fixed
// direction and turn it about a fixed centre, by the time since the animation's start.
#pragma once

#include "host/matrix3x3.h"
#include "host/scene/parser.h"

// The effect's UV transform for the geometry being handled, and whether it turns at this
// moment; read by CAnimateTParserGroup during its parse.
extern CMatrix3x3 gTextureTransform;
extern bool gAnimationContainsRotation;

// Gives every texture shader it meets the effect's transform, keeping the shader's own scale
// (and its own rotation while the effect does not turn).
class CAnimateTParserGroup : public CParserGroup {
public:
    bool ParseObjectAtributeSet(CSetObject* set, CMatrix4x4 const& matrix, bool* changed) override;
    bool ParseLooseAtributeSet(CAttributeSetObject* set, CMatrix4x4 const& matrix,
                               bool* changed) override;
    bool ParseLooseShader(CShaderObject* shader, CMatrix4x4 const& matrix, bool* changed) override;
};

// Every geometry of gAnimateTextureItems, last to first; one that fails is left as it is.
void DoTextureAnimation(float seconds);

// Rebuilds the UV transform of the geometry's texture shaders for the seconds since the
// animation's minimum time, so moving the time backward runs the texture backward.
void ApplyTextureTransformToGeometry(CShapeObject& geometry, float seconds, float scrollSpeed,
                                     float scrollDirection, float rotationRate, TQ3Point2D centre);

// The scale factors and the rotation (radians) of a UV transform.
void GetTextureInfo(CMatrix3x3& transform, CVector2D& scale, float* angle);

// The effect's transform at the seconds given: the rotation about centre, then the scroll
// (each component folded into 0..1).
CMatrix3x3 TextureEffectTransform(float seconds, float scrollSpeed, float scrollDirection,
                                  float rotationRate, TQ3Point2D centre, bool* rotates);
