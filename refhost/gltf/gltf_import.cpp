#include "refhost/gltf/gltf_import.h"
#include "interp/easing.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <utility>

#include "host/four_char_code.h"
#include "host/scene/attribute_set.h"
#include "host/scene/group.h"
#include "host/scene/shape.h"
#include "refhost/gltf/accessor_reader.h"
#include "refhost/gltf/animation_pointers.h"
#include "refhost/gltf/glb_container.h"
#include "refhost/gltf/gltf_error.h"
#include "refhost/gltf/keyed_tracks.h"
#include "refhost/gltf/material_import.h"
#include "refhost/gltf/tween_lists.h"
#include "refhost/gltf/view_import.h"
#include "refhost/scene/build.h"

namespace refhost::gltf {

using namespace refhost::scene;

namespace {

constexpr int kDeepestNode = 256;

class Importer {
public:
    Importer(tinygltf::Model const& model, std::string const& name,
             std::vector<std::string>& warnings)
        : fModel(model), fName(name), fRead(model, name), fWarnings(warnings),
          fView(model, fAnimation, name),
          fMaterials(model, fRead, [this](std::string const& what) { Skip(what); }) {}

    std::unique_ptr<Document> Run() {
        ReadAnimations();
        auto document = std::make_unique<Document>();
        std::vector<int> roots;
        if (!fModel.scenes.empty()) {
            int const scene = fModel.defaultScene >= 0 ? fModel.defaultScene : 0;
            fRead.Check(static_cast<std::size_t>(scene) < fModel.scenes.size(), "/scene",
                        "no scene " + std::to_string(scene));
            roots = fModel.scenes[static_cast<std::size_t>(scene)].nodes;
        } else {
            std::set<int> children;
            for (auto const& node : fModel.nodes) {
                children.insert(node.children.begin(), node.children.end());
            }
            for (std::size_t i = 0; i < fModel.nodes.size(); ++i) {
                if (!children.count(static_cast<int>(i))) {
                    roots.push_back(static_cast<int>(i));
                }
            }
        }
        for (int root : roots) {
            if (OpaqueTQ3Object* group = Node(root, "/scene/nodes")) {
                CGroupObject(document->OtherGroup()).AddObject(CSharedObject(group));
                Release(group);
            }
        }
        fView.Finish(*document, fLastTime, fNextSortingIndex);
        document->clock.unitsPerSecond = kImportUnitsPerSecond;
        document->clock.minimum = 0;
        document->clock.current = 0;
        document->clock.maximum = fLastTime > 0 ? fLastTime : 6000;
        for (std::string const& what : fSkipped) {
            fWarnings.push_back(fName + ": skipped " + what);
        }
        return document;
    }

private:
    void Skip(std::string const& what) { fSkipped.insert(what); }

    // The sampler's keys and values, n numbers a value.
    Track ReadTrack(int index, std::size_t n, std::string const& place) const {
        tinygltf::AnimationSampler const& sampler =
            fRead.Item(fModel.animations.front().samplers, index, "animations/0/samplers");
        Track track;
        track.interpolation = sampler.interpolation.empty() ? "LINEAR" : sampler.interpolation;
        fRead.Check(track.interpolation == "LINEAR" || track.interpolation == "STEP" ||
                        track.interpolation == "CUBICSPLINE",
                    place, "unknown interpolation " + track.interpolation);
        track.times = fRead.Floats(sampler.input, {1});
        track.n = n;
        track.values = fRead.Floats(sampler.output, {static_cast<int>(n)});
        std::size_t const per = track.interpolation == "CUBICSPLINE" ? 3 : 1;
        fRead.Check(!track.times.empty() && track.values.size() == track.times.size() * per * n,
                    place, "its sampler's input and output counts do not match");
        for (std::size_t i = 0; i < track.times.size(); ++i) {
            fRead.Check(track.times[i] >= 0 && (i == 0 || track.times[i] > track.times[i - 1]) &&
                            track.times[i] < 3.0e6f,
                        place, "its key times must rise from 0");
        }
        return track;
    }

