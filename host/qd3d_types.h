// QuickDraw 3D value types with their published layouts. Tween records store these
// structures as their exact in-memory image, so every size and offset is fixed here.
#pragma once

#include <cstddef>
#include <cstdint>

// 32-bit boolean: 0 is false, anything else true.
enum TQ3Boolean : uint32_t { kQ3False = 0, kQ3True = 1 };

// Row-major: points are row vectors multiplied on the left, translation in row 3.
struct TQ3Matrix4x4 {
    float value[4][4];
};
struct TQ3Matrix3x3 {
    float value[3][3];
};
struct TQ3Point2D {
    float x, y;
};
struct TQ3Param2D {
    float u, v;
};
struct TQ3Vector2D {
    float x, y;
};
struct TQ3Point3D {
    float x, y, z;
};
struct TQ3Vector3D {
    float x, y, z;
};
struct TQ3ColorRGB {
    float r, g, b;
};
struct TQ3Area {
    TQ3Point2D min, max;
};

struct TQ3CameraPlacement {
    TQ3Point3D cameraLocation;
    TQ3Point3D pointOfInterest;
    TQ3Vector3D upVector;
};
struct TQ3CameraRange {
    float hither, yon;
};
struct TQ3CameraViewPort {
    TQ3Point2D origin;
    float width, height;
};
struct TQ3CameraData {
    TQ3CameraPlacement placement;
    TQ3CameraRange range;
    TQ3CameraViewPort viewPort;
};
struct TQ3ViewAngleAspectCameraData {
    TQ3CameraData cameraData;
    float fov;
    float aspectRatioXToY;
};
struct TQ3OrthographicCameraData {
    TQ3CameraData cameraData;
    float left, top, right, bottom;
};
struct TQ3ViewPlaneCameraData {
    TQ3CameraData cameraData;
    float viewPlane;
    float halfWidthAtViewPlane;
    float halfHeightAtViewPlane;
    float centerXOnViewPlane;
    float centerYOnViewPlane;
};

enum TQ3AttenuationType : uint32_t {
    kQ3AttenuationTypeNone = 0,
    kQ3AttenuationTypeInverseDistance = 1,
    kQ3AttenuationTypeInverseDistanceSquared = 2
};
enum TQ3FallOffType : uint32_t {
    kQ3FallOffTypeNone = 0,
    kQ3FallOffTypeLinear = 1,
    kQ3FallOffTypeExponential = 2,
    kQ3FallOffTypeCosine = 3
};

struct TQ3LightData {
    TQ3Boolean isOn;
    float brightness;
    TQ3ColorRGB color;
};
struct TQ3DirectionalLightData {
    TQ3LightData lightData;
    TQ3Boolean castsShadows;
    TQ3Vector3D direction;
};
struct TQ3PointLightData {
    TQ3LightData lightData;
    TQ3Boolean castsShadows;
    TQ3AttenuationType attenuation;
    TQ3Point3D location;
};
struct TQ3SpotLightData {
    TQ3LightData lightData;
    TQ3Boolean castsShadows;
    TQ3AttenuationType attenuation;
    TQ3Point3D location;
    TQ3Vector3D direction;
    float hotAngle;
    float outerAngle;
    TQ3FallOffType fallOff;
};

static_assert(sizeof(TQ3Boolean) == 4);
static_assert(sizeof(TQ3Matrix4x4) == 64);
static_assert(sizeof(TQ3Matrix3x3) == 36);
static_assert(sizeof(TQ3Point2D) == 8 && sizeof(TQ3Param2D) == 8 && sizeof(TQ3Vector2D) == 8);
static_assert(sizeof(TQ3Point3D) == 12 && sizeof(TQ3Vector3D) == 12);
static_assert(sizeof(TQ3ColorRGB) == 12);
static_assert(sizeof(TQ3Area) == 16);
static_assert(sizeof(TQ3CameraPlacement) == 36);
static_assert(sizeof(TQ3CameraRange) == 8);
static_assert(sizeof(TQ3CameraViewPort) == 16);
static_assert(sizeof(TQ3CameraData) == 60);
static_assert(offsetof(TQ3CameraData, range) == 36 && offsetof(TQ3CameraData, viewPort) == 44);
static_assert(sizeof(TQ3ViewAngleAspectCameraData) == 68);
static_assert(offsetof(TQ3ViewAngleAspectCameraData, fov) == 60);
static_assert(sizeof(TQ3OrthographicCameraData) == 76);
static_assert(offsetof(TQ3OrthographicCameraData, left) == 60);
static_assert(sizeof(TQ3ViewPlaneCameraData) == 80);
static_assert(offsetof(TQ3ViewPlaneCameraData, viewPlane) == 60);
static_assert(offsetof(TQ3ViewPlaneCameraData, centerYOnViewPlane) == 76);
static_assert(sizeof(TQ3AttenuationType) == 4 && sizeof(TQ3FallOffType) == 4);
static_assert(sizeof(TQ3LightData) == 20);
static_assert(offsetof(TQ3LightData, brightness) == 4 && offsetof(TQ3LightData, color) == 8);
static_assert(sizeof(TQ3DirectionalLightData) == 36);
static_assert(offsetof(TQ3DirectionalLightData, direction) == 24);
static_assert(sizeof(TQ3PointLightData) == 40);
static_assert(offsetof(TQ3PointLightData, location) == 28);
static_assert(sizeof(TQ3SpotLightData) == 64);
static_assert(offsetof(TQ3SpotLightData, direction) == 40);
static_assert(offsetof(TQ3SpotLightData, hotAngle) == 52);
static_assert(offsetof(TQ3SpotLightData, fallOff) == 60);
