// Attribute sets: the standard surface attributes, the name, and custom attributes.
//
// Custom attributes. Each custom attribute type holds one element: a THandlePair naming a
// relocatable block and its byte size. The set OWNS the block it holds:
// - AddType(type, &pair) stores the pair. Storing the block the set already holds (the same
//   Handle) only updates the size; storing another block releases the one held before.
//   After AddType the caller must not release the block: it belongs to the set.
// - GetData(type, &pair) hands out the set's own pair (the same Handle, not a copy); the
//   caller may change the block's contents and size in place and stores the pair back.
// - ClearType releases the block; so does the set's end, when its last reference goes.
// - Copying a set (CopySet, file round trips) copies blocks; two sets never share one.
// So a caller never releases a block it read from a set or stored into one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/mac_types.h"
#include "host/pascal_string.h"
#include "host/qd3d_types.h"
#include "host/scene/scene_object.h"
#include "host/vectors.h"

// The standard attribute types.
inline constexpr TQ3AttributeType kQ3AttributeTypeSurfaceUV = 1;          // TQ3Param2D
inline constexpr TQ3AttributeType kQ3AttributeTypeAmbientCoefficient = 4; // float, 0..1
inline constexpr TQ3AttributeType kQ3AttributeTypeDiffuseColor = 5;       // TQ3ColorRGB
inline constexpr TQ3AttributeType kQ3AttributeTypeSpecularColor = 6;      // TQ3ColorRGB
inline constexpr TQ3AttributeType kQ3AttributeTypeSpecularControl = 7;    // float, shininess
inline constexpr TQ3AttributeType kQ3AttributeTypeTransparencyColor = 8;  // TQ3ColorRGB, 1 opaque
inline constexpr TQ3AttributeType kQ3AttributeTypeSurfaceShader = 11;     // texture shader
inline constexpr TQ3AttributeType kQ3AttributeTypeCSGObjectID = 12;       // int32_t
inline constexpr TQ3AttributeType kAttributeTypeName = "name"_4cc;        // text

// The custom attribute types this library registers, numbered as the plug-ins know them.
enum TCustomAttributeGlobal : int32_t {
    eTextureEffectAttribute = 10,
    eLightEffectAttribute = 11,
    eColourEffectAttribute = 12,
    eTweenAttribute = 15,
    eCustomAttributeCount = 16 // values 0 .. 15 are registered
};

// Registers the custom attribute types; GetCustomAttributeType throws before this ran.
// Calling it again changes nothing.
void InitCustomAttributeGlobals();
// The attribute type of a TCustomAttributeGlobal value (0 .. 15); throws for other values.
TQ3AttributeType GetCustomAttributeType(int32_t value);
// Whether type is one of the registered custom attribute types.
bool IsCustomAttributeType(TQ3AttributeType type);

// The element data of a custom attribute.
struct THandlePair {
    int32_t size;
    Handle data;
};
static_assert(offsetof(THandlePair, data) == sizeof(Handle) &&
              sizeof(THandlePair) == 2 * sizeof(Handle));

class CShapeObject;
class CTextureShaderObject;

class CSetObject : public CSharedObject {
public:
    int Level() const override { return 1; }
    CSetObject() = default;
    explicit CSetObject(OpaqueTQ3Object* set);
    // Wraps set, taking over the caller's reference when adopt is true; a null set makes a
    // new, empty attribute set (so CSetObject(0, 0) is a new set).
    CSetObject(OpaqueTQ3Object* set, bool adopt);
    // The attribute set of the shape; throws when the shape has none.
    explicit CSetObject(CShapeObject const& shape);
    CSetObject(C3DObject const& object);

    // Whether the set holds an attribute of the type (standard or custom).
    bool Contains(TQ3AttributeType type) const;
    // Removes the attribute; a type the set does not hold is no error.
    void ClearType(TQ3AttributeType type);

    // Custom attributes (see the ownership rule above); a standard type throws.
    void AddType(TQ3AttributeType type, void const* element);
    void GetData(TQ3AttributeType type, void* element) const;

    // The name, or an empty string when the set has none.
    CStr255 GetNameAttribute() const;
    void SetNameAttribute(CStr255 const& name);

    // The standard attributes: each getter throws when the set lacks the attribute.
    C3DColor GetDiffuseColor() const;
    void AddDiffuseColor(TQ3ColorRGB const& colour);
    C3DColor GetSpecularColor() const;
    void AddSpecularColor(TQ3ColorRGB const& colour);
    C3DColor GetTransparencyColor() const;
    void AddTransparencyColor(TQ3ColorRGB const& colour);
    float GetAmbientCoefficient() const;
    void AddAmbientCoefficient(float value);
    float GetSpecularControl() const;
    void AddSpecularControl(float value);
    CParam2D GetSurfaceUV() const;
    void AddSurfaceUV(TQ3Param2D const& uv);
    int32_t GetCSGObjectID() const;
    void AddCSGObjectID(int32_t id);
    CTextureShaderObject GetTextureShader() const;
    // The set holds a reference to the shader (the same object, not a copy).
    void AddTextureShader(CTextureShaderObject const& shader);

protected:
    using CSharedObject::CSharedObject;
};

class CAttributeSetObject : public CSetObject {
public:
    CAttributeSetObject() = default;
    explicit CAttributeSetObject(OpaqueTQ3Object* set);
    CAttributeSetObject(C3DObject const& object);
};