    // How many numbers an animated property this host imports takes (0: not imported).
    std::size_t PointerSize(std::string const& pointer) const {
        int index = -1;
        char tail[64] = {};
        if (std::sscanf(pointer.c_str(), "/materials/%d/pbrMetallicRoughness/%63s", &index, tail) ==
            2) {
            return std::string(tail) == "baseColorFactor" ? 4 : 0;
        }
        if (std::sscanf(pointer.c_str(), "/cameras/%d/%63s", &index, tail) == 2) {
            std::string const t = tail;
            return t == "perspective/yfov" || t == "perspective/aspectRatio" ||
                           t == "perspective/znear" || t == "perspective/zfar" ||
                           t == "orthographic/xmag" || t == "orthographic/ymag" ||
                           t == "orthographic/znear" || t == "orthographic/zfar"
                       ? 1
                       : 0;
        }
        if (std::sscanf(pointer.c_str(), "/extensions/KHR_lights_punctual/lights/%d/%63s", &index,
                        tail) == 2) {
            std::string const t = tail;
            return t == "color" ? 3
                   : t == "intensity" || t == "spot/innerConeAngle" || t == "spot/outerConeAngle"
                       ? 1
                       : 0;
        }
        return 0;
    }

    void ReadAnimations() {
        if (fModel.animations.size() > 1) {
            Skip("every animation after the first");
        }
        if (fModel.animations.empty()) {
            return;
        }
        tinygltf::Animation const& animation = fModel.animations.front();
        for (std::size_t c = 0; c < animation.channels.size(); ++c) {
            tinygltf::AnimationChannel const& channel = animation.channels[c];
            if (channel.target_path != "pointer") {
                continue;
            }
            std::string const pointer = PointerOf(channel);
            std::size_t const n = PointerSize(pointer);
            if (n == 0) {
                Skip(pointer.empty() ? "animation pointer channels that name no property"
                                     : "animated " + pointer + " (KHR_animation_pointer)");
                continue;
            }
            Track track =
                ReadTrack(channel.sampler, n, "/animations/0/channels/" + std::to_string(c));
            int material = -1;
            if (std::sscanf(pointer.c_str(), "/materials/%d/", &material) == 1) {
                fRead.Item(fModel.materials, material, "materials");
                fColourTracks[material] = track;
            }
            fAnimation.pointers[pointer] = std::move(track);
        }
        for (std::size_t c = 0; c < animation.channels.size(); ++c) {
            std::string const place = "/animations/0/channels/" + std::to_string(c);
            tinygltf::AnimationChannel const& channel = animation.channels[c];
            bool const rotation = channel.target_path == "rotation";
            if (channel.target_path == "pointer") {
                continue; // read above
            }
            if (!rotation && channel.target_path != "translation" &&
                channel.target_path != "scale") {
                Skip("animated " + channel.target_path + " (only node placements are imported)");
                continue;
            }
            fRead.Item(fModel.nodes, channel.target_node, "nodes");
            Track track = ReadTrack(channel.sampler, rotation ? 4 : 3, place);
            NodeTracks& tracks = fAnimation.nodes[channel.target_node];
            (rotation                               ? tracks.rotation
             : channel.target_path == "translation" ? tracks.translation
                                                    : tracks.scale) = std::move(track);
        }
    }

    // The node's tween points: at each key time of its tracks (STEP keys also held until
    // just before the next key, CUBICSPLINE sampled between keys).
    std::vector<ObjectKey> Keys(tinygltf::Node const& node, NodeTracks const& tracks,
                                std::optional<Track> const& colour) {
        std::vector<Track const*> own;
        for (auto const* track : {&tracks.translation, &tracks.rotation, &tracks.scale, &colour}) {
            if (*track) {
                own.push_back(&**track);
            }
        }
        auto const [times, holds] = TimesOf(own, kImportUnitsPerSecond, kImportSamplesPerSecond);
        bool seeThrough = false; // some key's alpha is below 1
        for (std::size_t k = 3; colour && k < colour->values.size(); k += 4) {
            seeThrough = seeThrough || colour->values[k] < 1.0f;
        }
        std::vector<ObjectKey> keys;
        for (int32_t units : times) {
            double const t = static_cast<double>(units) / kImportUnitsPerSecond;
            auto at = [&](std::optional<Track> const& track, std::vector<double> const& fixed,
                          bool rotation) { return track ? track->At(t, rotation) : fixed; };
            ObjectKey key;
            key.time = units;
            key.ease = holds ? eEaseHold : 0;
            key.matrix = RowMatrix(FromTrs(at(tracks.translation, TranslationOf(node), false),
                                           at(tracks.rotation, RotationOf(node), true),
                                           at(tracks.scale, ScaleOf(node), false)));
            if (colour) {
                std::vector<double> const c = colour->At(t, false);
                key.diffuse = TQ3ColorRGB{static_cast<float>(c[0]), static_cast<float>(c[1]),
                                          static_cast<float>(c[2])};
                if (seeThrough) {
                    key.transparency = static_cast<float>(c[3]);
                }
            }
            keys.push_back(key);
            fLastTime = std::max(fLastTime, units);
        }
        return keys;
    }

