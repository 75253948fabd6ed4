#include "refhost/window/motion_aids.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/framework.h"
#include "host/scene.h"
#include "interp/easing.h"
#include "refhost/scene/objects.h"
#include "refhost/view3d/scene_renderer.h"

namespace refhost::window {

using gltf::ObjectKey;

namespace {

TQ3Point3D Mix(TQ3Point3D const& a, TQ3Point3D const& b, float f) {
    return {a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f, a.z + (b.z - a.z) * f};
}

TQ3Point3D Placed(TQ3Point3D const& pivot, CMatrix4x4 const& matrix) {
    CPoint3D const p = CPoint3D(pivot) * matrix;
    return {p.x, p.y, p.z};
}

// The selected members with their tween points.
struct Animated {
    OpaqueTQ3Object* member;
    std::vector<ObjectKey> keys;
};

std::vector<Animated> SelectedAnimated(Document const& document) {
    std::vector<Animated> out;
    auto const* group = scene::As<scene::Group>(document.SelectedGroup());
    if (!group) {
        return out;
    }
    try {
        for (OpaqueTQ3GroupPosition* p = group->first; p; p = p->next) {
            std::optional<std::vector<ObjectKey>> keys = gltf::ReadObjectKeys(p->object);
            if (keys && !keys->empty() && scene::As<scene::Group>(p->object)) {
                out.push_back({p->object, std::move(*keys)});
            }
        }
    } catch (CSceneException const&) {
        // No plug-in has registered its attribute types: nothing holds tween points.
        out.clear();
    }
    return out;
}

// Everything a path depends on, as bytes.
std::string KeyOf(Document const& document, std::vector<Animated> const& animated) {
    std::string key;
    auto put = [&key](void const* bytes, std::size_t size) {
        key.append(static_cast<char const*>(bytes), size);
    };
    ClockSettings const& clock = document.clock;
    put(&clock.unitsPerSecond, sizeof clock.unitsPerSecond);
    put(&clock.minimum, sizeof clock.minimum);
    put(&clock.maximum, sizeof clock.maximum);
    for (Animated const& a : animated) {
        put(&a.member, sizeof a.member);
        for (ObjectKey const& k : a.keys) {
            put(&k.time, sizeof k.time);
            put(&k.ease, sizeof k.ease);
            put(&k.selected, sizeof k.selected);
            put(&k.matrix, sizeof k.matrix);
            put(&k.pivot, sizeof k.pivot);
        }
    }
    return key;
}

// The member's placement now: its first transform's matrix (the one playback sets).
CMatrix4x4 PlacementOf(OpaqueTQ3Object* member) {
    if (auto const* group = scene::As<scene::Group>(member)) {
        for (OpaqueTQ3GroupPosition* p = group->first; p; p = p->next) {
            if (auto const* transform = scene::As<scene::Transform>(p->object)) {
                return transform->matrix;
            }
        }
    }
    return CMatrix4x4(1.0);
}

} // namespace

TQ3Point3D PivotAt(std::vector<ObjectKey> const& keys, int32_t t) {
    auto const next =
        std::upper_bound(keys.begin(), keys.end(), t,
                         [](int32_t time, ObjectKey const& k) { return time < k.time; });
    if (next == keys.begin()) {
        return Placed(keys.front().pivot, keys.front().matrix);
    }
    ObjectKey const& prev = *(next - 1);
    if (next == keys.end() || prev.time == t) {
        return Placed(prev.pivot, prev.matrix);
    }
    float const f =
        EasedFraction(prev.ease, static_cast<float>(int64_t{t} - prev.time) /
                                     static_cast<float>(int64_t{next->time} - prev.time));
    return Mix(Placed(next->pivot, prev.matrix), Placed(next->pivot, next->matrix), f);
}

std::vector<MotionPath> ComputeMotionPaths(Document const& document) {
    ClockSettings const& clock = document.clock;
    int32_t const start = std::min(clock.minimum, clock.maximum);
    int32_t const end = std::max(clock.minimum, clock.maximum);
    double const step = (clock.unitsPerSecond ? clock.unitsPerSecond : 600) / kPathSamplesPerSecond;
    std::vector<MotionPath> paths;
    for (Animated& a : SelectedAnimated(document)) {
        std::stable_sort(a.keys.begin(), a.keys.end(),
                         [](ObjectKey const& x, ObjectKey const& y) { return x.time < y.time; });
        MotionPath path;
        path.member = a.member;
        for (long k = 0;; ++k) {
            double const t = start + static_cast<double>(k) * step;
            if (t >= end) {
                break;
            }
            path.samples.push_back(PivotAt(a.keys, static_cast<int32_t>(std::lround(t))));
        }
        path.samples.push_back(PivotAt(a.keys, end));
        for (ObjectKey const& k : a.keys) {
            path.points.push_back(Placed(k.pivot, k.matrix));
            path.pointSelected.push_back(k.selected);
        }
        paths.push_back(std::move(path));
    }
    return paths;
}

view3d::ViewAids const& MotionAids::Update(Document const& document,
                                           view3d::AidSwitches const& switches) {
    fAids = {};
    fAids.grid = fAids.axes = switches.grid;
    if (!switches.paths && !switches.ghosts) {
        return fAids;
    }
    std::vector<Animated> animated = SelectedAnimated(document);
    int32_t const now = document.clock.current;
    if (switches.paths) {
        std::string key = KeyOf(document, animated);
        if (key != fKey || fComputations == 0) {
            fPaths = ComputeMotionPaths(document);
            fKey = std::move(key);
            ++fComputations;
        }
        TQ3ColorRGB const* chosen = PL_GetColor(0);
        TQ3ColorRGB const selection = chosen ? *chosen : view3d::SceneSource{}.selectionColour;
        for (std::size_t i = 0; i < fPaths.size(); ++i) {
            MotionPath const& path = fPaths[i];
            fAids.lines.push_back({path.samples, kPathColour});
            for (std::size_t j = 0; j < path.points.size(); ++j) {
                fAids.dots.push_back(
                    {path.points[j], path.pointSelected[j] ? selection : kPointColour, 7});
            }
            auto keys = animated[i].keys;
            std::stable_sort(keys.begin(), keys.end(), [](ObjectKey const& x, ObjectKey const& y) {
                return x.time < y.time;
            });
            fAids.dots.push_back({PivotAt(keys, now), kCurrentColour, 9});
        }
    }
    if (switches.ghosts) {
        // The tween points just before and just after the current time.
        for (Animated const& a : animated) {
            ObjectKey const* before = nullptr;
            ObjectKey const* after = nullptr;
            for (ObjectKey const& k : a.keys) {
                if (k.time < now && (!before || k.time > before->time)) {
                    before = &k;
                }
                if (k.time > now && (!after || k.time < after->time)) {
                    after = &k;
                }
            }
            CMatrix4x4 const undo = InverseOf(PlacementOf(a.member));
            for (ObjectKey const* k : {before, after}) {
                if (k) {
                    CMatrix4x4 change = undo;
                    change *= k->matrix;
                    fAids.ghosts.push_back({a.member, change, 0.3f});
                }
            }
        }
    }
    return fAids;
}

} // namespace refhost::window
