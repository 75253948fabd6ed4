// Putting effects on the geometries and lights of a group, looking for them and taking them
// off. Each walks the group's members in order, recursing into groups; members that are not
// shapes are passed over. When an effect block cannot be made the walk of that group stops
// (nothing is reported).
#pragma once

#include <cstdint>

class C3DObject;
class CGroupObject;

// Whether the last geometry or light the attach walks looked at qualified.
extern bool gAnimateThisLightObject;

// With add, gives each geometry that has a diffuse colour a colour effect (when a rate is not
// 0). Without add, only notes in gAnimateThisObject whether the last geometry has attribute.
void ParseToColorGeometry(CGroupObject& group, int32_t attributeType, bool add, uint32_t startTime,
                          float& hueRate, float& saturationRate, float& lightnessRate);

// With add, gives each geometry with texture coordinates a texture effect turning about the
// middle of its coordinates (when the speed or the rate is not 0). Without add, only notes in
// gContainsUVs whether the last geometry has a texture effect.
void ParseToTextureGeometry(CGroupObject& group, int32_t attributeType, bool add,
                            uint32_t startTime, float& scrollSpeed, float& scrollDirection,
                            float& rotationRate);

// With add, gives each light that qualifies (a hue rate or a strobe, or a pulse of a light
// brighter than 0.1, whose brightness becomes the pulse's peak) a light effect.
void ParseToLight(CGroupObject& group, int32_t attributeType, bool add, uint32_t startTime,
                  float& hueRate, float& strobeOnTime, float& strobeOffTime, float& pulseRate);

// Whether some geometry or light of the group carries the attribute.
bool ParseToCheckingForCustomAttrSet(CGroupObject& group, int32_t attributeType);
// Takes the attribute off every geometry and light of the group.
void DeleteExistingAttributes(CGroupObject& group, int32_t attributeType);

// A box, triangle, NURB curve or NURB patch: geometries with texture coordinates of their own.
bool StandardUVContainingGeometry(C3DObject& object);
