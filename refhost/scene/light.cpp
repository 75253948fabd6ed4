#include "host/scene/light.h"

#include "host/scene/group.h"
#include "refhost/scene/objects.h"

using namespace refhost::scene;

namespace {

Light& LightOf(OpaqueTQ3Object* object) {
    auto* light = As<Light>(object);
    if (!light) {
        throw CSceneException("not a light");
    }
    return *light;
}

Light* NewLight(FourCharCode kind, TQ3LightData const& common) {
    auto* light = new Light(kind);
    light->common = common;
    return light;
}

void Store(Light& light, TQ3DirectionalLightData const& data) {
    light.common = data.lightData;
    light.castsShadows = data.castsShadows;
    light.direction = data.direction;
}

void Store(Light& light, TQ3PointLightData const& data) {
    light.common = data.lightData;
    light.castsShadows = data.castsShadows;
    light.attenuation = data.attenuation;
    light.location = data.location;
}

void Store(Light& light, TQ3SpotLightData const& data) {
    light.common = data.lightData;
    light.castsShadows = data.castsShadows;
    light.attenuation = data.attenuation;
    light.location = data.location;
    light.direction = data.direction;
    light.hotAngle = data.hotAngle;
    light.outerAngle = data.outerAngle;
    light.fallOff = data.fallOff;
}

template <typename Data>
Light* MadeLight(FourCharCode kind, Data const& data) {
    auto* light = new Light(kind);
    Store(*light, data);
    return light;
}

} // namespace

CLightObject::CLightObject(OpaqueTQ3Object* object) : CShapeObject(object, "lght"_4cc) {}

CLightObject::CLightObject(C3DObject const& object)
    : CShapeObject(object.GetObject(), "lght"_4cc) {}

CLightObject::CLightObject(CGroupObject const& group, OpaqueTQ3GroupPosition* position)
    : CLightObject(group.GetObjectAt(position)) {}

void CLightObject::GetLightData(TQ3LightData* data) const {
    *data = LightOf(Require()).common;
}

void CLightObject::SetLightData(TQ3LightData const& data) {
    LightOf(Require()).common = data;
}

float CLightObject::GetBrightness() const {
    return LightOf(Require()).common.brightness;
}

void CLightObject::RequireKind(TQ3ObjectType kind) const {
    if (LightOf(Require()).Kind() != kind) {
        throw CSceneException("the light is not a '" + FourCharCodeText(kind) + "' light");
    }
}

CAmbientLightObject::CAmbientLightObject(TQ3LightData const& data)
    : CLightObject(NewLight("ambn"_4cc, data), "ambn"_4cc, true) {}

CAmbientLightObject::CAmbientLightObject(C3DObject const& object)
    : CLightObject(object.GetObject(), "ambn"_4cc) {}

CDirectionalLightObject::CDirectionalLightObject(TQ3DirectionalLightData const& data)
    : CLightObject(MadeLight("drct"_4cc, data), "drct"_4cc, true) {}

CDirectionalLightObject::CDirectionalLightObject(C3DObject const& object)
    : CLightObject(object.GetObject(), "drct"_4cc) {}

void CDirectionalLightObject::GetLightData(TQ3DirectionalLightData* data) const {
    RequireKind("drct"_4cc);
    Light const& light = LightOf(Require());
    *data = {light.common, light.castsShadows, light.direction};
}

void CDirectionalLightObject::SetLightData(TQ3DirectionalLightData const& data) {
    RequireKind("drct"_4cc);
    Store(LightOf(Require()), data);
}

CPointLightObject::CPointLightObject(TQ3PointLightData const& data)
    : CLightObject(MadeLight("pntl"_4cc, data), "pntl"_4cc, true) {}

CPointLightObject::CPointLightObject(C3DObject const& object)
    : CLightObject(object.GetObject(), "pntl"_4cc) {}

void CPointLightObject::GetLightData(TQ3PointLightData* data) const {
    RequireKind("pntl"_4cc);
    Light const& light = LightOf(Require());
    *data = {light.common, light.castsShadows, light.attenuation, light.location};
}

void CPointLightObject::SetLightData(TQ3PointLightData const& data) {
    RequireKind("pntl"_4cc);
    Store(LightOf(Require()), data);
}

CSpotLightObject::CSpotLightObject(TQ3SpotLightData const& data)
    : CLightObject(MadeLight("spot"_4cc, data), "spot"_4cc, true) {}

CSpotLightObject::CSpotLightObject(C3DObject const& object)
    : CLightObject(object.GetObject(), "spot"_4cc) {}

void CSpotLightObject::GetLightData(TQ3SpotLightData* data) const {
    RequireKind("spot"_4cc);
    Light const& light = LightOf(Require());
    *data = {light.common,    light.castsShadows, light.attenuation, light.location,
             light.direction, light.hotAngle,     light.outerAngle,  light.fallOff};
}

void CSpotLightObject::SetLightData(TQ3SpotLightData const& data) {
    RequireKind("spot"_4cc);
    Store(LightOf(Require()), data);
}
