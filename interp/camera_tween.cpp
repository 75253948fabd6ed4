#include "interp/camera_tween.h"

#include "interp/camera_placement_tween.h"
#include "interp/value_tween.h"

void TweenCameraData(TQ3CameraData* current, TQ3CameraData const& target, float f) {
    if (f == 0.0f) {
        return;
    }
    TweenCameraPlacement(&current->placement, target.placement, f);
    TweenCameraRange(&current->range, target.range, f);
}

void TweenViewPlaneCamera(TQ3ViewPlaneCameraData* current, TQ3ViewPlaneCameraData const& target,
                          float f) {
    if (f == 0.0f) {
        return;
    }
    TweenCameraData(&current->cameraData, target.cameraData, f);
    TweenFloat(current->viewPlane, target.viewPlane, f);
    TweenFloat(current->halfWidthAtViewPlane, target.halfWidthAtViewPlane, f);
    TweenFloat(current->halfHeightAtViewPlane, target.halfHeightAtViewPlane, f);
    TweenFloat(current->centerXOnViewPlane, target.centerXOnViewPlane, f);
    TweenFloat(current->centerYOnViewPlane, target.centerYOnViewPlane, f);
}

void TweenOrthographicCamera(TQ3OrthographicCameraData* current,
                             TQ3OrthographicCameraData const& target, float f) {
    if (f == 0.0f) {
        return;
    }
    TweenCameraData(&current->cameraData, target.cameraData, f);
    TweenFloat(current->left, target.left, f);
    TweenFloat(current->top, target.top, f);
    TweenFloat(current->right, target.right, f);
    TweenFloat(current->bottom, target.bottom, f);
}

void TweenViewAspectCamera(TQ3ViewAngleAspectCameraData* current,
                           TQ3ViewAngleAspectCameraData const& target, float f) {
    if (f == 0.0f) {
        return;
    }
    TweenCameraData(&current->cameraData, target.cameraData, f);
    TweenFloat(current->fov, target.fov, f);
    // The aspect ratio blends like every other dimension: keeping the earlier one would make
    // the picture jump to the new shape at the later tween point instead of easing into it.
    TweenFloat(current->aspectRatioXToY, target.aspectRatioXToY, f);
}
