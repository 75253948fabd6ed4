#include "refhost/gltf/tween_lists.h"

#include <cstddef>
#include <cstring>

#include "host/memory.h"
#include "host/scene/attribute_set.h"

namespace refhost::gltf {

using namespace refhost::scene;

namespace {

// The stored layout of an object tween point.
struct StoredObjectRecord {
    int32_t time;
    uint8_t selected;
    uint8_t ease;
    uint8_t padding[2];
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
static_assert(offsetof(StoredObjectRecord, ease) == 5);
static_assert(offsetof(StoredObjectRecord, matrix) == 12);
static_assert(offsetof(StoredObjectRecord, hasColour0) == 76);
static_assert(offsetof(StoredObjectRecord, hasColour1) == 92);
static_assert(offsetof(StoredObjectRecord, hasSurfaceValue2) == 108);
static_assert(offsetof(StoredObjectRecord, hasSurfaceValue0) == 124);
static_assert(offsetof(StoredObjectRecord, pivot) == 132);

constexpr uint32_t kHeaderSize = 8;

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
        key.selected = r.selected != 0;
        keys.push_back(key);
    }
    return keys;
}

void WriteObjectKeys(OpaqueTQ3Object* object, std::vector<ObjectKey> const& keys,
                     uint32_t sortingIndex) {
    if (!As<AttributeSet>(object->set)) {
        Release(object->set);
        object->set = new AttributeSet;
    }
    auto& set = *As<AttributeSet>(object->set);
    std::size_t const size = kHeaderSize + keys.size() * 144;
    Handle block = NewHandleClear(static_cast<Size>(size));
    if (!block) {
        throw std::bad_alloc();
    }
    uint32_t const header[2] = {144, sortingIndex};
    std::memcpy(*block, header, sizeof header);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        ObjectKey const& key = keys[i];
        StoredObjectRecord r{};
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
        std::memcpy(*block + kHeaderSize + i * 144, &r, sizeof r);
    }
    TQ3AttributeType const type = GetCustomAttributeType(eTweenAttribute);
    auto const old = set.custom.find(type);
    if (old != set.custom.end()) {
        DisposeHandle(old->second.data);
    }
    set.custom[type] = THandlePair{static_cast<int32_t>(size), block};
}

} // namespace refhost::gltf
