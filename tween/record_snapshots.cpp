// The record constructors: each takes its snapshot of the scene at once.
#include <cstring>

#include "host/framework.h"
#include "host/scene.h"
#include "tween/tween_records.h"

namespace {

template <typename Data>
void Store(uint8_t* bytes, Data const& data) {
    std::memcpy(bytes, &data, sizeof data);
}

// Puts the transform back as the group's first object (an ordered group places it itself).
void PutBack(CGroupObject& group, CTransformObject const& transform) {
    OpaqueTQ3GroupPosition* first = group.GetFirstObject();
    if (group.IsType("ordg"_4cc) || !first) {
        group.AddObject(transform);
    } else {
        group.AddBefore(first, transform);
    }
}

// The group must get its transform back whatever happened meanwhile: a put-back that
// fails is tried again (each attempt changes the group only when it succeeds).
void PutBackInEveryCase(CGroupObject& group, CTransformObject const& transform) {
    constexpr int kAttempts = 3;
    for (int attempt = 1;; ++attempt) {
        try {
            PutBack(group, transform);
            return;
        } catch (...) {
            if (attempt == kAttempts) {
                throw;
            }
        }
    }
}

} // namespace

ObjectTweenRecord::ObjectTweenRecord(int32_t when, CGroupObject& group) {
    time = when;
    selected = false;
    OpaqueTQ3GroupPosition* position = group.GetFirstObjectOfType("xfrm"_4cc);
    CTransformObject transform(group, position);
    group.RemoveObject(position);
    try {
        // The pivot is the middle of the group's bounds without its own transform.
        CViewObject view(PL_GetTheView());
        pivot = view.GetBoundingBoxIncludingLights(group, true, nullptr).Middle();
        try {
            matrix = transform.GetMatrix();
            hasMatrix = 1;
        } catch (...) {
            hasMatrix = 0;
        }
        hasColour0 = group.GetTheGroupColor(&colour0, false, false, false);
        hasColour1 = group.GetTheGroupColor(&colour1, true, false, false);
        hasSurfaceValue2 = group.GetTheGroupSurfaceAttribute(&surfaceValue2, 2);
        hasSurfaceValue1 = group.GetTheGroupSurfaceAttribute(&surfaceValue1, 1);
        hasSurfaceValue0 = group.GetTheGroupSurfaceAttribute(&surfaceValue0, 0);
    } catch (...) {
        PutBackInEveryCase(group, transform);
        throw;
    }
    PutBackInEveryCase(group, transform);
}

LightTweenRecord::LightTweenRecord(int32_t when, CGroupObject& group, CShapeObject const& light) {
    time = when;
    selected = false;
    hasMatrix = 0;
    if (!group.IsEmpty()) {
        for (auto* p = group.GetFirstObject(); p; p = group.NextPosition(p)) {
            bool isTransform = false;
            try {
                isTransform = CSharedObject(group, p).IsATransform();
            } catch (...) {
                continue; // a member that cannot be inspected is passed over
            }
            if (isTransform) {
                try {
                    matrix = CTransformObject(group, p).GetMatrix();
                    hasMatrix = 1;
                } catch (...) {
                    hasMatrix = 0;
                }
                break;
            }
        }
    }
    lightKind = light.GetLeafType();
    switch (lightKind) {
    case "pntl"_4cc: {
        TQ3PointLightData data{};
        CPointLightObject(light).GetLightData(&data);
        Store(lightData, data);
        break;
    }
    case "spot"_4cc: {
        TQ3SpotLightData data{};
        CSpotLightObject(light).GetLightData(&data);
        Store(lightData, data);
        break;
    }
    case "drct"_4cc: {
        TQ3DirectionalLightData data{};
        CDirectionalLightObject(light).GetLightData(&data);
        Store(lightData, data);
        break;
    }
    default: {
        TQ3LightData data{};
        CLightObject(light).GetLightData(&data);
        Store(lightData, data);
    }
    }
}

CameraTweenRecord::CameraTweenRecord(int32_t when, CShapeObject const& camera,
                                     CMatrix4x4 const& placement, TAnimate animateWhat,
                                     TAnimateBy animateHow) {
    time = when;
    selected = false;
    CCameraObject cameraObject(camera);
    cameraKind = cameraObject.GetLeafType();
    matrix = placement;
    animate = animateWhat;
    animateBy = animateHow;
    switch (cameraKind) {
    case "vana"_4cc: {
        TQ3ViewAngleAspectCameraData data{};
        CViewAngleAspectCameraObject(cameraObject).GetCameraData(&data);
        Store(cameraData, data);
        break;
    }
    case "vwpl"_4cc: {
        TQ3ViewPlaneCameraData data{};
        CViewPlaneCameraObject(cameraObject).GetCameraData(&data);
        Store(cameraData, data);
        break;
    }
    case "orth"_4cc: {
        TQ3OrthographicCameraData data{};
        COrthographicCameraObject(cameraObject).GetCameraData(&data);
        Store(cameraData, data);
        break;
    }
    default:
        break; // another kind leaves the camera data zero
    }
}
