#include "host/scene/camera.h"

#include "host/scene/view.h"
#include "refhost/scene/objects.h"

using namespace refhost::scene;

namespace {

Camera& CameraOf(OpaqueTQ3Object* object) {
    auto* camera = As<Camera>(object);
    if (!camera) {
        throw CSceneException("not a camera");
    }
    return *camera;
}

Camera* NewCamera(FourCharCode kind, TQ3CameraData const& data) {
    auto* camera = new Camera(kind);
    camera->data = data;
    return camera;
}

Camera* MadeCamera(TQ3ViewAngleAspectCameraData const& d) {
    Camera* camera = NewCamera("vana"_4cc, d.cameraData);
    camera->fieldOfView = d.fov;
    camera->aspectRatio = d.aspectRatioXToY;
    return camera;
}

Camera* MadeCamera(TQ3ViewPlaneCameraData const& d) {
    Camera* camera = NewCamera("vwpl"_4cc, d.cameraData);
    camera->viewPlane = d.viewPlane;
    camera->halfWidth = d.halfWidthAtViewPlane;
    camera->halfHeight = d.halfHeightAtViewPlane;
    camera->centreX = d.centerXOnViewPlane;
    camera->centreY = d.centerYOnViewPlane;
    return camera;
}

Camera* MadeCamera(TQ3OrthographicCameraData const& d) {
    Camera* camera = NewCamera("orth"_4cc, d.cameraData);
    camera->left = d.left;
    camera->top = d.top;
    camera->right = d.right;
    camera->bottom = d.bottom;
    return camera;
}

} // namespace

CCameraObject::CCameraObject(OpaqueTQ3Object* object) : CShapeObject(object, "cmra"_4cc) {}

CCameraObject::CCameraObject(C3DObject const& object)
    : CShapeObject(object.GetObject(), "cmra"_4cc) {}

CCameraObject::CCameraObject(CViewObject const& view)
    : CShapeObject(ViewPart(view, &View::camera, "camera"), "cmra"_4cc) {}

void CCameraObject::GetCameraData(TQ3CameraData* data) const {
    *data = CameraOf(Require()).data;
}

void CCameraObject::SetCameraData(TQ3CameraData const& data) {
    CameraOf(Require()).data = data;
}

void CCameraObject::RequireKind(TQ3ObjectType kind) const {
    if (CameraOf(Require()).Kind() != kind) {
        throw CSceneException("the camera is not a '" + FourCharCodeText(kind) + "' camera");
    }
}

CViewAngleAspectCameraObject::CViewAngleAspectCameraObject(TQ3ViewAngleAspectCameraData const& d)
    : CCameraObject(MadeCamera(d), "vana"_4cc, true) {}

CViewAngleAspectCameraObject::CViewAngleAspectCameraObject(C3DObject const& object)
    : CCameraObject(object.GetObject(), "vana"_4cc) {}

void CViewAngleAspectCameraObject::GetCameraData(TQ3ViewAngleAspectCameraData* data) const {
    RequireKind("vana"_4cc);
    Camera const& c = CameraOf(Require());
    *data = {c.data, c.fieldOfView, c.aspectRatio};
}

void CViewAngleAspectCameraObject::SetCameraData(TQ3ViewAngleAspectCameraData const& data) {
    RequireKind("vana"_4cc);
    Camera& c = CameraOf(Require());
    c.data = data.cameraData;
    c.fieldOfView = data.fov;
    c.aspectRatio = data.aspectRatioXToY;
}

CViewPlaneCameraObject::CViewPlaneCameraObject(TQ3ViewPlaneCameraData const& d)
    : CCameraObject(MadeCamera(d), "vwpl"_4cc, true) {}

CViewPlaneCameraObject::CViewPlaneCameraObject(C3DObject const& object)
    : CCameraObject(object.GetObject(), "vwpl"_4cc) {}

void CViewPlaneCameraObject::GetCameraData(TQ3ViewPlaneCameraData* data) const {
    RequireKind("vwpl"_4cc);
    Camera const& c = CameraOf(Require());
    *data = {c.data, c.viewPlane, c.halfWidth, c.halfHeight, c.centreX, c.centreY};
}

void CViewPlaneCameraObject::SetCameraData(TQ3ViewPlaneCameraData const& data) {
    RequireKind("vwpl"_4cc);
    Camera& c = CameraOf(Require());
    c.data = data.cameraData;
    c.viewPlane = data.viewPlane;
    c.halfWidth = data.halfWidthAtViewPlane;
    c.halfHeight = data.halfHeightAtViewPlane;
    c.centreX = data.centerXOnViewPlane;
    c.centreY = data.centerYOnViewPlane;
}

COrthographicCameraObject::COrthographicCameraObject(TQ3OrthographicCameraData const& d)
    : CCameraObject(MadeCamera(d), "orth"_4cc, true) {}

COrthographicCameraObject::COrthographicCameraObject(C3DObject const& object)
    : CCameraObject(object.GetObject(), "orth"_4cc) {}

void COrthographicCameraObject::GetCameraData(TQ3OrthographicCameraData* data) const {
    RequireKind("orth"_4cc);
    Camera const& c = CameraOf(Require());
    *data = {c.data, c.left, c.top, c.right, c.bottom};
}

void COrthographicCameraObject::SetCameraData(TQ3OrthographicCameraData const& data) {
    RequireKind("orth"_4cc);
    Camera& c = CameraOf(Require());
    c.data = data.cameraData;
    c.left = data.left;
    c.top = data.top;
    c.right = data.right;
    c.bottom = data.bottom;
}
