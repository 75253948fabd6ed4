#include "refhost/view3d/draw_order.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace refhost::view3d {

namespace {

float DistanceFrom(TQ3Point3D const& eye, Instance const& instance, ShapeRange const& shape) {
    std::array<float, 4> const centre{shape.centre[0], shape.centre[1], shape.centre[2], 1};
    float sum = 0;
    float const e[3] = {eye.x, eye.y, eye.z};
    for (std::size_t j = 0; j < 3; ++j) {
        std::array<float, 4> const& row = instance.data.rows[j];
        float const world =
            row[0] * centre[0] + row[1] * centre[1] + row[2] * centre[2] + row[3] * centre[3];
        sum += (e[j] - world) * (e[j] - world);
    }
    return std::sqrt(sum);
}

bool SameBatch(Batch const& batch, Instance const& instance) {
    return batch.shape == instance.shape && batch.material == instance.material &&
           batch.selected == instance.selected && batch.transparent == instance.transparent;
}

// Appends the instance to the last batch when it fits there, else starts a batch.
void Extend(std::vector<Batch>& batches, Instance const& instance, uint32_t index) {
    if (!batches.empty() && SameBatch(batches.back(), instance) &&
        batches.back().first + batches.back().count == index) {
        ++batches.back().count;
        return;
    }
    batches.push_back(
        {instance.shape, instance.material, index, 1, instance.selected, instance.transparent});
}

} // namespace

void OrderForDrawing(DrawList& list, ShapeLibrary const& shapes, TQ3Point3D const& eye) {
    // Each opaque instance joins the group of its material, selection and shape; groups of
    // one material and selection follow each other, in the order the walk met them.
    std::unordered_map<uint64_t, uint32_t> kindOf, groupOf;
    std::vector<uint32_t> group(list.instances.size());
    std::vector<uint32_t> groupKind, groupSize;
    std::vector<std::pair<float, uint32_t>> seeThrough;
    uint64_t lastKey = ~uint64_t{0};
    uint32_t lastGroup = 0;
    for (uint32_t i = 0; i < list.instances.size(); ++i) {
        Instance const& instance = list.instances[i];
        if (instance.transparent) {
            seeThrough.emplace_back(DistanceFrom(eye, instance, shapes.Range(instance.shape)), i);
            continue;
        }
        uint64_t const kind = uint64_t{instance.material} << 1 | (instance.selected ? 1u : 0u);
        uint64_t const key = kind << 32 | instance.shape;
        if (key != lastKey) {
            auto [found, added] = groupOf.try_emplace(key, static_cast<uint32_t>(groupSize.size()));
            if (added) {
                groupSize.push_back(0);
                groupKind.push_back(
                    kindOf.try_emplace(kind, static_cast<uint32_t>(kindOf.size())).first->second);
            }
            lastKey = key;
            lastGroup = found->second;
        }
        group[i] = lastGroup;
        ++groupSize[lastGroup];
    }
    std::vector<uint32_t> groups(groupSize.size());
    for (uint32_t g = 0; g < groups.size(); ++g) {
        groups[g] = g;
    }
    std::stable_sort(groups.begin(), groups.end(),
                     [&groupKind](uint32_t a, uint32_t b) { return groupKind[a] < groupKind[b]; });
    std::vector<uint32_t> next(groupSize.size(), 0);
    uint32_t place = 0;
    for (uint32_t g : groups) {
        next[g] = place;
        place += groupSize[g];
    }
    std::stable_sort(seeThrough.begin(), seeThrough.end(),
                     [](auto const& a, auto const& b) { return a.first > b.first; });

    std::vector<Instance> ordered(list.instances.size());
    for (uint32_t i = 0; i < list.instances.size(); ++i) {
        if (!list.instances[i].transparent) {
            ordered[next[group[i]]++] = list.instances[i];
        }
    }
    for (std::size_t k = 0; k < seeThrough.size(); ++k) {
        ordered[place + k] = list.instances[seeThrough[k].second];
    }
    list.instances = std::move(ordered);
    list.batches.clear();
    for (uint32_t i = 0; i < list.instances.size(); ++i) {
        Extend(list.batches, list.instances[i], i);
    }
}

void MarkHiddenBackFaces(DrawList& list, ShapeLibrary const& shapes,
                         GlMatrix const& viewProjection) {
    // The near plane's half-space: clip z + w >= 0, as a plane in world coordinates.
    std::array<float, 4> near;
    for (std::size_t k = 0; k < 4; ++k) {
        near[k] = viewProjection[k * 4 + 2] + viewProjection[k * 4 + 3];
    }
    float const normal = std::sqrt(near[0] * near[0] + near[1] * near[1] + near[2] * near[2]);
    for (Instance& instance : list.instances) {
        ShapeRange const& shape = shapes.Range(instance.shape);
        instance.data.flags[0] = 0;
        if (instance.transparent || !shape.closed || !(normal > 0)) {
            continue;
        }
        // The sphere around the shape's box, placed: its radius grows at most by the
        // placement's Frobenius norm.
        float radius = 0, stretch = 0, centreDistance = near[3];
        for (std::size_t j = 0; j < 3; ++j) {
            float const half = (shape.high[j] - shape.low[j]) / 2;
            radius += half * half;
            std::array<float, 4> const& row = instance.data.rows[j];
            stretch += row[0] * row[0] + row[1] * row[1] + row[2] * row[2];
            float const middle = (shape.high[0] + shape.low[0]) / 2 * row[0] +
                                 (shape.high[1] + shape.low[1]) / 2 * row[1] +
                                 (shape.high[2] + shape.low[2]) / 2 * row[2] + row[3];
            centreDistance += near[j] * middle;
        }
        float const reach = std::sqrt(radius * stretch) * normal;
        instance.data.flags[0] = centreDistance > reach * 1.001f + 1e-6f ? 1.0f : 0.0f;
    }
}

} // namespace refhost::view3d
