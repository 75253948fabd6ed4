// Writing a tween point's state into the scene. None of these catches: a scene failure ends
// the DoTween that called it.
#pragma once

#include <cstdint>

#include "host/qd3d_types.h"
#include "tween/tween_records.h"

struct OpaqueTQ3Object;
class CLightObject;
class CViewObject;
class CCameraObject;

// The record's matrix (when it has one) replaces that of the first transform of the object
// group, which gets a new transform when it has none; a transform object takes it itself.
// Anything else, or a null object, is left alone. A group holding drawn CSG objects asks the
// host to rebuild them.
void SetTweenAllInfoDataTransformMatrix(OpaqueTQ3Object* object, ObjectTweenRecord const& record);
// The record's colours (only on a group without textures, which keeps its own look) and
// surface values, each when the record has it. Only groups are changed.
void SetTweenAllInfoDataChange(OpaqueTQ3Object* object, ObjectTweenRecord const& record);

// As SetTweenAllInfoDataTransformMatrix, for the group that holds a light (or the light).
void SetTheLightTransformMatrix(OpaqueTQ3Object* object, LightTweenRecord const& record);
// The first light of the group, or the object when it is a light, receives the record.
void SetTheLight(OpaqueTQ3Object* object, LightTweenRecord const& record);
// The record's data when its kind is the light's; otherwise only the common part (on or off,
// brightness, colour).
void SetLight(CLightObject& light, LightTweenRecord const& record);

// Gives the view's camera the kind ("cmra" keeps the camera's own) and the data, keeping
// the camera's view port (and a view-angle camera's aspect ratio), which belong to the view.
// A kind the view refuses leaves the camera unchanged.
void SetCamera(CViewObject& view, CCameraObject& camera, TQ3ViewPlaneCameraData data, int32_t kind);
