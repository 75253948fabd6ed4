#include "refhost/gltf/tween_lists.h"

#include <cstddef>
#include <cstring>

#include "host/four_char_code.h"
#include "host/memory.h"
#include "host/scene/attribute_set.h"
#include "tween/tween_records.h"

namespace refhost::gltf {

using namespace refhost::scene;

namespace {

constexpr uint32_t kHeaderSize = 8;

// Replaces the object's tween list with the records (each recordSize bytes).
void StoreList(OpaqueTQ3Object* object, uint32_t recordSize, uint32_t sortingIndex,
               std::vector<uint8_t> const& records) {
    if (!As<AttributeSet>(object->set)) {
        Release(object->set);
        object->set = new AttributeSet;
    }
    auto& set = *As<AttributeSet>(object->set);
    std::size_t const size = kHeaderSize + records.size();
    Handle block = NewHandleClear(static_cast<Size>(size));
    if (!block) {
        throw std::bad_alloc();
    }
    uint32_t const header[2] = {recordSize, sortingIndex};
    std::memcpy(*block, header, sizeof header);
    if (!records.empty()) {
        std::memcpy(*block + kHeaderSize, records.data(), records.size());
    }
    TQ3AttributeType const type = GetCustomAttributeType(eTweenAttribute);
    auto const old = set.custom.find(type);
    if (old != set.custom.end()) {
        DisposeHandle(old->second.data);
    }
    set.custom[type] = THandlePair{static_cast<int32_t>(size), block};
}

template <typename Record>
void Append(std::vector<uint8_t>& records, Record const& r) {
    auto const* bytes = reinterpret_cast<uint8_t const*>(&r);
    records.insert(records.end(), bytes, bytes + sizeof r);
}

template <typename Data>
void Put(uint8_t* slot, Data const& data) {
    std::memcpy(slot, &data, sizeof data);
}

// The light's data as its kind stores it, with the key's values.
void PutLightData(refhost::scene::Light const& light, LightKey const& key, uint8_t* slot) {
    FourCharCode const kind = light.Kind();
    if (kind == "pntl"_4cc) {
        Put(slot,
            TQ3PointLightData{key.common, light.castsShadows, light.attenuation, key.location});
    } else if (kind == "spot"_4cc) {
        Put(slot, TQ3SpotLightData{key.common, light.castsShadows, light.attenuation, key.location,
                                   key.direction, key.hotAngle, key.outerAngle, light.fallOff});
    } else if (kind == "drct"_4cc) {
        Put(slot, TQ3DirectionalLightData{key.common, light.castsShadows, key.direction});
    } else {
        Put(slot, key.common);
    }
}

template <typename T>
std::optional<T> IfFlag(int32_t flag, T const& value) {
    return flag ? std::optional<T>(value) : std::nullopt;
}

} // namespace

std::optional<std::vector<ObjectKey>> ReadObjectKeys(OpaqueTQ3Object const* object) {
    auto const* set = object ? As<AttributeSet>(object->set) : nullptr;
    if (!set) {
        return std::nullopt;
    }
    auto const found = set->custom.find(GetCustomAttributeType(eTweenAttribute));
    if (found == set->custom.end() || !found->second.data) {
        return std::nullopt;
    }
    Handle const block = found->second.data;
    std::size_t const size = static_cast<std::size_t>(GetHandleSize(block));
    uint32_t recordSize = 0;
    if (size < kHeaderSize ||
        (std::memcpy(&recordSize, *block, 4), recordSize) != kObjectRecordSize) {
        return std::nullopt;
    }
    std::vector<ObjectKey> keys;
    for (std::size_t at = kHeaderSize; at + kObjectRecordSize <= size; at += kObjectRecordSize) {
        ObjectTweenRecord r;
        std::memcpy(&r, *block + at, sizeof r);
        // A stored selection flag may be any byte: read as a byte, never as the bool.
        r.selected = (*block)[at + offsetof(BaseTweenRecord, selected)] != 0;
        ObjectKey key;
        key.time = r.time;
        key.ease = r.ease;
        if (r.hasMatrix) {
            key.matrix = CMatrix4x4(r.matrix);
        }
        key.diffuse = IfFlag(r.hasColour0, r.colour0);
        key.specular = IfFlag(r.hasColour1, r.colour1);
        key.transparency = IfFlag(r.hasSurfaceValue2, r.surfaceValue2);
        key.shininess = IfFlag(r.hasSurfaceValue1, r.surfaceValue1);
        key.ambientCoefficient = IfFlag(r.hasSurfaceValue0, r.surfaceValue0);
        key.pivot = r.pivot;
        key.selected = r.selected;
        keys.push_back(key);
    }
    return keys;
}

void WriteObjectKeys(OpaqueTQ3Object* object, std::vector<ObjectKey> const& keys,
                     uint32_t sortingIndex) {
    std::vector<uint8_t> records;
    for (ObjectKey const& key : keys) {
        ObjectTweenRecord r;
        r.time = key.time;
        r.ease = key.ease;
        r.hasMatrix = 1;
        r.matrix = key.matrix;
        auto put = [](auto const& value, int32_t& flag, auto& slot) {
            if (value) {
                flag = 1;
                slot = *value;
            }
        };
        put(key.diffuse, r.hasColour0, r.colour0);
        put(key.specular, r.hasColour1, r.colour1);
        put(key.transparency, r.hasSurfaceValue2, r.surfaceValue2);
        put(key.shininess, r.hasSurfaceValue1, r.surfaceValue1);
        put(key.ambientCoefficient, r.hasSurfaceValue0, r.surfaceValue0);
        r.pivot = key.pivot;
        Append(records, r);
    }
    StoreList(object, kObjectRecordSize, sortingIndex, records);
}

void WriteLightKeys(refhost::scene::Light& light, std::vector<LightKey> const& keys,
                    uint32_t sortingIndex) {
    std::vector<uint8_t> records;
    for (LightKey const& key : keys) {
        LightTweenRecord r;
        r.time = key.time;
        r.ease = key.ease;
        if (key.matrix) {
            r.hasMatrix = 1;
            r.matrix = *key.matrix;
        }
        r.lightKind = light.Kind();
        PutLightData(light, key, r.lightData);
        Append(records, r);
    }
    StoreList(&light, kLightRecordSize, sortingIndex, records);
}

void WriteCameraKeys(OpaqueTQ3Object* camera, std::vector<CameraKey> const& keys) {
    std::vector<uint8_t> records;
    for (CameraKey const& key : keys) {
        CameraTweenRecord r;
        r.time = key.time;
        r.ease = key.ease;
        r.matrix = CMatrix4x4(1.0);
        r.animate = eAnimateData; // the camera's own data is what plays
        r.cameraKind = key.kind;
        if (key.kind == "orth"_4cc) {
            Put(r.cameraData,
                TQ3OrthographicCameraData{key.data, key.left, key.top, key.right, key.bottom});
        } else {
            Put(r.cameraData,
                TQ3ViewAngleAspectCameraData{key.data, key.fieldOfView, key.aspectRatio});
        }
        Append(records, r);
    }
    StoreList(camera, kCameraRecordSize, 1, records);
}

} // namespace refhost::gltf
