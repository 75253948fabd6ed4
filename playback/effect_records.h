// The continuous effects a geometry or a light can carry: each is one custom attribute whose
// block holds the record below, in the exact stored layout.
#pragma once

#include <cstdint>
#include <cstring>

#include "host/memory.h"
#include "host/qd3d_types.h"
#include "host/scene/attribute_set.h"
#include "tween/mac_error.h"

// A colour effect (custom attribute 12): hue, saturation and lightness keep turning.
struct TColourAttributeData {
    uint32_t startTime;   // not read by playback
    float hueRate;        // degrees per second
    float saturationRate; // percent per second
    float lightnessRate;  // percent per second
};

// A texture effect (custom attribute 10): the texture scrolls and turns.
struct TTextureAttributeData {
    uint32_t startTime;    // not read by playback
    float scrollSpeed;     // UV distance per second
    float scrollDirection; // degrees: 0 along u, 90 along v
    float rotationRate;    // degrees per second
    TQ3Point2D centre;     // of the rotation, in UV
};

// A light effect (custom attribute 11): the hue turns, the light strobes and pulses.
struct TLightAttributeData {
    uint32_t startTime;   // host time units; strobe and pulse phases count from it
    float peakBrightness; // at the top of a pulse
    float hueRate;        // degrees per second
    float strobeOnTime;   // seconds on in each strobe cycle
    float strobeOffTime;  // seconds off in each strobe cycle
    float pulseRate;      // percent of the peak per second
};

static_assert(sizeof(TColourAttributeData) == 16);
static_assert(offsetof(TColourAttributeData, hueRate) == 4);
static_assert(offsetof(TColourAttributeData, lightnessRate) == 12);
static_assert(sizeof(TTextureAttributeData) == 24);
static_assert(offsetof(TTextureAttributeData, scrollDirection) == 8);
static_assert(offsetof(TTextureAttributeData, centre) == 16);
static_assert(sizeof(TLightAttributeData) == 24);
static_assert(offsetof(TLightAttributeData, peakBrightness) == 4);
static_assert(offsetof(TLightAttributeData, strobeOffTime) == 16);
static_assert(offsetof(TLightAttributeData, pulseRate) == 20);

// The effect record the set holds for the custom attribute; throws CSceneException when the
// set has none, and eParamErr when the block is too small to be one.
template <typename Record>
Record ReadEffect(CSetObject const& set, TCustomAttributeGlobal effect) {
    THandlePair pair{};
    set.GetData(GetCustomAttributeType(effect), &pair);
    if (!pair.data || pair.size < static_cast<int32_t>(sizeof(Record)) ||
        GetHandleSize(pair.data) < static_cast<Size>(sizeof(Record))) {
        throw eParamErr;
    }
    Record record;
    std::memcpy(&record, *pair.data, sizeof record);
    return record;
}

// Attaches the record as the set's attribute of the type (the set takes the block over);
// throws eMemFullErr when the block cannot be made.
template <typename Record>
void AttachEffect(CSetObject& set, TQ3AttributeType type, Record const& record) {
    Handle block = NewHandle(static_cast<Size>(sizeof record));
    if (!block) {
        throw eMemFullErr;
    }
    std::memcpy(*block, &record, sizeof record);
    THandlePair pair{static_cast<int32_t>(sizeof record), block};
    try {
        set.AddType(type, &pair);
    } catch (...) {
        DisposeHandle(block); // the set did not take it
        throw;
    }
}
