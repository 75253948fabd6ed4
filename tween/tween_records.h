// Tween records: the fixed-size snapshots stored, in ascending time, in an object's stored
// tween list. Each is the exact in-memory image of what is stored: little-endian, 4-byte
// aligned, padding and reserved bytes zero.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/four_char_code.h"
#include "host/matrix4x4.h"
#include "host/qd3d_types.h"

class CGroupObject;
class CShapeObject;

// What a camera tween point animates: 0 the camera location follows the record's matrix,
// 1 the point of interest follows it, 2 only the camera's own data.
enum TAnimate : int32_t { eAnimateLocation = 0, eAnimatePointOfInterest = 1, eAnimateData = 2 };
// With TAnimate 0 or 1, how the other end follows: 0 along the transform's x axis at the
// current viewing distance, 1 it stays where it is, 2 it keeps its offset.
enum TAnimateBy : int32_t { eAnimateByAxis = 0, eAnimateByStaying = 1, eAnimateByOffset = 2 };

struct BaseTweenRecord {
    int32_t time = 0;
    bool selected = false;
    // How the interval that starts here is blended (TEase, interp/easing.h); 0, linear, in
    // every newly made record and in documents older than eases.
    uint8_t ease = 0;
    uint8_t padding[2] = {};
};

struct ObjectTweenRecord : BaseTweenRecord {
    ObjectTweenRecord() = default;
    // A snapshot of the group's first transform, colours, surface values and pivot. The
    // transform is taken out while the group's bounds are measured and put back in every
    // case; failures of the scene pass out after that.
    ObjectTweenRecord(int32_t time, CGroupObject& group);

    int32_t hasMatrix = 0;
    TQ3Matrix4x4 matrix{};
    int32_t hasColour0 = 0;
    TQ3ColorRGB colour0{};
    int32_t hasColour1 = 0;
    TQ3ColorRGB colour1{};
    int32_t hasSurfaceValue2 = 0;
    float surfaceValue2 = 0;
    int32_t hasSurfaceValue1 = 0;
    float surfaceValue1 = 0;
    int32_t hasSurfaceValue0 = 0;
    float surfaceValue0 = 0;
    TQ3Point3D pivot{};
};

struct LightTweenRecord : BaseTweenRecord {
    LightTweenRecord() = default;
    // A snapshot of the light and of the first transform of the group that holds it (an
    // empty group wrapper for a light that is not in a group).
    LightTweenRecord(int32_t time, CGroupObject& group, CShapeObject const& light);

    int32_t hasMatrix = 0;
    TQ3Matrix4x4 matrix{};
    FourCharCode lightKind = 0;
    // TQ3PointLightData, TQ3SpotLightData, TQ3DirectionalLightData or TQ3LightData by
    // lightKind; the bytes after the structure are zero.
    uint8_t lightData[64] = {};
};

struct CameraTweenRecord : BaseTweenRecord {
    CameraTweenRecord() = default;
    CameraTweenRecord(int32_t time, CShapeObject const& camera, CMatrix4x4 const& matrix,
                      TAnimate animate, TAnimateBy animateBy);

    uint8_t reserved[4] = {};
    TQ3Matrix4x4 matrix{};
    TAnimate animate = eAnimateData;
    TAnimateBy animateBy = eAnimateByAxis;
    FourCharCode cameraKind = 0;
    // TQ3ViewAngleAspectCameraData, TQ3ViewPlaneCameraData or TQ3OrthographicCameraData by
    // cameraKind; the bytes after the structure (all of them for another kind) are zero.
    uint8_t cameraData[80] = {};
};

// As large as the largest record: the element of a cache's record array. A 144-byte record
// copied into it leaves the bytes after it without meaning.
struct UnionTweenRecord {
    alignas(4) uint8_t bytes[168];
};

inline constexpr int32_t kObjectRecordSize = 144;
inline constexpr int32_t kLightRecordSize = 144;
inline constexpr int32_t kCameraRecordSize = 168;

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof" // the records extend BaseTweenRecord
static_assert(sizeof(BaseTweenRecord) == 8 && offsetof(BaseTweenRecord, selected) == 4);
static_assert(offsetof(BaseTweenRecord, ease) == 5);
static_assert(sizeof(ObjectTweenRecord) == 144);
static_assert(offsetof(ObjectTweenRecord, hasMatrix) == 8);
static_assert(offsetof(ObjectTweenRecord, matrix) == 12);
static_assert(offsetof(ObjectTweenRecord, hasColour0) == 76);
static_assert(offsetof(ObjectTweenRecord, colour0) == 80);
static_assert(offsetof(ObjectTweenRecord, hasColour1) == 92);
static_assert(offsetof(ObjectTweenRecord, colour1) == 96);
static_assert(offsetof(ObjectTweenRecord, hasSurfaceValue2) == 108);
static_assert(offsetof(ObjectTweenRecord, surfaceValue2) == 112);
static_assert(offsetof(ObjectTweenRecord, hasSurfaceValue1) == 116);
static_assert(offsetof(ObjectTweenRecord, surfaceValue1) == 120);
static_assert(offsetof(ObjectTweenRecord, hasSurfaceValue0) == 124);
static_assert(offsetof(ObjectTweenRecord, surfaceValue0) == 128);
static_assert(offsetof(ObjectTweenRecord, pivot) == 132);
static_assert(sizeof(LightTweenRecord) == 144);
static_assert(offsetof(LightTweenRecord, hasMatrix) == 8);
static_assert(offsetof(LightTweenRecord, matrix) == 12);
static_assert(offsetof(LightTweenRecord, lightKind) == 76);
static_assert(offsetof(LightTweenRecord, lightData) == 80);
static_assert(sizeof(CameraTweenRecord) == 168);
static_assert(offsetof(CameraTweenRecord, matrix) == 12);
static_assert(offsetof(CameraTweenRecord, animate) == 76);
static_assert(offsetof(CameraTweenRecord, animateBy) == 80);
static_assert(offsetof(CameraTweenRecord, cameraKind) == 84);
static_assert(offsetof(CameraTweenRecord, cameraData) == 88);
static_assert(sizeof(UnionTweenRecord) == 168);
#pragma GCC diagnostic pop
