#include "host/scene/attribute_set.h"

#include "host/memory.h"
#include "host/scene/shader.h"
#include "host/scene/shape.h"
#include "refhost/memory/memory_control.h"
#include "refhost/scene/objects.h"

using namespace refhost::scene;

namespace {

bool gCustomTypesRegistered = false;

// Custom types are four-character codes "KP00" .. "KP15", apart from every standard type.
TQ3AttributeType CustomType(int32_t value) {
    return static_cast<TQ3AttributeType>(MakeFourCharCode(
        'K', 'P', static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)));
}

AttributeSet& SetOf(OpaqueTQ3Object* object) {
    auto* set = As<AttributeSet>(object);
    if (!set) {
        throw CSceneException("not an attribute set");
    }
    return *set;
}

template <typename T>
T const& Required(std::optional<T> const& value, char const* what) {
    if (!value) {
        throw CSceneException(std::string("the attribute set has no ") + what);
    }
    return *value;
}

std::string TypeText(TQ3AttributeType type) {
    return type < 256 ? std::to_string(type) : FourCharCodeText(static_cast<FourCharCode>(type));
}

} // namespace

void InitCustomAttributeGlobals() {
    gCustomTypesRegistered = true;
}

TQ3AttributeType GetCustomAttributeType(int32_t value) {
    if (!gCustomTypesRegistered) {
        throw CSceneException("the custom attribute types are not registered yet");
    }
    if (value < 0 || value >= eCustomAttributeCount) {
        throw CSceneException("no custom attribute type " + std::to_string(value));
    }
    return CustomType(value);
}

bool IsCustomAttributeType(TQ3AttributeType type) {
    for (int32_t value = 0; value < eCustomAttributeCount; ++value) {
        if (CustomType(value) == type) {
            return true;
        }
    }
    return false;
}

CSetObject::CSetObject(OpaqueTQ3Object* set) : CSharedObject(set, "set "_4cc) {}

CSetObject::CSetObject(OpaqueTQ3Object* set, bool adopt)
    : CSharedObject(set ? set : new AttributeSet, "set "_4cc, adopt || !set) {}

namespace {

// A shape's set, or the object itself (which must then be a set).
OpaqueTQ3Object* SetTarget(OpaqueTQ3Object* object) {
    if (object && object->chain.Has("shap"_4cc)) {
        if (!object->set) {
            throw CSceneException("the shape has no attribute set");
        }
        return object->set;
    }
    return object;
}

} // namespace

CSetObject::CSetObject(CShapeObject const& shape)
    : CSharedObject(SetTarget(shape.GetObject()), "set "_4cc) {
    Require(); // the shape wrapper held nothing
}

CSetObject::CSetObject(C3DObject const& object)
    : CSharedObject(SetTarget(object.GetObject()), "set "_4cc) {}

bool CSetObject::Contains(TQ3AttributeType type) const {
    AttributeSet const& set = SetOf(Require());
    switch (type) {
    case kQ3AttributeTypeSurfaceUV:
        return set.surfaceUV.has_value();
    case kQ3AttributeTypeAmbientCoefficient:
        return set.ambientCoefficient.has_value();
    case kQ3AttributeTypeDiffuseColor:
        return set.diffuse.has_value();
    case kQ3AttributeTypeSpecularColor:
        return set.specular.has_value();
    case kQ3AttributeTypeSpecularControl:
        return set.specularControl.has_value();
    case kQ3AttributeTypeTransparencyColor:
        return set.transparency.has_value();
    case kQ3AttributeTypeSurfaceShader:
        return set.shader != nullptr;
    case kQ3AttributeTypeCSGObjectID:
        return set.csgID.has_value();
    case kAttributeTypeName:
        return set.name.has_value();
    default:
        return set.custom.count(type) != 0;
    }
}

void CSetObject::ClearType(TQ3AttributeType type) {
    AttributeSet& set = SetOf(Require());
    switch (type) {
    case kQ3AttributeTypeSurfaceUV:
        set.surfaceUV.reset();
        break;
    case kQ3AttributeTypeAmbientCoefficient:
        set.ambientCoefficient.reset();
        break;
    case kQ3AttributeTypeDiffuseColor:
        set.diffuse.reset();
        break;
    case kQ3AttributeTypeSpecularColor:
        set.specular.reset();
        break;
    case kQ3AttributeTypeSpecularControl:
        set.specularControl.reset();
        break;
    case kQ3AttributeTypeTransparencyColor:
        set.transparency.reset();
        break;
    case kQ3AttributeTypeSurfaceShader:
        Release(set.shader);
        set.shader = nullptr;
        break;
    case kQ3AttributeTypeCSGObjectID:
        set.csgID.reset();
        break;
    case kAttributeTypeName:
        set.name.reset();
        break;
    default:
        if (auto found = set.custom.find(type); found != set.custom.end()) {
            DisposeHandle(found->second.data);
            set.custom.erase(found);
        }
    }
}

