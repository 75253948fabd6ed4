// Blends of camera data between two tween points, one function per kind of camera.
//
// Each overwrites the current record (a copy of the earlier tween point's) with the camera
// a fraction f of the way toward the target, and changes nothing at all when f == 0. The
// placement blends by TweenCameraPlacement; every dimension below moves only when it
// differs between the two, so an unchanged one keeps its recorded value exactly. Single
// precision; none of them fails.
#pragma once

#include "host/qd3d_types.h"

// The placement, then hither and yon. The view port belongs to the view the camera draws
// into, not to the animation, and is kept.
void TweenCameraData(TQ3CameraData* current, TQ3CameraData const& target, float f);

// The camera data, then view plane distance, half width, half height and centre x and y.
void TweenViewPlaneCamera(TQ3ViewPlaneCameraData* current, TQ3ViewPlaneCameraData const& target,
                          float f);

// The camera data, then left, top, right and bottom.
void TweenOrthographicCamera(TQ3OrthographicCameraData* current,
                             TQ3OrthographicCameraData const& target, float f);

// The camera data, then the field of view and the aspect ratio.
void TweenViewAspectCamera(TQ3ViewAngleAspectCameraData* current,
                           TQ3ViewAngleAspectCameraData const& target, float f);
