#include "playback/camera_placement.h"

#include "host/matrix4x4.h"
#include "host/scene.h"
#include "interp/matrix_tween.h"

namespace {

struct Ends {
    CPoint3D location;
    CPoint3D interest;
};

// Where the two ends go when the point p moves with direction a and viewing distance d.
Ends Follow(Ends ends, TAnimate animate, TAnimateBy animateBy, CPoint3D p, CVector3D a, float d) {
    CPoint3D& L = ends.location;
    CPoint3D& Q = ends.interest;
    if (animate == eAnimateLocation) {
        if (animateBy == eAnimateByAxis) {
            L = p;
            Q = p + a * d;
        } else if (animateBy == eAnimateByOffset) {
            Q = p + (Q - L);
            L = p;
        } else {
            L = p;
        }
    } else { // the point of interest follows
        if (animateBy == eAnimateByAxis) {
            L = p - a * d;
            Q = p;
        } else if (animateBy == eAnimateByOffset) {
            L = p + (L - Q);
            Q = p;
        } else {
            Q = p;
        }
    }
    return ends;
}

} // namespace

void PlaceCamera(CCameraObject& camera, CameraTweenRecord const& prev,
                 CameraTweenRecord const& next, float f) {
    TQ3Matrix4x4 blended = prev.matrix;
    TweenMatrix(&blended, next.matrix, f, CPoint3D(0, 0, 0));
    CMatrix4x4 const m(blended);
    CPoint3D const p = CPoint3D(0, 0, 0) * m;
    CVector3D const a = Normalise(CVector3D(1, 0, 0) * m);

    TQ3CameraData data{};
    camera.GetCameraData(&data);
    Ends ends{data.placement.cameraLocation, data.placement.pointOfInterest};
    float d = Pythag(ends.interest - ends.location);
    if (d < 1.0f) {
        d = 1.0f;
    }
    ends = Follow(ends, next.animate, next.animateBy, p, a, d);

    CVector3D v = ends.interest - ends.location;
    if (v == CVector3D(0, 0, 0)) {
        ends.interest = ends.location + CVector3D(1, 0, 0);
        v = CVector3D(1, 0, 0);
    }
    CVector3D up = CrossProduct(CrossProduct(v, CVector3D(0, 1, 0)), v);
    if (up == CVector3D(0, 0, 0)) {
        up = CVector3D(0, 0, -1);
    }
    up.Normalise();
    data.placement.cameraLocation = ends.location;
    data.placement.pointOfInterest = ends.interest;
    data.placement.upVector = up;
    camera.SetCameraData(data);
}
