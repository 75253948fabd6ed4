// What the attribute sets above a scene member say of its surface: each set met on the way
// down (a group's, then a member's own) overrides what it holds and leaves the rest as
// inherited. The 3D view draws with it and the glTF export writes materials from it, so the
// two cannot disagree about how a surface looks.
#pragma once

#include <optional>

#include "host/qd3d_types.h"
#include "refhost/scene/objects.h"

namespace refhost::view3d {

struct InheritedSurface {
    std::optional<TQ3ColorRGB> diffuse, specular, transparency;
    std::optional<float> ambientCoefficient, specularControl;
    refhost::scene::TextureShader const* shader = nullptr; // borrowed from the scene

    // Takes what object says when it is an attribute set; anything else changes nothing.
    void Apply(OpaqueTQ3Object* object) {
        auto const* set = refhost::scene::As<refhost::scene::AttributeSet>(object);
        if (!set) {
            return;
        }
        auto take = [](auto& slot, auto const& value) {
            if (value) {
                slot = value;
            }
        };
        take(diffuse, set->diffuse);
        take(specular, set->specular);
        take(transparency, set->transparency);
        take(ambientCoefficient, set->ambientCoefficient);
        take(specularControl, set->specularControl);
        if (auto const* own = refhost::scene::As<refhost::scene::TextureShader>(set->shader)) {
            shader = own;
        }
    }
};

} // namespace refhost::view3d