    Column Local(tinygltf::Node const& node, std::string const& place) const {
        if (node.matrix.size() == 16) {
            Column c;
            std::copy(node.matrix.begin(), node.matrix.end(), c.begin());
            return c;
        }
        fRead.Check(node.matrix.empty(), place + "/matrix", "a matrix has 16 numbers");
        return FromTrs(TranslationOf(node), RotationOf(node), ScaleOf(node));
    }

    // The node's group (one reference, the caller's), its descendants' within it; none for a
    // node that only holds a camera or a light (the view's camera and lights follow it).
    OpaqueTQ3Object* Node(int index, std::string const& from) {
        std::string const place = "/nodes/" + std::to_string(index);
        tinygltf::Node const& node = fRead.Item(fModel.nodes, index, "nodes");
        bool const nested = std::find(fPath.begin(), fPath.end(), index) != fPath.end();
        fRead.Check(fPath.size() < kDeepestNode && !nested, from,
                    nested ? "node " + std::to_string(index) + " is its own ancestor"
                           : "nodes nest too deep");
        fPath.push_back(index);
        Column const local = Local(node, place);
        auto const light = node.extensions.find("KHR_lights_punctual");
        bool const holdsLight = light != node.extensions.end() && light->second.Has("light");
        if (node.mesh < 0 && node.children.empty() && (node.camera >= 0 || holdsLight)) {
            ViewMember(node, index, holdsLight);
            fPath.pop_back();
            return nullptr;
        }
        OpaqueTQ3Object* group = NewGroupOf(GroupKind::kOrdered);
        try {
            auto* set = new AttributeSet;
            set->name = node.name.empty() ? "node " + std::to_string(index) : node.name;
            Assign(group->set, set);
            Release(set);
            CGroupObject target(group);
            auto add = [&](OpaqueTQ3Object* member) {
                target.AddObject(CSharedObject(member));
                Release(member);
            };
            add(new refhost::scene::Transform(RowMatrix(local)));
            auto const tracks = fAnimation.nodes.find(index);
            if (tracks != fAnimation.nodes.end()) {
                fAnimated.push_back(index);
            }
            if (node.mesh >= 0) {
                tinygltf::Mesh const& mesh = fRead.Item(fModel.meshes, node.mesh, "meshes");
                for (std::size_t p = 0; p < mesh.primitives.size(); ++p) {
                    std::string const at =
                        "/meshes/" + std::to_string(node.mesh) + "/primitives/" + std::to_string(p);
                    if (OpaqueTQ3Object* shape = Primitive(mesh.primitives[p], at)) {
                        add(shape);
                    }
                }
                if (!mesh.weights.empty() || node.weights.size()) {
                    Skip("the morph targets of node " + std::to_string(index));
                }
            }
            if (node.skin >= 0) {
                Skip("the skin of node " + std::to_string(index) + " '" + node.name + "'");
            }
            ViewMember(node, index, holdsLight);
            for (std::size_t c = 0; c < node.children.size(); ++c) {
                if (OpaqueTQ3Object* child =
                        Node(node.children[c], place + "/children/" + std::to_string(c))) {
                    add(child);
                }
            }
            if (tracks != fAnimation.nodes.end()) {
                fAnimated.pop_back();
                std::optional<Track> colour;
                if (auto found = fColourOf.find(index); found != fColourOf.end()) {
                    colour = *found->second;
                }
                WriteObjectKeys(group, Keys(node, tracks->second, colour), fNextSortingIndex++);
            }
        } catch (...) {
            Release(group);
            throw;
        }
        fPath.pop_back();
        return group;
    }

