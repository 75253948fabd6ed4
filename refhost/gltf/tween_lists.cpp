#include "refhost/gltf/tween_lists.h"

#include <cstddef>
#include <cstring>

#include "host/four_char_code.h"
#include "host/memory.h"
#include "host/scene/attribute_set.h"

namespace refhost::gltf {

using namespace refhost::scene;

namespace {

// The stored layout of the header every tween point starts with.
struct StoredHeader {
    int32_t time;
    uint8_t selected;
    uint8_t ease; // how the interval from this point on is blended
    uint8_t padding[2];
};
static_assert(sizeof(StoredHeader) == 8 && offsetof(StoredHeader, ease) == 5);

// The stored layout of an object tween point.
struct StoredObjectRecord {
    StoredHeader header;
    int32_t hasMatrix;
    TQ3Matrix4x4 matrix;
    int32_t hasColour0;
    TQ3ColorRGB colour0;
    int32_t hasColour1;
    TQ3ColorRGB colour1;
    int32_t hasSurfaceValue2;
    float surfaceValue2;
    int32_t hasSurfaceValue1;
    float surfaceValue1;
    int32_t hasSurfaceValue0;
    float surfaceValue0;
    TQ3Point3D pivot;
};
static_assert(sizeof(StoredObjectRecord) == 144);
static_assert(offsetof(StoredObjectRecord, matrix) == 12);
static_assert(offsetof(StoredObjectRecord, hasColour0) == 76);
static_assert(offsetof(StoredObjectRecord, hasColour1) == 92);
static_assert(offsetof(StoredObjectRecord, hasSurfaceValue2) == 108);
static_assert(offsetof(StoredObjectRecord, hasSurfaceValue0) == 124);
static_assert(offsetof(StoredObjectRecord, pivot) == 132);

// The stored layout of a light's tween point.
struct StoredLightRecord {
    StoredHeader header;
    int32_t hasMatrix;
    TQ3Matrix4x4 matrix;
    FourCharCode lightKind;
    uint8_t lightData[64];
};
static_assert(sizeof(StoredLightRecord) == 144);
static_assert(offsetof(StoredLightRecord, matrix) == 12);
static_assert(offsetof(StoredLightRecord, lightKind) == 76);
static_assert(offsetof(StoredLightRecord, lightData) == 80);

// The stored layout of a camera's tween point.
struct StoredCameraRecord {
    StoredHeader header;
    uint8_t reserved[4];
    TQ3Matrix4x4 matrix;
    int32_t animate;   // 2: the camera's own data is what plays
    int32_t animateBy; // used only with another animate
    FourCharCode cameraKind;
    uint8_t cameraData[80];
};
static_assert(sizeof(StoredCameraRecord) == 168);
static_assert(offsetof(StoredCameraRecord, matrix) == 12);
static_assert(offsetof(StoredCameraRecord, animate) == 76);
static_assert(offsetof(StoredCameraRecord, cameraKind) == 84);
static_assert(offsetof(StoredCameraRecord, cameraData) == 88);

constexpr int32_t kAnimateData = 2;
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
    if (size < kHeaderSize || (std::memcpy(&recordSize, *block, 4), recordSize) != 144) {
        return std::nullopt;
    }
    std::vector<ObjectKey> keys;
    for (std::size_t at = kHeaderSize; at + 144 <= size; at += 144) {
        StoredObjectRecord r;
        std::memcpy(&r, *block + at, sizeof r);
        ObjectKey key;
        key.time = r.header.time;
        key.ease = r.header.ease;
        if (r.hasMatrix) {
            key.matrix = CMatrix4x4(r.matrix);
        }
        key.diffuse = IfFlag(r.hasColour0, r.colour0);
        key.specular = IfFlag(r.hasColour1, r.colour1);
        key.transparency = IfFlag(r.hasSurfaceValue2, r.surfaceValue2);
        key.shininess = IfFlag(r.hasSurfaceValue1, r.surfaceValue1);
        key.ambientCoefficient = IfFlag(r.hasSurfaceValue0, r.surfaceValue0);
        key.pivot = r.pivot;
        key.selected = r.header.selected != 0;
        keys.push_back(key);
    }
    return keys;
}

void WriteObjectKeys(OpaqueTQ3Object* object, std::vector<ObjectKey> const& keys,
                     uint32_t sortingIndex) {
    std::vector<uint8_t> records;
    for (ObjectKey const& key : keys) {
        StoredObjectRecord r{};
        r.header.time = key.time;
        r.header.ease = key.ease;
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
    StoreList(object, sizeof(StoredObjectRecord), sortingIndex, records);
}

void WriteLightKeys(refhost::scene::Light& light, std::vector<LightKey> const& keys,
                    uint32_t sortingIndex) {
    std::vector<uint8_t> records;
    for (LightKey const& key : keys) {
        StoredLightRecord r{};
        r.header.time = key.time;
        r.header.ease = key.ease;
        if (key.matrix) {
            r.hasMatrix = 1;
            r.matrix = *key.matrix;
        }
        r.lightKind = light.Kind();
        PutLightData(light, key, r.lightData);
        Append(records, r);
    }
    StoreList(&light, sizeof(StoredLightRecord), sortingIndex, records);
}

void WriteCameraKeys(OpaqueTQ3Object* camera, std::vector<CameraKey> const& keys) {
    std::vector<uint8_t> records;
    for (CameraKey const& key : keys) {
        StoredCameraRecord r{};
        r.header.time = key.time;
        r.header.ease = key.ease;
        r.matrix = CMatrix4x4(1.0);
        r.animate = kAnimateData;
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
    StoreList(camera, sizeof(StoredCameraRecord), 1, records);
}

} // namespace refhost::gltf
