// Writing object and light tween points into the scene.
#include <cstring>

#include "host/framework.h"
#include "host/scene.h"
#include "playback/scene_writers.h"
#include "tween/scanning_parsers.h"

namespace {

// The placement writing that objects and lights share; true when a group was written.
bool SetPlacement(OpaqueTQ3Object* object, int32_t hasMatrix, TQ3Matrix4x4 const& matrix) {
    if (!object || hasMatrix == 0) {
        return false;
    }
    CSharedObject shared(object);
    if (shared.IsAGroup()) {
        CGroupObject group(shared);
        if (auto* position = group.GetFirstObjectOfType("xfrm"_4cc)) {
            CTransformObject(group, position).SetData(CMatrix4x4(matrix));
        } else {
            group.AddObject(CTransformObject(CMatrix4x4(matrix)));
        }
        return true;
    }
    if (shared.IsATransform()) {
        CTransformObject(shared).SetData(CMatrix4x4(matrix));
    }
    return false;
}

int32_t TextureCount(CGroupObject& group) {
    SetTextureCount(0);
    CGetPaletteInfoParserGroup counter;
    group.Parse(counter, CMatrix4x4(1.0));
    return GetTextureCount();
}

} // namespace

void SetTweenAllInfoDataTransformMatrix(OpaqueTQ3Object* object, ObjectTweenRecord const& record) {
    if (SetPlacement(object, record.hasMatrix, record.matrix) &&
        CGroupObject(object).ContainsAnyDrawnCSGs()) {
        PL_ForceCSGRecache();
    }
}

void SetTweenAllInfoDataChange(OpaqueTQ3Object* object, ObjectTweenRecord const& record) {
    if (!object || !CSharedObject(object).IsAGroup()) {
        return;
    }
    CGroupObject group(object);
    if (TextureCount(group) == 0) {
        if (record.hasColour0) {
            group.ChangeGroupColor(record.colour0, false, false, false);
        }
        if (record.hasColour1) {
            group.ChangeGroupColor(record.colour1, true, false, false);
        }
    }
    if (record.hasSurfaceValue2) {
        group.ChangeGroupSurfaceAttribute(record.surfaceValue2, 2);
    }
    if (record.hasSurfaceValue1) {
        group.ChangeGroupSurfaceAttribute(record.surfaceValue1, 1);
    }
    if (record.hasSurfaceValue0) {
        group.ChangeGroupSurfaceAttribute(record.surfaceValue0, 0);
    }
}

void SetTheLightTransformMatrix(OpaqueTQ3Object* object, LightTweenRecord const& record) {
    SetPlacement(object, record.hasMatrix, record.matrix);
}

void SetTheLight(OpaqueTQ3Object* object, LightTweenRecord const& record) {
    if (!object) {
        return;
    }
    CSharedObject shared(object);
    if (shared.IsAGroup()) {
        CGroupObject group(shared);
        if (auto* position = group.GetFirstObjectOfType("lght"_4cc)) {
            CLightObject light(group, position);
            SetLight(light, record);
        }
    } else if (shared.IsALight()) {
        CLightObject light(shared);
        SetLight(light, record);
    }
}

namespace {

template <typename Data>
Data DataOf(LightTweenRecord const& record) {
    Data data{};
    std::memcpy(&data, record.lightData, sizeof data);
    return data;
}

} // namespace

void SetLight(CLightObject& light, LightTweenRecord const& record) {
    if (record.lightKind != light.GetLeafType()) {
        light.SetLightData(DataOf<TQ3LightData>(record)); // only what every light has
        return;
    }
    switch (record.lightKind) {
    case "pntl"_4cc:
        CPointLightObject(light).SetLightData(DataOf<TQ3PointLightData>(record));
        break;
    case "spot"_4cc:
        CSpotLightObject(light).SetLightData(DataOf<TQ3SpotLightData>(record));
        break;
    case "drct"_4cc:
        CDirectionalLightObject(light).SetLightData(DataOf<TQ3DirectionalLightData>(record));
        break;
    default:
        light.SetLightData(DataOf<TQ3LightData>(record));
    }
}
