#include "refhost/gltf/export_animation.h"

#include <algorithm>

#include "host/four_char_code.h"
#include "host/framework.h"
#include "host/scene/attribute_set.h"

namespace refhost::gltf {

using namespace refhost::scene;

namespace {

// The grid's frames: their times in seconds and the snapshots at them.
struct Frames {
    std::vector<float> times;
    std::vector<Snapshot const*> snapshots;
};

Frames FramesOf(PlayedDocument const& played) {
    Frames frames;
    for (int32_t t : played.grid) {
        frames.times.push_back(played.Seconds(t));
        frames.snapshots.push_back(&played.snapshots.at(t));
    }
    return frames;
}

// Whether what get reads of a snapshot differs in any frame from the first.
template <typename Get>
bool Varies(Frames const& frames, Get get) {
    Snapshot const& first = *frames.snapshots.front();
    return std::any_of(frames.snapshots.begin(), frames.snapshots.end(),
                       [&](Snapshot const* s) { return !(get(*s) == get(first)); });
}

// The times a material is keyed at and how.
struct MaterialKeys {
    std::set<int32_t> times;
    std::string interpolation;
};

// Materials change with the tween points of the groups they are in (keyed at those points'
// times) and with whatever is sampled (keyed at every frame too).
MaterialKeys MaterialKeysOf(std::size_t geometry, SceneBuilder const& builder,
                            PlayedDocument const& played) {
    MaterialKeys keys;
    if (played.sampled) {
        keys.times.insert(played.grid.begin(), played.grid.end());
    }
    bool step = !played.sampled && !builder.materialExact[geometry].empty();
    for (int e : builder.materialExact[geometry]) {
        ExactGroup const& group = builder.exact[static_cast<std::size_t>(e)];
        keys.times.insert(group.times.begin(), group.times.end());
        step = step && group.interpolation == "STEP";
    }
    keys.interpolation = step ? "STEP" : "LINEAR";
    return keys;
}

// Keys the material at index through pointer channels from its values at the key times.
void KeyMaterial(Animator& animator, tinygltf::Model& model, int index,
                 std::vector<float> const& keyTimes,
                 std::vector<SurfaceValues const*> const& values,
                 std::string const& interpolation) {
    std::string const base = "/materials/" + std::to_string(index);
    auto& material = model.materials[static_cast<std::size_t>(index)];
    bool const textured = material.pbrMetallicRoughness.baseColorTexture.index >= 0;
    std::vector<float> colours, roughness, offsets, rotations, speculars;
    bool blends = false;
    for (SurfaceValues const* v : values) {
        TQ3ColorRGB const sc = v->specular.value_or(TQ3ColorRGB{0, 0, 0});
        speculars.insert(speculars.end(), {sc.r, sc.g, sc.b});
        TQ3ColorRGB const c = textured ? TQ3ColorRGB{1, 1, 1} : v->diffuse;
        colours.insert(colours.end(), {c.r, c.g, c.b, std::clamp(v->opacity, 0.0f, 1.0f)});
        blends = blends || v->opacity < 1.0f;
        roughness.push_back(static_cast<float>(Roughness(v->shininess)));
        UvTrs const uv = TextureTrs(v->uvTransform);
        offsets.insert(offsets.end(),
                       {static_cast<float>(uv.offset[0]), static_cast<float>(uv.offset[1])});
        rotations.push_back(static_cast<float>(uv.rotation));
    }
    if (blends) {
        material.alphaMode = "BLEND";
    }
    animator.Channel(keyTimes, colours, 4, -1, "pointer",
                     base + "/pbrMetallicRoughness/baseColorFactor", interpolation);
    animator.Channel(keyTimes, roughness, 1, -1, "pointer",
                     base + "/pbrMetallicRoughness/roughnessFactor", interpolation);
    if (material.extensions.count("KHR_materials_specular")) {
        animator.Channel(keyTimes, speculars, 3, -1, "pointer",
                         base + "/extensions/KHR_materials_specular/specularColorFactor",
                         interpolation);
    }
    if (textured) {
        std::string const uv =
            base + "/pbrMetallicRoughness/baseColorTexture/extensions/KHR_texture_transform/";
        animator.Channel(keyTimes, offsets, 2, -1, "pointer", uv + "offset", interpolation);
        animator.Channel(keyTimes, rotations, 1, -1, "pointer", uv + "rotation", interpolation);
    }
}

} // namespace

void Animator::Channel(std::vector<float> const& times, std::vector<float> const& values,
                       int components, int node, std::string const& path,
                       std::string const& pointer, std::string const& interpolation) {
    tinygltf::AnimationSampler sampler;
    sampler.input = fWriter.AddFloats(times, 1, true); // shared by equal times
    sampler.output = fWriter.AddFloats(values, components, false);
    sampler.interpolation = interpolation;
    fAnimation.samplers.push_back(sampler);
    tinygltf::AnimationChannel channel;
    channel.sampler = static_cast<int>(fAnimation.samplers.size() - 1);
    channel.target_node = node;
    channel.target_path = path;
    if (!pointer.empty()) {
        tinygltf::Value::Object ext;
        ext["pointer"] = tinygltf::Value(pointer);
        channel.target_extensions["KHR_animation_pointer"] = tinygltf::Value(ext);
    }
    fAnimation.channels.push_back(channel);
}

void Animator::NodeTrs(std::vector<float> const& times, std::vector<Trs> const& keys, int node,
                       std::string const& interpolation) {
    std::vector<float> t, r, s;
    Quaternion last{0, 0, 0, 1};
    for (std::size_t i = 0; i < keys.size(); ++i) {
        Quaternion q = keys[i].r;
        double const dot = q[0] * last[0] + q[1] * last[1] + q[2] * last[2] + q[3] * last[3];
        if (i > 0 && dot < 0) {
            for (double& v : q) {
                v = -v;
            }
        }
        last = q;
        for (int k = 0; k < 3; ++k) {
            t.push_back(static_cast<float>(keys[i].t[static_cast<std::size_t>(k)]));
            s.push_back(static_cast<float>(keys[i].s[static_cast<std::size_t>(k)]));
        }
        for (double v : q) {
            r.push_back(static_cast<float>(v));
        }
    }
    Channel(times, t, 3, node, "translation", {}, interpolation);
    Channel(times, r, 4, node, "rotation", {}, interpolation);
    Channel(times, s, 3, node, "scale", {}, interpolation);
}

std::array<float, 3> Ambient(Snapshot const& snapshot) {
    std::array<float, 3> sum{0, 0, 0};
    for (LightValues const& light : snapshot.lights) {
        if (light.kind == "ambn"_4cc && light.on) {
            sum[0] += light.colour.r * light.brightness;
            sum[1] += light.colour.g * light.brightness;
            sum[2] += light.colour.b * light.brightness;
        }
    }
    return sum;
}

bool NeedsSampling(OpaqueTQ3Object* object, std::set<OpaqueTQ3Object*> const& exactGroups) {
    if (!object) {
        return false;
    }
    if (auto const* set = As<AttributeSet>(object->set)) {
        for (int effect : {eTextureEffectAttribute, eLightEffectAttribute, eColourEffectAttribute,
                           eTweenAttribute}) {
            if (set->custom.count(GetCustomAttributeType(effect)) &&
                !(effect == eTweenAttribute && exactGroups.count(object))) {
                return true;
            }
        }
    }
    if (auto* group = As<Group>(object)) {
        for (OpaqueTQ3GroupPosition* p = group->first; p; p = p->next) {
            if (NeedsSampling(p->object, exactGroups)) {
                return true;
            }
        }
    }
    if (auto* view = As<View>(object)) {
        return NeedsSampling(view->camera, exactGroups) || NeedsSampling(view->lights, exactGroups);
    }
    return false;
}

void KeyExactGroups(Animator& animator, std::vector<ExactGroup> const& exact,
                    PlayedDocument const& played) {
    for (ExactGroup const& e : exact) {
        std::vector<float> keyTimes;
        std::vector<Trs> keys;
        for (int32_t t : e.times) {
            keyTimes.push_back(played.Seconds(t));
            keys.push_back(Decompose(played.snapshots.at(t).transforms.at(e.transform), e.pivot));
        }
        animator.NodeTrs(keyTimes, keys, e.node, e.interpolation);
    }
}

bool KeyMaterials(Animator& animator, tinygltf::Model& model, SceneBuilder const& builder,
                  PlayedDocument const& played) {
    bool keyed = false;
    for (std::size_t i = 0; i < builder.materials.size(); ++i) {
        MaterialKeys const keys = MaterialKeysOf(i, builder, played);
        if (keys.times.size() < 2) {
            continue;
        }
        std::vector<float> keyTimes;
        std::vector<SurfaceValues const*> values;
        for (int32_t t : keys.times) {
            keyTimes.push_back(played.Seconds(t));
            values.push_back(&played.snapshots.at(t).surfaces.at(i));
        }
        if (std::all_of(values.begin(), values.end(),
                        [&](SurfaceValues const* v) { return *v == *values.front(); })) {
            continue;
        }
        KeyMaterial(animator, model, builder.materials[i], keyTimes, values, keys.interpolation);
        keyed = true;
    }
    return keyed;
}

void KeySampledTransforms(Animator& animator, tinygltf::Model& model, SceneBuilder const& builder,
                          PlayedDocument const& played) {
    Frames const frames = FramesOf(played);
    for (std::size_t i = 0; i < builder.transformNodes.size(); ++i) {
        if (builder.transformExact[i] >= 0 ||
            !Varies(frames, [&](Snapshot const& s) { return CMatrix4x4(s.transforms.at(i)); })) {
            continue;
        }
        std::vector<Trs> keys;
        for (Snapshot const* s : frames.snapshots) {
            keys.push_back(Decompose(s->transforms.at(i)));
        }
        int const node = builder.transformNodes[i];
        SetTrs(model.nodes[static_cast<std::size_t>(node)], keys.front());
        animator.NodeTrs(frames.times, keys, node);
    }
}

bool KeySampledLights(Animator& animator, SceneBuilder const& builder,
                      PlayedDocument const& played) {
    Frames const frames = FramesOf(played);
    bool keyed = false;
    for (std::size_t i = 0; i < builder.lightNodes.size(); ++i) {
        int const node = builder.lightNodes[i];
        if (node < 0 || !Varies(frames, [&](Snapshot const& s) { return s.lights.at(i); })) {
            continue;
        }
        std::vector<Trs> keys;
        std::vector<float> colours, intensities;
        for (Snapshot const* s : frames.snapshots) {
            LightValues const& v = s->lights.at(i);
            keys.push_back(LightTrs(v));
            colours.insert(colours.end(), {v.colour.r, v.colour.g, v.colour.b});
            intensities.push_back(v.on ? v.brightness : 0.0f);
        }
        animator.NodeTrs(frames.times, keys, node);
        std::string const base =
            "/extensions/KHR_lights_punctual/lights/" + std::to_string(builder.lightIndices[i]);
        animator.Channel(frames.times, colours, 3, -1, "pointer", base + "/color");
        animator.Channel(frames.times, intensities, 1, -1, "pointer", base + "/intensity");
        keyed = true;
    }
    return keyed;
}

tinygltf::Value AmbientAnimation(PlayedDocument const& played) {
    Frames const frames = FramesOf(played);
    if (!Varies(frames, [](Snapshot const& s) { return Ambient(s); })) {
        return {};
    }
    tinygltf::Value::Array keyTimes, colours;
    for (std::size_t i = 0; i < frames.snapshots.size(); ++i) {
        keyTimes.push_back(tinygltf::Value(double{frames.times[i]}));
        for (float v : Ambient(*frames.snapshots[i])) {
            colours.push_back(tinygltf::Value(double{v}));
        }
    }
    tinygltf::Value::Object animated;
    animated["times"] = tinygltf::Value(keyTimes);
    animated["colours"] = tinygltf::Value(colours);
    return tinygltf::Value(animated);
}

} // namespace refhost::gltf
