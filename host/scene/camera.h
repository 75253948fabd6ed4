// Cameras. Every camera has the common TQ3CameraData (placement, range, view port); each kind
// adds its own fields. A view's camera can change its kind (CViewObject::SetCameraType) while
// it stays the same object, so every wrapper of it sees the new kind; the kind classes check
// the kind at every call and throw when it is not theirs.
#pragma once

#include "host/qd3d_types.h"
#include "host/scene/shape.h"

class CViewObject;

class CCameraObject : public CShapeObject {
public:
    int Level() const override { return 2; }
    CCameraObject() = default;
    explicit CCameraObject(OpaqueTQ3Object* object);
    CCameraObject(C3DObject const& object);
    // The view's camera; throws when the view has none.
    explicit CCameraObject(CViewObject const& view);

    void GetCameraData(TQ3CameraData* data) const;
    void SetCameraData(TQ3CameraData const& data);

protected:
    using CShapeObject::CShapeObject;
    void RequireKind(TQ3ObjectType kind) const;
};

class CViewAngleAspectCameraObject : public CCameraObject {
public:
    explicit CViewAngleAspectCameraObject(TQ3ViewAngleAspectCameraData const& data);
    CViewAngleAspectCameraObject(C3DObject const& object);
    void GetCameraData(TQ3ViewAngleAspectCameraData* data) const;
    void SetCameraData(TQ3ViewAngleAspectCameraData const& data);
};

class CViewPlaneCameraObject : public CCameraObject {
public:
    explicit CViewPlaneCameraObject(TQ3ViewPlaneCameraData const& data);
    CViewPlaneCameraObject(C3DObject const& object);
    void GetCameraData(TQ3ViewPlaneCameraData* data) const;
    void SetCameraData(TQ3ViewPlaneCameraData const& data);
};

class COrthographicCameraObject : public CCameraObject {
public:
    explicit COrthographicCameraObject(TQ3OrthographicCameraData const& data);
    COrthographicCameraObject(C3DObject const& object);
    void GetCameraData(TQ3OrthographicCameraData* data) const;
    void SetCameraData(TQ3OrthographicCameraData const& data);
};