    // The node's camera and light, for the view.
    void ViewMember(tinygltf::Node const& node, int index, bool holdsLight) {
        if (node.camera >= 0) {
            fView.Camera(node.camera, fPath);
        }
        if (holdsLight) {
            fView.Light(node.extensions.at("KHR_lights_punctual").Get("light").GetNumberAsInt(),
                        fPath, node.name.empty() ? "light " + std::to_string(index) : node.name);
        }
    }

    // A primitive's corners, triangles, texture coordinates and colours, read once for
    // every primitive of the same accessors.
    struct Parsed {
        std::vector<TQ3Point3D> points;
        std::vector<std::array<uint32_t, 3>> triangles;
        std::vector<TQ3Param2D> uvs;
        std::vector<TQ3Vector3D> normals;
        std::vector<std::array<float, 4>> colours;
    };
    // A primitive's mode, indices and the accessors of the attributes Parse reads, so that a
    // mesh used many times is read once.
    using ParsedKey = std::array<int, 6>;

    Parsed Parse(tinygltf::Primitive const& primitive, int mode, std::string const& place) {
        auto position = primitive.attributes.find("POSITION");
        fRead.Check(position != primitive.attributes.end(), place, "a primitive without positions");
        std::vector<float> const xyz = fRead.Floats(position->second, {3});
        std::size_t const count = xyz.size() / 3;
        std::vector<TQ3Point3D> points;
        for (std::size_t i = 0; i < count; ++i) {
            points.push_back({xyz[i * 3], xyz[i * 3 + 1], xyz[i * 3 + 2]});
        }
        std::vector<TQ3Param2D> uvs;
        if (auto uv = primitive.attributes.find("TEXCOORD_0"); uv != primitive.attributes.end()) {
            std::vector<float> const st = fRead.Floats(uv->second, {2});
            fRead.Check(st.size() / 2 == count, place + "/attributes/TEXCOORD_0",
                        "not one texture coordinate a position");
            for (std::size_t i = 0; i < count; ++i) {
                uvs.push_back({st[i * 2], 1.0f - st[i * 2 + 1]});
            }
        }
        std::vector<TQ3Vector3D> normals;
        if (auto found = primitive.attributes.find("NORMAL"); found != primitive.attributes.end()) {
            std::vector<float> const n = fRead.Floats(found->second, {3});
            fRead.Check(n.size() / 3 == count, place + "/attributes/NORMAL",
                        "not one normal a position");
            for (std::size_t i = 0; i < count; ++i) {
                normals.push_back({n[i * 3], n[i * 3 + 1], n[i * 3 + 2]});
            }
        }
        std::vector<uint32_t> order;
        if (primitive.indices >= 0) {
            order = fRead.Indices(primitive.indices);
        } else {
            for (std::size_t i = 0; i < count; ++i) {
                order.push_back(static_cast<uint32_t>(i));
            }
        }
        std::vector<std::array<uint32_t, 3>> triangles;
        auto triangle = [&](uint32_t a, uint32_t b, uint32_t c) {
            for (uint32_t v : {a, b, c}) {
                fRead.Check(v < count, place + "/indices",
                            "index " + std::to_string(v) + " past the " + std::to_string(count) +
                                " positions");
            }
            triangles.push_back({a, b, c});
        };
        if (mode == TINYGLTF_MODE_TRIANGLES) {
            for (std::size_t i = 0; i + 2 < order.size(); i += 3) {
                triangle(order[i], order[i + 1], order[i + 2]);
            }
        } else if (mode == TINYGLTF_MODE_TRIANGLE_STRIP) {
            for (std::size_t i = 0; i + 2 < order.size(); ++i) {
                i % 2 == 0 ? triangle(order[i], order[i + 1], order[i + 2])
                           : triangle(order[i + 1], order[i], order[i + 2]);
            }
        } else {
            for (std::size_t i = 1; i + 1 < order.size(); ++i) {
                triangle(order[0], order[i], order[i + 1]);
            }
        }
        std::vector<std::array<float, 4>> colours;
        if (auto found = primitive.attributes.find("COLOR_0");
            found != primitive.attributes.end()) {
            std::vector<float> const rgba = fRead.Floats(found->second, {3, 4});
            std::size_t const n = rgba.size() / count;
            fRead.Check(n * count == rgba.size(), place + "/attributes/COLOR_0",
                        "not one colour a position");
            for (std::size_t i = 0; i < count; ++i) {
                colours.push_back({rgba[i * n], rgba[i * n + 1], rgba[i * n + 2],
                                   n == 4 ? rgba[i * n + 3] : 1.0f});
            }
        }
        return {std::move(points), std::move(triangles), std::move(uvs), std::move(normals),
                std::move(colours)};
    }

