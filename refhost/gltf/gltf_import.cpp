#include "refhost/gltf/gltf_import.h"

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
#include "refhost/gltf/glb_container.h"
#include "refhost/gltf/gltf_error.h"
#include "refhost/gltf/tween_lists.h"
#include "refhost/scene/build.h"

namespace refhost::gltf {

using namespace refhost::scene;

namespace {

constexpr uint32_t kUnitsPerSecond = 600;
constexpr double kCubicSamplesPerSecond = 30;
constexpr int kDeepestNode = 256;
constexpr uint8_t kHoldEase = 4; // a record header's ease: keep this point until the next

using Column = std::array<double, 16>; // glTF's column-major matrix

Column Identity() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Column Multiply(Column const& a, Column const& b) {
    Column m{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum +=
                    a[static_cast<std::size_t>(k * 4 + i)] * b[static_cast<std::size_t>(j * 4 + k)];
            }
            m[static_cast<std::size_t>(j * 4 + i)] = sum;
        }
    }
    return m;
}

Column FromTrs(std::vector<double> const& t, std::vector<double> q, std::vector<double> const& s) {
    double const n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    if (n > 0) {
        for (double& v : q) {
            v /= n;
        }
    }
    double const x = q[0], y = q[1], z = q[2], w = q[3];
    double const r[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
                            {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
                            {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}};
    Column m = Identity();
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j) {
            m[j * 4 + i] = r[i][j] * s[j];
        }
        m[12 + i] = t[i];
    }
    return m;
}

// A column-major glTF matrix is, read in order, the rows of the scene's row-vector matrix.
CMatrix4x4 RowMatrix(Column const& c) {
    CMatrix4x4 m;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            m[i][j] = static_cast<float>(c[static_cast<std::size_t>(i * 4 + j)]);
        }
    }
    return m;
}

std::vector<double> Slerp(std::vector<double> const& a, std::vector<double> b, double s) {
    double dot = a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
    if (dot < 0) {
        dot = -dot;
        for (double& v : b) {
            v = -v;
        }
    }
    double wa = 1 - s, wb = s;
    if (dot < 1.0 - 1e-9) {
        double const angle = std::acos(std::min(dot, 1.0));
        wa = std::sin((1 - s) * angle) / std::sin(angle);
        wb = std::sin(s * angle) / std::sin(angle);
    }
    std::vector<double> out(4);
    for (std::size_t i = 0; i < 4; ++i) {
        out[i] = wa * a[i] + wb * b[i];
    }
    return out;
}

// One animated property of a node.
struct Track {
    std::string interpolation;
    std::vector<float> times;
    std::vector<float> values; // n a key, three times that for CUBICSPLINE
    std::size_t n = 0;

    std::vector<double> Value(std::size_t key, std::size_t part = 1) const {
        std::size_t const at = interpolation == "CUBICSPLINE" ? (key * 3 + part) * n : key * n;
        return std::vector<double>(values.begin() + static_cast<std::ptrdiff_t>(at),
                                   values.begin() + static_cast<std::ptrdiff_t>(at + n));
    }

    std::vector<double> At(double t, bool rotation) const {
        if (t <= times.front()) {
            return Value(0);
        }
        if (t >= times.back()) {
            return Value(times.size() - 1);
        }
        std::size_t k = static_cast<std::size_t>(
            std::upper_bound(times.begin(), times.end(), static_cast<float>(t)) - times.begin() -
            1);
        double const dt = double{times[k + 1]} - times[k];
        double const s = dt > 0 ? (t - times[k]) / dt : 0;
        if (interpolation == "STEP") {
            return Value(k);
        }
        if (interpolation == "CUBICSPLINE") {
            std::vector<double> const p0 = Value(k, 1), m0 = Value(k, 2), p1 = Value(k + 1, 1),
                                      m1 = Value(k + 1, 0);
            double const s2 = s * s, s3 = s2 * s;
            std::vector<double> out(n);
            for (std::size_t i = 0; i < n; ++i) {
                out[i] = (2 * s3 - 3 * s2 + 1) * p0[i] + (s3 - 2 * s2 + s) * dt * m0[i] +
                         (-2 * s3 + 3 * s2) * p1[i] + (s3 - s2) * dt * m1[i];
            }
            return out;
        }
        std::vector<double> const a = Value(k), b = Value(k + 1);
        if (rotation) {
            return Slerp(a, b, s);
        }
        std::vector<double> out(n);
        for (std::size_t i = 0; i < n; ++i) {
            out[i] = a[i] + (b[i] - a[i]) * s;
        }
        return out;
    }
};

struct NodeTracks {
    std::optional<Track> translation, rotation, scale;
};

