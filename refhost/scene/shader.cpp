#include "host/scene/shader.h"

#include "refhost/scene/objects.h"

using namespace refhost::scene;

namespace {

TextureShader& ShaderOf(OpaqueTQ3Object* object) {
    auto* shader = As<TextureShader>(object);
    if (!shader) {
        throw CSceneException("not a texture shader");
    }
    return *shader;
}

Texture& TextureOf(OpaqueTQ3Object* object) {
    auto* texture = As<Texture>(ShaderOf(object).texture);
    if (!texture) {
        throw CSceneException("the texture shader has no texture");
    }
    return *texture;
}

} // namespace

CShaderObject::CShaderObject(OpaqueTQ3Object* object) : CShapeObject(object, "shdr"_4cc) {}

CShaderObject::CShaderObject(C3DObject const& object)
    : CShapeObject(object.GetObject(), "shdr"_4cc) {}

CTextureShaderObject::CTextureShaderObject(OpaqueTQ3Object* object)
    : CShaderObject(object, "txsu"_4cc) {}

CTextureShaderObject::CTextureShaderObject(C3DObject const& object)
    : CShaderObject(object.GetObject(), "txsu"_4cc) {}

CMatrix3x3 CTextureShaderObject::GetUVTransform() const {
    return ShaderOf(Require()).uvTransform;
}

void CTextureShaderObject::SetUVTransform(CMatrix3x3 const& transform) {
    ShaderOf(Require()).uvTransform = transform;
}

uint32_t CTextureShaderObject::GetTextureWidth() const {
    return TextureOf(Require()).width;
}

uint32_t CTextureShaderObject::GetTextureHeight() const {
    return TextureOf(Require()).height;
}