    OpaqueTQ3Object* Primitive(tinygltf::Primitive const& primitive, std::string const& place) {
        int const mode = primitive.mode < 0 ? TINYGLTF_MODE_TRIANGLES : primitive.mode;
        if (mode != TINYGLTF_MODE_TRIANGLES && mode != TINYGLTF_MODE_TRIANGLE_STRIP &&
            mode != TINYGLTF_MODE_TRIANGLE_FAN) {
            Skip("primitives of points and lines (" + place + ")");
            return nullptr;
        }
        if (!primitive.targets.empty()) {
            Skip("morph targets (" + place + ")");
        }
        auto key = ParsedKey{mode, primitive.indices, -1, -1, -1, -1};
        std::size_t slot = 2;
        for (char const* name : {"POSITION", "TEXCOORD_0", "NORMAL", "COLOR_0"}) {
            auto found = primitive.attributes.find(name);
            key[slot++] = found == primitive.attributes.end() ? -1 : found->second;
        }
        auto cached = fParsed.find(key);
        if (cached == fParsed.end()) {
            cached = fParsed.emplace(key, Parse(primitive, mode, place)).first;
        }
        Parsed const& parsed = cached->second;
        auto const& points = parsed.points;
        auto const& triangles = parsed.triangles;
        auto const& uvs = parsed.uvs;
        auto const& colours = parsed.colours;
        OpaqueTQ3Object* shape = nullptr;
        bool const cornerColours =
            !colours.empty() && std::any_of(triangles.begin(), triangles.end(), [&](auto const& t) {
                return colours[t[0]] != colours[t[1]] || colours[t[0]] != colours[t[2]];
            });
        if (cornerColours && triangles.size() == 1) {
            // A triangle with a colour at each corner: the scene's triangle holds them.
            auto const& t = triangles.front();
            shape = NewTriangle({points[t[0]], points[t[1]], points[t[2]]});
            for (std::size_t k = 0; k < 3; ++k) {
                As<refhost::scene::Triangle>(shape)->vertices[k].set = ColourSet(colours[t[k]]);
            }
        } else {
            if (cornerColours) {
                Skip("colours that change across a triangle of a mesh (each face takes its "
                     "first corner's)");
            }
            shape = NewTriMesh(points, triangles, uvs, parsed.normals);
            if (!colours.empty()) {
                auto* mesh = As<TriMesh>(shape);
                for (auto const& t : triangles) {
                    mesh->faceSets.push_back(ColourSet(colours[t[0]]));
                }
            }
        }
        // The shape is this function's until it returns: a material that cannot be read
        // throws past it.
        std::unique_ptr<OpaqueTQ3Object, void (*)(OpaqueTQ3Object*)> owned(shape, Release);
        auto* set = new AttributeSet;
        Assign(shape->set, set);
        Release(set);
        TakeAnimatedColour(primitive.material);
        fMaterials.Apply(primitive.material, *set, !uvs.empty());
        return owned.release();
    }

    // A face's or corner's own set of a colour (one reference, the caller's).
    static OpaqueTQ3Object* ColourSet(std::array<float, 4> const& c) {
        auto* set = new AttributeSet;
        set->diffuse = TQ3ColorRGB{c[0], c[1], c[2]};
        if (c[3] < 1.0f) {
            set->transparency = TQ3ColorRGB{c[3], c[3], c[3]};
        }
        return set;
    }

