// The animation of an export: the document as it was played to every time keyed, and the
// channels keyed from it onto the nodes, materials and lights that SceneBuilder laid out.
// Object groups keyed exactly get their points' times; whatever else changes is sampled at
// the export's frames and keyed LINEAR. Material and light values are keyed through
// KHR_animation_pointer. Nothing here throws on a document the walk laid out.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <tiny_gltf.h>

#include "refhost/gltf/export_scene.h"
#include "refhost/gltf/model_writer.h"
#include "refhost/gltf/node_placement.h"
#include "refhost/gltf/scene_snapshot.h"

namespace refhost::gltf {

// Writes channels into an animation, their keys into the writer's buffer. Both are borrowed
// and must outlive the animator.
class Animator {
public:
    Animator(ModelWriter& writer, tinygltf::Animation& animation)
        : fWriter(writer), fAnimation(animation) {}

    // A channel of components values a key targeting the node's path, or, with a pointer,
    // the KHR_animation_pointer property it names (node -1, path "pointer").
    void Channel(std::vector<float> const& times, std::vector<float> const& values, int components,
                 int node, std::string const& path, std::string const& pointer = {},
                 std::string const& interpolation = "LINEAR");

    // The node's translation, rotation and scale channels, one key a time. Each rotation is
    // flipped where needed to turn the shorter way from the one before.
    void NodeTrs(std::vector<float> const& times, std::vector<Trs> const& keys, int node,
                 std::string const& interpolation = "LINEAR");

private:
    ModelWriter& fWriter;
    tinygltf::Animation& fAnimation;
};

// The document as the export played it: its range and clock, its frames at the export's rate
// and a snapshot at every time played to (each time any channel keys). The keying steps read
// the snapshots with at(): a time keyed but not played to throws std::out_of_range.
struct PlayedDocument {
    int32_t start = 0, end = 0; // the document's range, in host units
    int32_t origin = 0;         // the host time at glTF's 0 s: glTF times are not negative
    double units = 600;         // host units a second
    std::vector<int32_t> grid;  // the frames from the start on at the export's rate, then the end
    bool sampled = false;       // whether anything is sampled at the grid's frames
    std::map<int32_t, Snapshot> snapshots;

    float Seconds(int32_t t) const { return static_cast<float>((double(t) - origin) / units); }
    // Whether the grid's frames are keyed: something is sampled over a range that lasts.
    bool KeysFrames() const { return sampled && start < end; }
};

// The ambient lights that are on, added up.
std::array<float, 3> Ambient(Snapshot const& snapshot);

// Whether anything but object groups' tween points changes the scene while it plays: a
// tween list on a light, a light's group or the camera, or a continuous effect.
bool NeedsSampling(OpaqueTQ3Object* object, std::set<OpaqueTQ3Object*> const& exactGroups);

// Keys each exactly keyed group's node at its times (all of them played to).
void KeyExactGroups(Animator& animator, std::vector<ExactGroup> const& exact,
                    PlayedDocument const& played);

// Keys the materials that change. Returns whether any channel was written (all are pointer
// channels); a material that turns translucent while it plays is made to blend.
bool KeyMaterials(Animator& animator, tinygltf::Model& model, SceneBuilder const& builder,
                  PlayedDocument const& played);

// The sampled keys, for when played.KeysFrames(): transforms that change and are not keyed
// exactly (their nodes set to their first key), then lights that change. KeySampledLights
// returns whether it wrote any (pointer) channel.
void KeySampledTransforms(Animator& animator, tinygltf::Model& model, SceneBuilder const& builder,
                          PlayedDocument const& played);
bool KeySampledLights(Animator& animator, SceneBuilder const& builder,
                      PlayedDocument const& played);

// glTF has no ambient light: the scene's extras keep it as it plays, sampled at the grid's
// frames ({"times": seconds, "colours": r, g, b a time}); a null value when it stays the same.
tinygltf::Value AmbientAnimation(PlayedDocument const& played);

} // namespace refhost::gltf
