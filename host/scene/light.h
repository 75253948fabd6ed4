// Lights. Every light has the common TQ3LightData (on/off, brightness, colour); each kind adds
// its own fields. The kind classes check the light's kind at every call, so a wrapper of the
// wrong kind throws rather than reading another kind's data.
#pragma once

#include "host/qd3d_types.h"
#include "host/scene/shape.h"

class CLightObject : public CShapeObject {
public:
    int Level() const override { return 2; }
    CLightObject() = default;
    explicit CLightObject(OpaqueTQ3Object* object);
    CLightObject(C3DObject const& object);
    CLightObject(CGroupObject const& group, OpaqueTQ3GroupPosition* position);

    // The common part, for a light of any kind.
    void GetLightData(TQ3LightData* data) const;
    void SetLightData(TQ3LightData const& data);
    float GetBrightness() const;

protected:
    using CShapeObject::CShapeObject;
    // Throws unless the light's kind is kind.
    void RequireKind(TQ3ObjectType kind) const;
};

class CAmbientLightObject : public CLightObject {
public:
    // A new ambient light.
    explicit CAmbientLightObject(TQ3LightData const& data);
    CAmbientLightObject(C3DObject const& object);
};

class CDirectionalLightObject : public CLightObject {
public:
    explicit CDirectionalLightObject(TQ3DirectionalLightData const& data);
    CDirectionalLightObject(C3DObject const& object);
    void GetLightData(TQ3DirectionalLightData* data) const;
    void SetLightData(TQ3DirectionalLightData const& data);
};

class CPointLightObject : public CLightObject {
public:
    explicit CPointLightObject(TQ3PointLightData const& data);
    CPointLightObject(C3DObject const& object);
    void GetLightData(TQ3PointLightData* data) const;
    void SetLightData(TQ3PointLightData const& data);
};

class CSpotLightObject : public CLightObject {
public:
    explicit CSpotLightObject(TQ3SpotLightData const& data);
    CSpotLightObject(C3DObject const& object);
    void GetLightData(TQ3SpotLightData* data) const;
    void SetLightData(TQ3SpotLightData const& data);
};