class Importer {
public:
    Importer(tinygltf::Model const& model, std::string const& name,
             std::vector<std::string>& warnings, std::map<int, int> const& colourSamplers)
        : fModel(model), fName(name), fWarnings(warnings), fColourSamplers(colourSamplers) {}

    std::unique_ptr<Document> Run() {
        ReadAnimations();
        auto document = std::make_unique<Document>();
        fLights = NewGroupOf(GroupKind::kLight);
        std::vector<int> roots;
        if (!fModel.scenes.empty()) {
            int const scene = fModel.defaultScene >= 0 ? fModel.defaultScene : 0;
            Check(static_cast<std::size_t>(scene) < fModel.scenes.size(), "/scene",
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
        try {
            for (int root : roots) {
                OpaqueTQ3Object* group = Node(root, Identity(), 0, "/scene/nodes");
                CGroupObject(document->OtherGroup()).AddObject(CSharedObject(group));
                Release(group);
            }
            AddAmbient();
            if (CGroupObject(fLights).CountObjects() == 0) {
                AddDefaultLights();
            }
            OpaqueTQ3Object* camera = MakeCamera();
            OpaqueTQ3Object* view = NewView(camera, fLights, {{0, 0}, {640, 480}});
            Release(camera);
            document->AddView(view);
            Release(view);
        } catch (...) {
            Release(fLights);
            throw;
        }
        Release(fLights);
        document->clock.unitsPerSecond = kUnitsPerSecond;
        document->clock.minimum = 0;
        document->clock.current = 0;
        document->clock.maximum = fLastTime > 0 ? fLastTime : 6000;
        for (std::string const& what : fSkipped) {
            fWarnings.push_back(fName + ": skipped " + what);
        }
        return document;
    }

private:
    [[noreturn]] void Fail(std::string const& place, std::string const& why) const {
        throw GltfError(fName + ": " + place + ": " + why);
    }
    void Check(bool ok, std::string const& place, std::string const& why) const {
        if (!ok) {
            Fail(place, why);
        }
    }
    void Skip(std::string const& what) { fSkipped.insert(what); }

    template <typename T>
    T const& Item(std::vector<T> const& list, int index, std::string const& kind) const {
        Check(index >= 0 && static_cast<std::size_t>(index) < list.size(), "/" + kind,
              "no " + kind + " " + std::to_string(index) + " (there are " +
                  std::to_string(list.size()) + ")");
        return list[static_cast<std::size_t>(index)];
    }

    // An accessor's values as floats (normalised integers scaled), components each.
    std::vector<float> Floats(int index, std::vector<int> const& components) const {
        std::string const place = "/accessors/" + std::to_string(index);
        tinygltf::Accessor const& a = Item(fModel.accessors, index, "accessors");
        int const n = tinygltf::GetNumComponentsInType(static_cast<uint32_t>(a.type));
        Check(std::find(components.begin(), components.end(), n) != components.end(), place,
              "has " + std::to_string(n) + " components a value");
        std::vector<float> out;
        Read(a, place, [&](unsigned char const* p) {
            for (int c = 0; c < n; ++c) {
                out.push_back(Component(a, p, c, place));
            }
        });
        return out;
    }

    std::vector<uint32_t> Indices(int index) const {
        std::string const place = "/accessors/" + std::to_string(index);
        tinygltf::Accessor const& a = Item(fModel.accessors, index, "accessors");
        Check(a.type == TINYGLTF_TYPE_SCALAR, place, "indices must be scalars");
        std::vector<uint32_t> out;
        Read(a, place, [&](unsigned char const* p) {
            switch (a.componentType) {
            case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
                out.push_back(*p);
                break;
            case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
                uint16_t v;
                std::memcpy(&v, p, 2);
                out.push_back(v);
                break;
            }
            case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT: {
                uint32_t v;
                std::memcpy(&v, p, 4);
                out.push_back(v);
                break;
            }
            default:
                Fail(place, "indices must be unsigned integers");
            }
        });
        return out;
    }

    float Component(tinygltf::Accessor const& a, unsigned char const* p, int c,
                    std::string const& place) const {
        switch (a.componentType) {
        case TINYGLTF_COMPONENT_TYPE_FLOAT: {
            float v;
            std::memcpy(&v, p + c * 4, 4);
            Check(std::isfinite(v), place, "holds a number that is not finite");
            return v;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
            return p[c] / 255.0f;
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
            uint16_t v;
            std::memcpy(&v, p + c * 2, 2);
            return v / 65535.0f;
        }
        case TINYGLTF_COMPONENT_TYPE_BYTE:
            return std::max(static_cast<int8_t>(p[c]) / 127.0f, -1.0f);
        case TINYGLTF_COMPONENT_TYPE_SHORT: {
            int16_t v;
            std::memcpy(&v, p + c * 2, 2);
            return std::max(v / 32767.0f, -1.0f);
        }
        default:
            Fail(place, "has a component type this host cannot read as numbers");
        }
    }

    template <typename Each>
    void Read(tinygltf::Accessor const& a, std::string const& place, Each const& each) const {
        Check(!a.sparse.isSparse, place, "sparse accessors are not read");
        Check(a.count <= (1u << 26), place, "holds more values than this host takes");
        int const components = tinygltf::GetNumComponentsInType(static_cast<uint32_t>(a.type));
        int const size = tinygltf::GetComponentSizeInBytes(static_cast<uint32_t>(a.componentType));
        Check(components > 0 && size > 0, place, "has no known type");
        std::size_t const element = static_cast<std::size_t>(components * size);
        if (a.bufferView < 0) {
            std::vector<unsigned char> zeros(element, 0);
            for (std::size_t i = 0; i < a.count; ++i) {
                each(zeros.data());
            }
            return;
        }
        tinygltf::BufferView const& view = Item(fModel.bufferViews, a.bufferView, "bufferViews");
        tinygltf::Buffer const& buffer = Item(fModel.buffers, view.buffer, "buffers");
        std::string const viewPlace = "/bufferViews/" + std::to_string(a.bufferView);
        Check(view.byteOffset <= buffer.data.size() &&
                  view.byteLength <= buffer.data.size() - view.byteOffset,
              viewPlace,
              "runs past the end of its buffer (" + std::to_string(buffer.data.size()) + " bytes)");
        std::size_t const stride = view.byteStride ? view.byteStride : element;
        Check(stride >= element, viewPlace, "its stride is shorter than an element");
        if (a.count == 0) {
            return;
        }
        Check(a.byteOffset <= view.byteLength &&
                  (a.count - 1) <= (view.byteLength - a.byteOffset) / stride &&
                  a.byteOffset + (a.count - 1) * stride + element <= view.byteLength,
              place, "runs past the end of its buffer view");
        unsigned char const* base = buffer.data.data() + view.byteOffset + a.byteOffset;
        for (std::size_t i = 0; i < a.count; ++i) {
            each(base + i * stride);
        }
    }

    void ReadAnimations() {
        if (fModel.animations.size() > 1) {
            Skip("every animation after the first");
        }
        if (fModel.animations.empty()) {
            return;
        }
        tinygltf::Animation const& animation = fModel.animations.front();
        for (auto const& [material, sampler] : fColourSamplers) {
            std::string const place = "/animations/0/samplers/" + std::to_string(sampler);
            Item(fModel.materials, material, "materials");
            tinygltf::AnimationSampler const& s =
                Item(animation.samplers, sampler, "animations/0/samplers");
            Track track;
            track.interpolation = s.interpolation.empty() ? "LINEAR" : s.interpolation;
            track.n = 4;
            track.times = Floats(s.input, {1});
            track.values = Floats(s.output, {4});
            std::size_t const per = track.interpolation == "CUBICSPLINE" ? 3 : 1;
            Check(!track.times.empty() && track.values.size() == track.times.size() * per * 4,
                  place, "its input and output counts do not match");
            fColourTracks[material] = track;
        }
        for (std::size_t c = 0; c < animation.channels.size(); ++c) {
            std::string const place = "/animations/0/channels/" + std::to_string(c);
            tinygltf::AnimationChannel const& channel = animation.channels[c];
            bool const rotation = channel.target_path == "rotation";
            if (!rotation && channel.target_path != "translation" &&
                channel.target_path != "scale") {
                Skip("animated " + channel.target_path + " (only node placements are imported)");
                continue;
            }
            Item(fModel.nodes, channel.target_node, "nodes");
            tinygltf::AnimationSampler const& sampler =
                Item(animation.samplers, channel.sampler, "animations/0/samplers");
            Track track;
            track.interpolation = sampler.interpolation.empty() ? "LINEAR" : sampler.interpolation;
            Check(track.interpolation == "LINEAR" || track.interpolation == "STEP" ||
                      track.interpolation == "CUBICSPLINE",
                  place, "unknown interpolation " + track.interpolation);
            track.times = Floats(sampler.input, {1});
            track.n = rotation ? 4 : 3;
            track.values = Floats(sampler.output, {static_cast<int>(track.n)});
            std::size_t const per = track.interpolation == "CUBICSPLINE" ? 3 : 1;
            Check(!track.times.empty() && track.values.size() == track.times.size() * per * track.n,
                  place, "its sampler's input and output counts do not match");
            for (std::size_t i = 0; i < track.times.size(); ++i) {
                Check(track.times[i] >= 0 && (i == 0 || track.times[i] > track.times[i - 1]) &&
                          track.times[i] < 3.0e6f,
                      place, "its key times must rise from 0");
            }
            NodeTracks& tracks = fTracks[channel.target_node];
            (rotation                               ? tracks.rotation
             : channel.target_path == "translation" ? tracks.translation
                                                    : tracks.scale) = track;
        }
    }

    static int32_t Units(double seconds) {
        return static_cast<int32_t>(std::lround(seconds * kUnitsPerSecond));
    }

    // The node's tween points: at each key time of its tracks (STEP keys also held until
    // just before the next key, CUBICSPLINE sampled between keys).
    std::vector<ObjectKey> Keys(tinygltf::Node const& node, NodeTracks const& tracks,
                                std::optional<Track> const& colour) {
        // Keys that all step are the plug-in's holds; a step among blended keys is held by a
        // key one time unit before the next.
        bool holds = true;
        for (auto const* track : {&tracks.translation, &tracks.rotation, &tracks.scale, &colour}) {
            holds = holds && (!*track || (*track)->interpolation == "STEP");
        }
        std::set<int32_t> times;
        for (auto const* track : {&tracks.translation, &tracks.rotation, &tracks.scale, &colour}) {
            if (!*track) {
                continue;
            }
            auto const& t = (*track)->times;
            for (std::size_t k = 0; k < t.size(); ++k) {
                times.insert(Units(t[k]));
                if (!holds && k + 1 < t.size() && (*track)->interpolation == "STEP") {
                    times.insert(std::max(Units(t[k]), Units(t[k + 1]) - 1));
                }
                if (k + 1 < t.size() && (*track)->interpolation == "CUBICSPLINE") {
                    for (double s = t[k] + 1 / kCubicSamplesPerSecond; s < t[k + 1];
                         s += 1 / kCubicSamplesPerSecond) {
                        times.insert(Units(s));
                    }
                }
            }
        }
        bool seeThrough = false; // some key's alpha is below 1
        for (std::size_t k = 3; colour && k < colour->values.size(); k += 4) {
            seeThrough = seeThrough || colour->values[k] < 1.0f;
        }
        std::vector<ObjectKey> keys;
        for (int32_t units : times) {
            double const t = static_cast<double>(units) / kUnitsPerSecond;
            auto at = [&](std::optional<Track> const& track, std::vector<double> const& fixed,
                          bool rotation) { return track ? track->At(t, rotation) : fixed; };
            ObjectKey key;
            key.time = units;
            key.ease = holds ? kHoldEase : 0;
            key.matrix = RowMatrix(FromTrs(at(tracks.translation, Translation(node), false),
                                           at(tracks.rotation, Rotation(node), true),
                                           at(tracks.scale, Scale(node), false)));
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

    static std::vector<double> Translation(tinygltf::Node const& n) {
        return n.translation.size() == 3 ? n.translation : std::vector<double>{0, 0, 0};
    }
    static std::vector<double> Rotation(tinygltf::Node const& n) {
        return n.rotation.size() == 4 ? n.rotation : std::vector<double>{0, 0, 0, 1};
    }
    static std::vector<double> Scale(tinygltf::Node const& n) {
        return n.scale.size() == 3 ? n.scale : std::vector<double>{1, 1, 1};
    }

    Column Local(tinygltf::Node const& node, std::string const& place) const {
        if (node.matrix.size() == 16) {
            Column c;
            std::copy(node.matrix.begin(), node.matrix.end(), c.begin());
            return c;
        }
        Check(node.matrix.empty(), place + "/matrix", "a matrix has 16 numbers");
        return FromTrs(Translation(node), Rotation(node), Scale(node));
    }

    OpaqueTQ3Object* Node(int index, Column const& parent, int depth, std::string const& from) {
        std::string const place = "/nodes/" + std::to_string(index);
        tinygltf::Node const& node = Item(fModel.nodes, index, "nodes");
        Check(depth < kDeepestNode && !fOpen.count(index), from,
              depth < kDeepestNode ? "node " + std::to_string(index) + " is its own ancestor"
                                   : "nodes nest too deep");
        fOpen.insert(index);
        Column const local = Local(node, place);
        Column const world = Multiply(parent, local);
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
            auto const tracks = fTracks.find(index);
            if (tracks != fTracks.end()) {
                fAnimated.push_back(index);
            }
            if (node.mesh >= 0) {
                tinygltf::Mesh const& mesh = Item(fModel.meshes, node.mesh, "meshes");
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
            if (node.camera >= 0 && !fCameraNode) {
                Item(fModel.cameras, node.camera, "cameras");
                fCameraNode = node.camera;
                fCameraWorld = world;
            }
            if (auto light = node.extensions.find("KHR_lights_punctual");
                light != node.extensions.end() && light->second.Has("light")) {
                AddLight(light->second.Get("light").GetNumberAsInt(), world);
            }
            for (std::size_t c = 0; c < node.children.size(); ++c) {
                add(Node(node.children[c], world, depth + 1,
                         place + "/children/" + std::to_string(c)));
            }
            if (tracks != fTracks.end()) {
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
        fOpen.erase(index);
        return group;
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
        Check(position != primitive.attributes.end(), place, "a primitive without positions");
        std::vector<float> const xyz = Floats(position->second, {3});
        std::size_t const count = xyz.size() / 3;
        std::vector<TQ3Point3D> points;
        for (std::size_t i = 0; i < count; ++i) {
            points.push_back({xyz[i * 3], xyz[i * 3 + 1], xyz[i * 3 + 2]});
        }
        std::vector<TQ3Param2D> uvs;
        if (auto uv = primitive.attributes.find("TEXCOORD_0"); uv != primitive.attributes.end()) {
            std::vector<float> const st = Floats(uv->second, {2});
            Check(st.size() / 2 == count, place + "/attributes/TEXCOORD_0",
                  "not one texture coordinate a position");
            for (std::size_t i = 0; i < count; ++i) {
                uvs.push_back({st[i * 2], 1.0f - st[i * 2 + 1]});
            }
        }
        std::vector<TQ3Vector3D> normals;
        if (auto found = primitive.attributes.find("NORMAL"); found != primitive.attributes.end()) {
            std::vector<float> const n = Floats(found->second, {3});
            Check(n.size() / 3 == count, place + "/attributes/NORMAL", "not one normal a position");
            for (std::size_t i = 0; i < count; ++i) {
                normals.push_back({n[i * 3], n[i * 3 + 1], n[i * 3 + 2]});
            }
        }
        std::vector<uint32_t> order;
        if (primitive.indices >= 0) {
            order = Indices(primitive.indices);
        } else {
            for (std::size_t i = 0; i < count; ++i) {
                order.push_back(static_cast<uint32_t>(i));
            }
        }
        std::vector<std::array<uint32_t, 3>> triangles;
        auto triangle = [&](uint32_t a, uint32_t b, uint32_t c) {
            for (uint32_t v : {a, b, c}) {
                Check(v < count, place + "/indices",
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
            std::vector<float> const rgba = Floats(found->second, {3, 4});
            std::size_t const n = rgba.size() / count;
            Check(n * count == rgba.size(), place + "/attributes/COLOR_0",
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
        Material(primitive.material, *set, !uvs.empty());
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

    void Material(int index, AttributeSet& set, bool hasUVs) {
        if (index < 0) {
            return;
        }
        std::string const place = "/materials/" + std::to_string(index);
        tinygltf::Material const& material = Item(fModel.materials, index, "materials");
        auto const& pbr = material.pbrMetallicRoughness;
        if (auto colour = fColourTracks.find(index); colour != fColourTracks.end()) {
            if (fAnimated.empty()) {
                Skip("animated base colours of meshes outside animated nodes");
            } else {
                fColourOf[fAnimated.back()] = &colour->second;
            }
        }
        if (pbr.baseColorFactor.size() == 4) {
            auto const& f = pbr.baseColorFactor;
            set.diffuse = TQ3ColorRGB{static_cast<float>(f[0]), static_cast<float>(f[1]),
                                      static_cast<float>(f[2])};
            if (f[3] < 1.0) {
                float const a = static_cast<float>(f[3]);
                set.transparency = TQ3ColorRGB{a, a, a};
            }
        }
        float shininess = static_cast<float>(
            2.0 / std::max(pbr.roughnessFactor * pbr.roughnessFactor, 1e-3) - 2.0);
        if (material.extras.IsObject() && material.extras.Has("shininess")) {
            shininess = static_cast<float>(material.extras.Get("shininess").GetNumberAsDouble());
        }
        set.specularControl = shininess;
        if (material.extras.IsObject() && material.extras.Has("ambientCoefficient")) {
            set.ambientCoefficient =
                static_cast<float>(material.extras.Get("ambientCoefficient").GetNumberAsDouble());
        }
        if (auto specular = material.extensions.find("KHR_materials_specular");
            specular != material.extensions.end() && specular->second.Has("specularColorFactor")) {
            auto const& c = specular->second.Get("specularColorFactor");
            if (c.IsArray() && c.ArrayLen() == 3) {
                set.specular = TQ3ColorRGB{static_cast<float>(c.Get(0).GetNumberAsDouble()),
                                           static_cast<float>(c.Get(1).GetNumberAsDouble()),
                                           static_cast<float>(c.Get(2).GetNumberAsDouble())};
            }
        }
        if (pbr.baseColorTexture.index >= 0) {
            if (!hasUVs) {
                Skip("textures of primitives without texture coordinates (" + place + ")");
                return;
            }
            OpaqueTQ3Object* texture = Texture(pbr.baseColorTexture.index);
            if (!texture) {
                return;
            }
            OpaqueTQ3Object* shader = NewTextureShader(texture);
            Release(texture);
            As<TextureShader>(shader)->uvTransform = UvTransform(pbr.baseColorTexture.extensions);
            Assign(set.shader, shader);
            Release(shader);
        }
    }

    // KHR_texture_transform (in the image's space, v down) as the shader's UV transform (in
    // the scene's, v up).
    static CMatrix3x3 UvTransform(tinygltf::ExtensionMap const& extensions) {
        CMatrix3x3 m(1.0);
        auto found = extensions.find("KHR_texture_transform");
        if (found == extensions.end()) {
            return m;
        }
        auto number = [&](char const* key, int i, double fallback) {
            tinygltf::Value const& v = found->second.Get(key);
            if (i < 0) {
                return v.IsNumber() ? v.GetNumberAsDouble() : fallback;
            }
            return v.IsArray() && v.ArrayLen() > static_cast<std::size_t>(i) && v.Get(i).IsNumber()
                       ? v.Get(i).GetNumberAsDouble()
                       : fallback;
        };
        double const ox = number("offset", 0, 0), oy = number("offset", 1, 0);
        double const r = number("rotation", -1, 0);
        double const sx = number("scale", 0, 1), sy = number("scale", 1, 1);
        // glTF space: g' = G g + o, G = rotation(r) * scale(s).
        double const g00 = std::cos(r) * sx, g01 = -std::sin(r) * sy;
        double const g10 = std::sin(r) * sx, g11 = std::cos(r) * sy;
        // With u = gu, v = 1 - gv on both sides (see the exporter): a = g00, c = -g01,
        // b = -g10, d = g11, tx = ox - c, ty = 1 - d - oy.
        double const a = g00, c = -g01, b = -g10, d = g11;
        m[0][0] = static_cast<float>(a);
        m[0][1] = static_cast<float>(b);
        m[1][0] = static_cast<float>(c);
        m[1][1] = static_cast<float>(d);
        m[2][0] = static_cast<float>(ox - c);
        m[2][1] = static_cast<float>(1 - d - oy);
        return m;
    }

    OpaqueTQ3Object* Texture(int index) {
        if (auto found = fTextures.find(index); found != fTextures.end()) {
            Retain(found->second);
            return found->second;
        }
        tinygltf::Texture const& texture = Item(fModel.textures, index, "textures");
        tinygltf::Image const& image = Item(fModel.images, texture.source, "images");
        if (image.image.empty() || image.bits != 8 || image.component < 1 || image.component > 4 ||
            image.width <= 0 || image.height <= 0 ||
            image.image.size() != std::size_t(image.width) * std::size_t(image.height) *
                                      std::size_t(image.component)) {
            Skip("images this host cannot decode (/images/" + std::to_string(texture.source) + ")");
            return nullptr;
        }
        std::vector<uint8_t> rgba;
        rgba.reserve(std::size_t(image.width) * std::size_t(image.height) * 4);
        std::size_t const n = static_cast<std::size_t>(image.component);
        for (std::size_t p = 0; p < image.image.size(); p += n) {
            uint8_t const grey = image.image[p];
            rgba.push_back(grey);
            rgba.push_back(n >= 3 ? image.image[p + 1] : grey);
            rgba.push_back(n >= 3 ? image.image[p + 2] : grey);
            rgba.push_back(n == 4 ? image.image[p + 3] : n == 2 ? image.image[p + 1] : 255);
        }
        OpaqueTQ3Object* out = NewTexture(static_cast<uint32_t>(image.width),
                                          static_cast<uint32_t>(image.height), std::move(rgba));
        fTextures[index] = out;
        fKeep.push_back(out);
        Retain(out);
        return out;
    }

    void AddLight(int index, Column const& world) {
        tinygltf::Light const& light =
            Item(fModel.lights, index, "extensions/KHR_lights_punctual/lights");
        FourCharCode const kind = light.type == "directional" ? "drct"_4cc
                                  : light.type == "spot"      ? "spot"_4cc
                                                              : "pntl"_4cc;
        auto* out = new refhost::scene::Light(kind);
        TQ3ColorRGB colour{1, 1, 1};
        if (light.color.size() == 3) {
            colour = {static_cast<float>(light.color[0]), static_cast<float>(light.color[1]),
                      static_cast<float>(light.color[2])};
        }
        out->common = {kQ3True, static_cast<float>(light.intensity), colour};
        out->location = {static_cast<float>(world[12]), static_cast<float>(world[13]),
                         static_cast<float>(world[14])};
        CVector3D const d =
            Normalise(CVector3D(static_cast<float>(-world[8]), static_cast<float>(-world[9]),
                                static_cast<float>(-world[10])));
        out->direction = d;
        if (kind == "spot"_4cc) {
            out->hotAngle = static_cast<float>(light.spot.innerConeAngle);
            out->outerAngle = static_cast<float>(light.spot.outerConeAngle);
        }
        CGroupObject(fLights).AddObject(CSharedObject(out));
        Release(out);
    }

    void AddAmbient() {
        auto const& scenes = fModel.scenes;
        int const scene = fModel.defaultScene >= 0 ? fModel.defaultScene : 0;
        if (scenes.empty()) {
            return;
        }
        tinygltf::Value const& extras = scenes[static_cast<std::size_t>(scene)].extras;
        if (!extras.IsObject() || !extras.Has("ambient")) {
            return;
        }
        tinygltf::Value const& c = extras.Get("ambient");
        if (!c.IsArray() || c.ArrayLen() != 3) {
            return;
        }
        auto* light = new refhost::scene::Light("ambn"_4cc);
        TQ3ColorRGB const colour{static_cast<float>(c.Get(0).GetNumberAsDouble()),
                                 static_cast<float>(c.Get(1).GetNumberAsDouble()),
                                 static_cast<float>(c.Get(2).GetNumberAsDouble())};
        float const brightness = std::max({colour.r, colour.g, colour.b});
        light->common = {kQ3True, brightness,
                         brightness > 0 ? TQ3ColorRGB{colour.r / brightness, colour.g / brightness,
                                                      colour.b / brightness}
                                        : TQ3ColorRGB{1, 1, 1}};
        CGroupObject(fLights).AddObject(CSharedObject(light));
        Release(light);
    }

    // A model without lights would show black: it gets a soft ambient light and a sun
    // from above, in front and to the left.
    void AddDefaultLights() {
        auto* ambient = new refhost::scene::Light("ambn"_4cc);
        ambient->common = {kQ3True, 0.35f, {1, 1, 1}};
        CGroupObject(fLights).AddObject(CSharedObject(ambient));
        Release(ambient);
        auto* sun = new refhost::scene::Light("drct"_4cc);
        sun->common = {kQ3True, 0.8f, {1, 1, 1}};
        sun->direction = Normalise(CVector3D(0.4f, -0.8f, -0.45f));
        CGroupObject(fLights).AddObject(CSharedObject(sun));
        Release(sun);
    }

    OpaqueTQ3Object* MakeCamera() {
        if (!fCameraNode) {
            auto* camera = new refhost::scene::Camera("vana"_4cc);
            camera->data.placement = {{0, 1, 10}, {0, 0, 0}, {0, 1, 0}};
            camera->data.range = {0.1f, 1000};
            camera->data.viewPort = {{-1, 1}, 2, 2};
            camera->fieldOfView = 0.8f;
            camera->aspectRatio = 4.0f / 3.0f;
            return camera;
        }
        tinygltf::Camera const& c = fModel.cameras[static_cast<std::size_t>(*fCameraNode)];
        bool const orthographic = c.type == "orthographic";
        auto* camera = new refhost::scene::Camera(orthographic ? "orth"_4cc : "vana"_4cc);
        Column const& w = fCameraWorld;
        CPoint3D const location(static_cast<float>(w[12]), static_cast<float>(w[13]),
                                static_cast<float>(w[14]));
        CVector3D const back = Normalise(CVector3D(
            static_cast<float>(w[8]), static_cast<float>(w[9]), static_cast<float>(w[10])));
        CVector3D const up = Normalise(CVector3D(static_cast<float>(w[4]), static_cast<float>(w[5]),
                                                 static_cast<float>(w[6])));
        // The point of interest: where the line of sight passes the origin, at least 1 away.
        float distance = DotProduct(CVector3D(location.x, location.y, location.z), back);
        distance = distance > 1 ? distance : 10;
        camera->data.placement = {location, location - back * distance, up};
        camera->data.viewPort = {{-1, 1}, 2, 2};
        if (orthographic) {
            camera->left = static_cast<float>(-c.orthographic.xmag);
            camera->right = static_cast<float>(c.orthographic.xmag);
            camera->top = static_cast<float>(c.orthographic.ymag);
            camera->bottom = static_cast<float>(-c.orthographic.ymag);
            camera->data.range = {static_cast<float>(c.orthographic.znear),
                                  static_cast<float>(c.orthographic.zfar)};
        } else {
            double const aspect =
                c.perspective.aspectRatio > 0 ? c.perspective.aspectRatio : 4.0 / 3.0;
            double const yfov = c.perspective.yfov;
            camera->aspectRatio = static_cast<float>(aspect);
            camera->fieldOfView =
                static_cast<float>(aspect >= 1 ? yfov : 2 * std::atan(std::tan(yfov / 2) * aspect));
            camera->data.range = {
                static_cast<float>(c.perspective.znear),
                static_cast<float>(c.perspective.zfar > 0 ? c.perspective.zfar : 1000.0)};
        }
        return camera;
    }

    tinygltf::Model const& fModel;
    std::string const& fName;
    std::map<int, Track> fColourTracks;    // by material
    std::vector<int> fAnimated;            // the animated nodes being made, outermost first
    std::map<int, Track const*> fColourOf; // animated node: the colour its meshes take
    std::vector<std::string>& fWarnings;
    std::map<int, int> const& fColourSamplers;
    std::set<std::string> fSkipped;
    std::map<int, NodeTracks> fTracks;
    std::set<int> fOpen;
    std::map<int, OpaqueTQ3Object*> fTextures;
    std::map<ParsedKey, Parsed> fParsed;
    std::vector<OpaqueTQ3Object*> fKeep;
    OpaqueTQ3Object* fLights = nullptr;
    std::optional<int> fCameraNode;
    Column fCameraWorld = Identity();
    int32_t fLastTime = 0;
    uint32_t fNextSortingIndex = 4;

public:
    ~Importer() {
        for (OpaqueTQ3Object* texture : fKeep) {
            Release(texture);
        }
    }
};

// The JSON checked and prepared for tinygltf: a syntax fault is reported with its byte, and
// the channels of animation pointers (which tinygltf cannot read and this host does not
// import) are taken out.
// The JSON of a file, or a GltfError at the byte where it stops being JSON.
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

std::string Prepared(std::string const& text, std::string const& name,
                     std::vector<std::string>& warnings, std::map<int, int>& colourSamplers) {
    if (text.find("KHR_animation_pointer") == std::string::npos) {
        return text; // nothing to take out: tinygltf reads it as it is
    }
    nlohmann::json json = ParsedJson(text, name);
    auto const asset = json.find("asset");
    if (asset == json.end() || !asset->is_object() || !asset->contains("version") ||
        !(*asset)["version"].is_string() ||
        (*asset)["version"].get<std::string>().rfind("2.", 0) != 0) {
        throw GltfError(name + ": /asset/version: not a glTF 2.0 file");
    }
    bool pointers = false;
    if (auto animations = json.find("animations");
        animations != json.end() && animations->is_array()) {
        bool first = true;
        for (auto& animation : *animations) {
            bool const isFirst = std::exchange(first, false);
            if (!animation.is_object() || !animation.contains("channels") ||
                !animation["channels"].is_array()) {
                continue;
            }
            auto& channels = animation["channels"];
            nlohmann::json kept = nlohmann::json::array();
            for (auto& channel : channels) {
                bool const pointer = channel.is_object() && channel.contains("target") &&
                                     channel["target"].is_object() &&
                                     channel["target"].value("path", "") == "pointer";
                if (!pointer) {
                    kept.push_back(channel);
                    continue;
                }
                // The base colour of a material, in the first animation, is imported.
                auto const& target = channel["target"];
                std::string const where =
                    target.contains("extensions") && target["extensions"].is_object() &&
                            target["extensions"].contains("KHR_animation_pointer") &&
                            target["extensions"]["KHR_animation_pointer"].is_object()
                        ? target["extensions"]["KHR_animation_pointer"].value("pointer", "")
                        : "";
                int material = -1;
                char tail[64] = {};
                if (isFirst && channel.contains("sampler") &&
                    channel["sampler"].is_number_integer() &&
                    std::sscanf(where.c_str(), "/materials/%d/pbrMetallicRoughness/%63s", &material,
                                tail) == 2 &&
                    std::string(tail) == "baseColorFactor" && material >= 0) {
                    colourSamplers[material] = channel["sampler"].get<int>();
                } else {
                    pointers = true;
                }
            }
            channels = kept;
        }
    }
    if (pointers) {
        warnings.push_back(name + ": skipped animated material and light values other than "
                                  "base colours (KHR_animation_pointer)");
    }
    return json.dump();
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
    std::map<int, int> colourSamplers; // material: sampler of the first animation
    std::string json;
    std::string const folder =
        name.find('/') == std::string::npos ? "." : name.substr(0, name.rfind('/'));
    if (bytes.size() >= 4 && std::memcmp(bytes.data(), "glTF", 4) == 0) {
        GlbParts parts = SplitGlb(bytes, name);
        parts.json = Prepared(parts.json, name, warnings, colourSamplers);
        json = parts.json;
        std::vector<uint8_t> const glb = JoinGlb(parts);
        loaded = loader.LoadBinaryFromMemory(&model, &error, &warning, glb.data(),
                                             static_cast<unsigned>(glb.size()), folder);
    } else {
        json = Prepared(std::string(bytes.begin(), bytes.end()), name, warnings, colourSamplers);
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
    Importer importer(model, name, warnings, colourSamplers);
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