void CSetObject::AddType(TQ3AttributeType type, void const* element) {
    if (!IsCustomAttributeType(type)) {
        throw CSceneException("attribute type " + TypeText(type) + " is not a custom type");
    }
    AttributeSet& set = SetOf(Require());
    THandlePair pair = *static_cast<THandlePair const*>(element);
    if (!refhost::memory::IsLiveHandle(pair.data)) {
        throw CSceneException("a custom attribute needs a live block");
    }
    auto found = set.custom.find(type);
    if (found == set.custom.end()) {
        set.custom.emplace(type, pair);
        return;
    }
    if (found->second.data != pair.data) {
        DisposeHandle(found->second.data);
    }
    found->second = pair;
}

void CSetObject::GetData(TQ3AttributeType type, void* element) const {
    AttributeSet const& set = SetOf(Require());
    auto found = set.custom.find(type);
    if (found == set.custom.end()) {
        throw CSceneException("the attribute set has no attribute " + TypeText(type));
    }
    *static_cast<THandlePair*>(element) = found->second;
}

CStr255 CSetObject::GetNameAttribute() const {
    AttributeSet const& set = SetOf(Require());
    return set.name ? CStr255(*set.name) : CStr255();
}

void CSetObject::SetNameAttribute(CStr255 const& name) {
    SetOf(Require()).name = name.ToString();
}

C3DColor CSetObject::GetDiffuseColor() const {
    return Required(SetOf(Require()).diffuse, "diffuse colour");
}

void CSetObject::AddDiffuseColor(TQ3ColorRGB const& colour) {
    SetOf(Require()).diffuse = colour;
}

C3DColor CSetObject::GetSpecularColor() const {
    return Required(SetOf(Require()).specular, "specular colour");
}

void CSetObject::AddSpecularColor(TQ3ColorRGB const& colour) {
    SetOf(Require()).specular = colour;
}

C3DColor CSetObject::GetTransparencyColor() const {
    return Required(SetOf(Require()).transparency, "transparency colour");
}

void CSetObject::AddTransparencyColor(TQ3ColorRGB const& colour) {
    SetOf(Require()).transparency = colour;
}

float CSetObject::GetAmbientCoefficient() const {
    return Required(SetOf(Require()).ambientCoefficient, "ambient coefficient");
}

void CSetObject::AddAmbientCoefficient(float value) {
    SetOf(Require()).ambientCoefficient = value;
}

float CSetObject::GetSpecularControl() const {
    return Required(SetOf(Require()).specularControl, "specular control");
}

void CSetObject::AddSpecularControl(float value) {
    SetOf(Require()).specularControl = value;
}

CParam2D CSetObject::GetSurfaceUV() const {
    return Required(SetOf(Require()).surfaceUV, "surface UV");
}

void CSetObject::AddSurfaceUV(TQ3Param2D const& uv) {
    SetOf(Require()).surfaceUV = uv;
}

int32_t CSetObject::GetCSGObjectID() const {
    return Required(SetOf(Require()).csgID, "CSG object id");
}

void CSetObject::AddCSGObjectID(int32_t id) {
    SetOf(Require()).csgID = id;
}

CTextureShaderObject CSetObject::GetTextureShader() const {
    AttributeSet const& set = SetOf(Require());
    if (!set.shader) {
        throw CSceneException("the attribute set has no surface shader");
    }
    return CTextureShaderObject(set.shader);
}

void CSetObject::AddTextureShader(CTextureShaderObject const& shader) {
    if (!As<TextureShader>(shader.GetObject())) {
        throw CSceneException("a surface shader must be a texture shader");
    }
    Assign(SetOf(Require()).shader, shader.GetObject());
}

CAttributeSetObject::CAttributeSetObject(OpaqueTQ3Object* set) : CSetObject(set) {}

CAttributeSetObject::CAttributeSetObject(C3DObject const& object) : CSetObject(object) {}
