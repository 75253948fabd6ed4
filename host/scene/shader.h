// Surface shaders. A texture shader maps a texture onto surfaces through its UV transform.
#pragma once

#include <cstdint>

#include "host/matrix3x3.h"
#include "host/scene/shape.h"

class CShaderObject : public CShapeObject {
public:
    int Level() const override { return 2; }
    CShaderObject() = default;
    explicit CShaderObject(OpaqueTQ3Object* object);
    CShaderObject(C3DObject const& object);

protected:
    using CShapeObject::CShapeObject;
};

class CTextureShaderObject : public CShaderObject {
public:
    CTextureShaderObject() = default;
    explicit CTextureShaderObject(OpaqueTQ3Object* object);
    CTextureShaderObject(C3DObject const& object);

    CMatrix3x3 GetUVTransform() const;
    void SetUVTransform(CMatrix3x3 const& transform);
    // The texture's size in pixels.
    uint32_t GetTextureWidth() const;
    uint32_t GetTextureHeight() const;
};