    // A material whose base colour is animated lends its keys to the animated node that
    // holds the mesh (the innermost one being made).
    void TakeAnimatedColour(int material) {
        auto const colour = fColourTracks.find(material);
        if (colour == fColourTracks.end()) {
            return;
        }
        if (fAnimated.empty()) {
            Skip("animated base colours of meshes outside animated nodes");
        } else {
            fColourOf[fAnimated.back()] = &colour->second;
        }
    }

    tinygltf::Model const& fModel;
    std::string const& fName;
    AccessorReader fRead;
    std::map<int, Track> fColourTracks;    // by material
    std::vector<int> fAnimated;            // the animated nodes being made, outermost first
    std::map<int, Track const*> fColourOf; // animated node: the colour its meshes take
    std::vector<std::string>& fWarnings;
    std::set<std::string> fSkipped;
    ModelAnimation fAnimation;
    ViewImport fView;       // after the animation it reads
    std::vector<int> fPath; // the nodes being made, from a root down
    std::map<ParsedKey, Parsed> fParsed;
    MaterialImport fMaterials;
    int32_t fLastTime = 0;
    uint32_t fNextSortingIndex = 4;
};

// The JSON of a file, or a GltfError naming the file and the byte where it stops being JSON
// (or why its values cannot be read): what a file tinygltf refuses is told with.
nlohmann::json ParsedJson(std::string const& text, std::string const& name) {
    nlohmann::json json;
    try {
        json = nlohmann::json::parse(text);
    } catch (nlohmann::json::parse_error const& e) {
        throw GltfError(name + ": byte " + std::to_string(e.byte) + ": not JSON (" +
                        std::string(e.what()).substr(std::string(e.what()).find(':') + 2) + ")");
    } catch (nlohmann::json::exception const& e) {
        // A number too large for any type, say: the text is JSON, its value is not.
        throw GltfError(name + ": not readable JSON (" +
                        std::string(e.what()).substr(std::string(e.what()).find(']') + 2) + ")");
    }
    if (!json.is_object()) {
        throw GltfError(name + ": /: a glTF file is a JSON object");
    }
    return json;
}

} // namespace

std::unique_ptr<Document> ImportGltfBytes(std::vector<uint8_t> const& bytes,
                                          std::string const& name,
                                          std::vector<std::string>& warnings) {
    InitCustomAttributeGlobals(); // the tween lists' attribute type
    tinygltf::TinyGLTF loader;
    tinygltf::Model model;
    std::string error, warning;
    bool loaded = false;
    std::string json;
    std::string const folder =
        name.find('/') == std::string::npos ? "." : name.substr(0, name.rfind('/'));
    if (bytes.size() >= 4 && std::memcmp(bytes.data(), "glTF", 4) == 0) {
        GlbParts parts = SplitGlb(bytes, name);
        json = WithPointerNodes(parts.json);
        bool const patched = json.size() != parts.json.size();
        parts.json = json;
        std::vector<uint8_t> const glb = patched ? JoinGlb(parts) : std::vector<uint8_t>{};
        std::vector<uint8_t> const& read = patched ? glb : bytes;
        loaded = loader.LoadBinaryFromMemory(&model, &error, &warning, read.data(),
                                             static_cast<unsigned>(read.size()), folder);
    } else {
        json = WithPointerNodes(std::string(bytes.begin(), bytes.end()));
        loaded = loader.LoadASCIIFromString(&model, &error, &warning, json.c_str(),
                                            static_cast<unsigned>(json.size()), folder);
    }
    if (!loaded) {
        ParsedJson(json, name); // a fault of the JSON itself is said with its byte
        while (!error.empty() && error.back() == '\n') {
            error.pop_back();
        }
        throw GltfError(name + ": " + (error.empty() ? "not a glTF model" : error));
    }
    if (model.asset.version.rfind("2.", 0) != 0) {
        throw GltfError(name + ": /asset/version: not a glTF 2.0 file");
    }
    Importer importer(model, name, warnings);
    return importer.Run();
}

std::unique_ptr<Document> ImportGltf(std::string const& path, std::vector<std::string>& warnings) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw GltfError(path + ": cannot be opened");
    }
    std::vector<uint8_t> const bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    return ImportGltfBytes(bytes, path, warnings);
}

} // namespace refhost::gltf
