#include "refhost/gltf/gltf_export.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <set>

#include "host/framework.h"
#include "refhost/gltf/export_animation.h"
#include "refhost/gltf/export_scene.h"
#include "refhost/gltf/gltf_error.h"
#include "refhost/gltf/model_writer.h"
#include "refhost/gltf/node_placement.h"
#include "refhost/gltf/scene_snapshot.h"

namespace refhost::gltf {

namespace {

// The document's range and clock in the terms the keys need.
PlayedDocument ClockOf(ClockSettings const& clock) {
    PlayedDocument played;
    played.start = std::min(clock.minimum, clock.maximum);
    played.end = std::max(clock.minimum, clock.maximum);
    played.units = clock.unitsPerSecond ? clock.unitsPerSecond : 600;
    played.origin = std::min(played.start, 0); // glTF times are not negative
    return played;
}

// The frames from start on at fps, before end, and end itself.
std::vector<int32_t> FrameGrid(int32_t start, int32_t end, double units, double fps) {
    std::vector<int32_t> grid;
    for (int k = 0;; ++k) {
        auto const t = static_cast<int32_t>(std::lround(start + k * units / fps));
        if (t >= end) {
            break;
        }
        grid.push_back(t);
    }
    grid.push_back(end);
    return grid;
}

// The key one time unit before the later point of each hold, where the group is not STEP
// keyed.
void AddHoldEnds(ExactGroup const& e, int32_t start, int32_t end, std::set<int32_t>& own) {
    for (std::size_t i = 0; i + 1 < e.times.size(); ++i) {
        int32_t const before = e.times[i + 1] - 1;
        if (e.eases[i] == eEaseHold && before > e.times[i] && before > start && before < end) {
            own.insert(before);
        }
    }
}

// An object group is keyed at its points' times. A hold keeps the earlier point until
// the later one: STEP when every interval holds, else a key one time unit before the
// later point (no time the host plays lies between). An eased interval is sampled at the
// frames within it. Sets the group's times and interpolation; returns whether any of its
// intervals is eased.
bool PlanExactKeys(ExactGroup& e, PlayedDocument const& played) {
    int32_t const start = played.start, end = played.end;
    std::set<int32_t> own = {start, end};
    bool allHold = true, anyHold = false, eased = false;
    for (std::size_t i = 0; i < e.times.size(); ++i) {
        int32_t const t = e.times[i];
        if (t > start && t < end) {
            own.insert(t);
        }
        bool const last = i + 1 == e.times.size();
        int32_t const next = last ? t : e.times[i + 1];
        if (last || next <= start || t >= end || next <= t) {
            continue; // no interval within the range starts here
        }
        uint8_t const ease = e.eases[i];
        allHold = allHold && ease == eEaseHold;
        anyHold = anyHold || ease == eEaseHold;
        if (ease != eEaseLinear && ease != eEaseHold && ease < kEaseCount) {
            eased = true;
            for (int32_t g : played.grid) {
                if (g > t && g < next) {
                    own.insert(g);
                }
            }
        }
    }
    if (allHold && anyHold) {
        e.interpolation = "STEP";
    } else if (anyHold) {
        AddHoldEnds(e, start, end, own);
    }
    e.times.assign(own.begin(), own.end());
    return eased;
}

// The times to play to: every exact key within the range, the range's ends, and the
// frames between them when anything has to be sampled. Plans each exact group's keys; eased
// tells whether any group's eased interval is sampled.
std::set<int32_t> TimesToPlay(PlayedDocument const& played, std::vector<ExactGroup>& exact,
                              bool& eased) {
    std::set<int32_t> times = {played.start, played.end};
    if (played.sampled) {
        times.insert(played.grid.begin(), played.grid.end());
    }
    eased = false;
    for (ExactGroup& e : exact) {
        eased = PlanExactKeys(e, played) || eased;
        times.insert(e.times.begin(), e.times.end());
    }
    return times;
}

void PlayTo(HostSession& session, int32_t t) {
    PL_SetCurTime(t);
    session.Loop().Frame(0);
}

// Plays the document to each time, keeping a snapshot of each, then back to current.
void TakeSnapshots(HostSession& session, Document const& document, std::set<int32_t> const& times,
                   int32_t current, PlayedDocument& played) {
    for (int32_t t : times) {
        PlayTo(session, t);
        played.snapshots[t] = TakeSnapshot(document);
    }
    PlayTo(session, current);
}

tinygltf::Camera CameraOf(Lens const& lens) {
    tinygltf::Camera camera;
    camera.type = lens.orthographic ? "orthographic" : "perspective";
    if (lens.orthographic) {
        camera.orthographic.xmag = lens.width;
        camera.orthographic.ymag = lens.height;
        camera.orthographic.znear = lens.hither;
        camera.orthographic.zfar = lens.yon;
    } else {
        camera.perspective.yfov = lens.height;
        camera.perspective.aspectRatio = lens.width;
        camera.perspective.znear = lens.hither;
        camera.perspective.zfar = lens.yon;
    }
    return camera;
}

// The camera's motion and lens over the grid's frames, keyed where they change from c's;
// returns whether the lens was keyed (through pointer channels).
bool KeyCamera(Animator& animator, int node, CameraValues const& c, Lens const& lens,
               PlayedDocument const& played) {
    std::vector<float> gridTimes;
    std::vector<Trs> keys;
    std::vector<float> widths, heights;
    bool moves = false, zooms = false;
    for (int32_t t : played.grid) {
        gridTimes.push_back(played.Seconds(t));
        CameraValues const& now = *played.snapshots.at(t).camera;
        keys.push_back(CameraTrs(now));
        moves = moves || !(now == c);
        Lens const at = LensOf(now);
        widths.push_back(static_cast<float>(at.width));
        heights.push_back(static_cast<float>(at.height));
        zooms = zooms || at.orthographic != lens.orthographic || widths.back() != widths.front() ||
                heights.back() != heights.front();
    }
    if (moves) {
        animator.NodeTrs(gridTimes, keys, node);
    }
    // The lens as it plays (field of view, aspect, or an orthographic camera's size),
    // sampled with the placement. A camera that changes kind keeps the first kind's.
    if (zooms) {
        std::string const base =
            lens.orthographic ? "/cameras/0/orthographic/" : "/cameras/0/perspective/";
        animator.Channel(gridTimes, heights, 1, -1, "pointer",
                         base + (lens.orthographic ? "ymag" : "yfov"));
        animator.Channel(gridTimes, widths, 1, -1, "pointer",
                         base + (lens.orthographic ? "xmag" : "aspectRatio"));
    }
    return zooms;
}

// The view's camera, a node of its own at the root, keyed as it plays when frames are
// keyed. Returns whether a pointer channel was written.
bool AddCamera(tinygltf::Model& model, std::vector<int>& roots, Animator& animator,
               CameraValues const& c, PlayedDocument const& played) {
    Lens const lens = LensOf(c);
    model.cameras.push_back(CameraOf(lens));
    tinygltf::Node node;
    node.name = "Camera";
    node.camera = 0;
    SetTrs(node, CameraTrs(c));
    model.nodes.push_back(node);
    int const index = static_cast<int>(model.nodes.size() - 1);
    roots.push_back(index);
    return played.KeysFrames() && KeyCamera(animator, index, c, lens, played);
}

// The scene of the roots, named after the document's file, with the ambient light (and
// how it plays, when it changes) in its extras.
void AddScene(tinygltf::Model& model, std::string const& documentPath, SceneBuilder const& builder,
              std::array<float, 3> const& ambient, tinygltf::Value const& ambientAnimation) {
    tinygltf::Scene scene;
    scene.name = std::filesystem::path(documentPath).stem().string();
    scene.nodes = builder.roots;
    tinygltf::Value::Object extras;
    extras["ambient"] = Array({ambient[0], ambient[1], ambient[2]});
    if (ambientAnimation.IsObject()) {
        extras["ambientAnimation"] = ambientAnimation;
    }
    scene.extras = tinygltf::Value(extras);
    model.scenes.push_back(scene);
    model.defaultScene = 0;
}

void DeclareExtensions(tinygltf::Model& model, SceneBuilder const& builder, bool usesPointer) {
    if (!builder.Lights().empty()) {
        tinygltf::Value::Object lights;
        lights["lights"] = tinygltf::Value(builder.Lights());
        model.extensions["KHR_lights_punctual"] = tinygltf::Value(lights);
        model.extensionsUsed.push_back("KHR_lights_punctual");
    }
    if (builder.usesTextureTransform) {
        model.extensionsUsed.push_back("KHR_texture_transform");
    }
    if (builder.usesSpecular) {
        model.extensionsUsed.push_back("KHR_materials_specular");
    }
    if (usesPointer) {
        model.extensionsUsed.push_back("KHR_animation_pointer");
    }
}

// The scene, the animation when it has channels, the extensions used, and the one buffer
// named (dropped when nothing is in it).
void FinishModel(tinygltf::Model& model, std::string const& documentPath,
                 SceneBuilder const& builder, tinygltf::Animation const& animation,
                 std::array<float, 3> const& ambient, tinygltf::Value const& ambientAnimation,
                 bool usesPointer) {
    AddScene(model, documentPath, builder, ambient, ambientAnimation);
    if (!animation.channels.empty()) {
        model.animations.push_back(animation);
    }
    DeclareExtensions(model, builder, usesPointer);
    model.buffers[0].name = "data";
    if (model.buffers[0].data.empty()) {
        model.buffers.clear();
    }
}

// Keys what changes in the scene the builder laid out: exactly keyed groups, materials, then
// what is sampled. Returns whether any pointer channel was written; the ambient animation is
// set when the ambient light changes.
bool KeyScene(Animator& animator, tinygltf::Model& model, SceneBuilder const& builder,
              PlayedDocument const& played, tinygltf::Value& ambientAnimation) {
    KeyExactGroups(animator, builder.exact, played);
    bool usesPointer = KeyMaterials(animator, model, builder, played);
    if (played.KeysFrames()) {
        KeySampledTransforms(animator, model, builder, played);
        usesPointer = KeySampledLights(animator, builder, played) || usesPointer;
        ambientAnimation = AmbientAnimation(played);
    }
    return usesPointer;
}

} // namespace

ExportSummary ExportGltf(HostSession& session, std::string const& path,
                         ExportOptions const& options) {
    if (!(options.fps > 0) || options.fps > 1000) {
        throw GltfError(path + ": the frame rate must lie between 0 and 1000 a second");
    }
    Document& document = session.Front();
    PlayedDocument played = ClockOf(document.clock);
    int32_t const current = PL_GetCurTime();

    PlayTo(session, played.start);
    ModelWriter writer;
    tinygltf::Model& model = writer.Model();
    SceneBuilder builder(writer);
    try {
        WalkDocument(document, builder);
    } catch (GltfError const& e) {
        PlayTo(session, current);
        throw GltfError(path + ": " + e.what());
    }

    played.sampled = NeedsSampling(document.SelectedGroup(), builder.exactGroups) ||
                     NeedsSampling(document.OtherGroup(), builder.exactGroups) ||
                     NeedsSampling(document.CurrentView(), builder.exactGroups);
    played.grid = FrameGrid(played.start, played.end, played.units, options.fps);
    bool eased = false;
    std::set<int32_t> const times = TimesToPlay(played, builder.exact, eased);
    TakeSnapshots(session, document, times, current, played);

    tinygltf::Animation animation;
    animation.name = "Document";
    Animator animator(writer, animation);
    tinygltf::Value ambientAnimation;
    bool usesPointer = KeyScene(animator, model, builder, played, ambientAnimation);
    if (auto const& camera = played.snapshots.at(played.start).camera) {
        usesPointer = AddCamera(model, builder.roots, animator, *camera, played) || usesPointer;
    }

    FinishModel(model, document.path, builder, animation,
                Ambient(played.snapshots.at(played.start)), ambientAnimation, usesPointer);
    WriteModel(model, path);

    ExportSummary summary;
    summary.bytes = static_cast<std::size_t>(std::filesystem::file_size(path));
    summary.nodes = model.nodes.size();
    summary.channels = animation.channels.size();
    summary.times = times.size();
    summary.sampled = played.sampled || eased;
    return summary;
}

} // namespace refhost::gltf
