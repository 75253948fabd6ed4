#include "refhost/gltf/view_import.h"
#include "interp/easing.h"

#include <algorithm>
#include <cmath>

#include "host/four_char_code.h"
#include "host/scene/attribute_set.h"
#include "host/scene/group.h"
#include "host/vectors.h"
#include "refhost/gltf/gltf_error.h"
#include "refhost/gltf/tween_lists.h"
#include "refhost/scene/build.h"

namespace refhost::gltf {

using namespace refhost::scene;

namespace {

CVector3D Axis(Column const& w, std::size_t column, float sign = 1) {
    return Normalise(CVector3D(sign * static_cast<float>(w[column * 4]),
                               sign * static_cast<float>(w[column * 4 + 1]),
                               sign * static_cast<float>(w[column * 4 + 2])));
}

CPoint3D Origin(Column const& w) {
    return CPoint3D(static_cast<float>(w[12]), static_cast<float>(w[13]),
                    static_cast<float>(w[14]));
}

bool Differ(CVector3D const& a, CVector3D const& b) {
    return std::max({std::fabs(a.x - b.x), std::fabs(a.y - b.y), std::fabs(a.z - b.z)}) > 1e-6f;
}

double Seconds(int32_t units) {
    return units / double{kImportUnitsPerSecond};
}

TQ3ColorRGB Colour(std::vector<double> const& c) {
    return {static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2])};
}

void Name(OpaqueTQ3Object* object, std::string const& name) {
    auto* set = new AttributeSet;
    set->name = name;
    Assign(object->set, set);
    Release(set);
}

} // namespace

struct ViewImport::Placed {
    int index;
    std::vector<int> path;
    std::string name;
    refhost::scene::Light* light; // one reference, this list's
    KeyTimes times;
};

ViewImport::ViewImport(tinygltf::Model const& model, ModelAnimation const& animation,
                       std::string const& name)
    : fModel(model), fAnimation(animation), fName(name), fLights(NewGroupOf(GroupKind::kLight)) {}

ViewImport::~ViewImport() {
    for (Placed& placed : fAnimatedLights) {
        Release(placed.light);
    }
    Release(fLights);
}

Track const* ViewImport::Pointer(std::string const& pointer) const {
    auto const found = fAnimation.pointers.find(pointer);
    return found == fAnimation.pointers.end() ? nullptr : &found->second;
}

std::vector<Track const*> ViewImport::PathTracks(std::vector<int> const& path) const {
    std::vector<Track const*> tracks;
    for (int node : path) {
        if (auto found = fAnimation.nodes.find(node); found != fAnimation.nodes.end()) {
            for (auto const* track :
                 {&found->second.translation, &found->second.rotation, &found->second.scale}) {
                if (*track) {
                    tracks.push_back(&**track);
                }
            }
        }
    }
    return tracks;
}

// A node above the last that turns or scales carries the last one's origin on a curve.
bool ViewImport::MovesOnACurve(std::vector<int> const& path) const {
    for (std::size_t i = 0; i + 1 < path.size(); ++i) {
        auto const found = fAnimation.nodes.find(path[i]);
        if (found != fAnimation.nodes.end() && (found->second.rotation || found->second.scale)) {
            return true;
        }
    }
    return false;
}

KeyTimes ViewImport::Times(std::vector<int> const& path, std::vector<Track const*> tracks) const {
    std::vector<Track const*> const placement = PathTracks(path);
    tracks.insert(tracks.end(), placement.begin(), placement.end());
    return TimesOf(tracks, kImportUnitsPerSecond, kImportSamplesPerSecond);
}

void ViewImport::Camera(int camera, std::vector<int> const& path) {
    if (fCamera >= 0) {
        return;
    }
    if (camera < 0 || static_cast<std::size_t>(camera) >= fModel.cameras.size()) {
        throw GltfError(fName + ": /cameras: no camera " + std::to_string(camera) + " (there are " +
                        std::to_string(fModel.cameras.size()) + ")");
    }
    fCamera = camera;
    fCameraPath = path;
}

CameraKey ViewImport::CameraAt(double seconds) const {
    CameraKey key;
    key.data.viewPort = {{-1, 1}, 2, 2};
    if (fCamera < 0) {
        key.kind = "vana"_4cc;
        key.data.placement = {{0, 1, 10}, {0, 0, 0}, {0, 1, 0}};
        key.data.range = {0.1f, 1000};
        key.fieldOfView = 0.8f;
        key.aspectRatio = 4.0f / 3.0f;
        return key;
    }
    tinygltf::Camera const& c = fModel.cameras[static_cast<std::size_t>(fCamera)];
    bool const orthographic = c.type == "orthographic";
    std::string const base =
        "/cameras/" + std::to_string(fCamera) + (orthographic ? "/orthographic/" : "/perspective/");
    auto value = [&](char const* property, double fixed) {
        Track const* track = Pointer(base + property);
        return track ? track->At(seconds, false)[0] : fixed;
    };
    Column const w = WorldAt(fModel, fAnimation, fCameraPath, seconds);
    CPoint3D const location = Origin(w);
    CVector3D const back = Axis(w, 2);
    // The point of interest: where the line of sight passes the origin, at least 1 away.
    float distance = DotProduct(CVector3D(location.x, location.y, location.z), back);
    distance = distance > 1 ? distance : 10;
    key.data.placement = {location, location - back * distance, Axis(w, 1)};
    if (orthographic) {
        key.kind = "orth"_4cc;
        auto const xmag = static_cast<float>(value("xmag", c.orthographic.xmag));
        auto const ymag = static_cast<float>(value("ymag", c.orthographic.ymag));
        key.left = -xmag;
        key.right = xmag;
        key.top = ymag;
        key.bottom = -ymag;
        key.data.range = {static_cast<float>(value("znear", c.orthographic.znear)),
                          static_cast<float>(value("zfar", c.orthographic.zfar))};
        return key;
    }
    key.kind = "vana"_4cc;
    double aspect = value("aspectRatio", c.perspective.aspectRatio);
    aspect = aspect > 0 ? aspect : 4.0 / 3.0;
    double const yfov = value("yfov", c.perspective.yfov);
    key.aspectRatio = static_cast<float>(aspect);
    // The view angle spans the shorter side.
    key.fieldOfView =
        static_cast<float>(aspect >= 1 ? yfov : 2 * std::atan(std::tan(yfov / 2) * aspect));
    double const zfar = value("zfar", c.perspective.zfar);
    key.data.range = {static_cast<float>(value("znear", c.perspective.znear)),
                      static_cast<float>(zfar > 0 ? zfar : 1000.0)};
    return key;
}

void ViewImport::Light(int index, std::vector<int> const& path, std::string const& nodeName) {
    if (index < 0 || static_cast<std::size_t>(index) >= fModel.lights.size()) {
        throw GltfError(fName + ": /extensions/KHR_lights_punctual/lights: no light " +
                        std::to_string(index) + " (there are " +
                        std::to_string(fModel.lights.size()) + ")");
    }
    tinygltf::Light const& light = fModel.lights[static_cast<std::size_t>(index)];
    FourCharCode const kind = light.type == "directional" ? "drct"_4cc
                              : light.type == "spot"      ? "spot"_4cc
                                                          : "pntl"_4cc;
    auto* out = new refhost::scene::Light(kind);
    // Without this host's own fading (see the exporter), glTF's: with the distance squared.
    if (kind != "drct"_4cc) {
        out->attenuation = kQ3AttenuationTypeInverseDistanceSquared;
    }
    if (light.extras.IsObject() && light.extras.Has("attenuation") &&
        light.extras.Get("attenuation").IsInt()) {
        out->attenuation = static_cast<TQ3AttenuationType>(
            std::clamp(light.extras.Get("attenuation").Get<int>(), 0, 2));
    }
    if (light.extras.IsObject() && light.extras.Has("fallOff") &&
        light.extras.Get("fallOff").IsInt()) {
        out->fallOff =
            static_cast<TQ3FallOffType>(std::clamp(light.extras.Get("fallOff").Get<int>(), 0, 3));
    }
    Placed placed{index, path, nodeName, out, {}};
    std::string const base = "/extensions/KHR_lights_punctual/lights/" + std::to_string(index);
    std::vector<Track const*> own;
    for (char const* property :
         {"/color", "/intensity", "/spot/innerConeAngle", "/spot/outerConeAngle"}) {
        if (Track const* track = Pointer(base + property)) {
            own.push_back(track);
        }
    }
    placed.times = Times(path, own);
    LightKey const now = LightAt(placed, 0);
    out->common = now.common;
    if (kind == "spot"_4cc) {
        out->hotAngle = now.hotAngle;
        out->outerAngle = now.outerAngle;
    }
    if (placed.times.times.empty()) {
        // A still light is where its node puts it, among the view's lights.
        out->location = CPoint3D((*now.matrix)[3][0], (*now.matrix)[3][1], (*now.matrix)[3][2]);
        out->direction = now.direction;
        CGroupObject(fLights).AddObject(CSharedObject(out));
        Release(out);
        return;
    }
    bool const turns = kind != "pntl"_4cc;
    bool const curve = MovesOnACurve(path);
    AddSamples(placed.times.times, kImportUnitsPerSecond, kImportSamplesPerSecond,
               [&](int32_t from, int32_t to) {
                   return curve || (turns && Differ(LightAt(placed, Seconds(from)).direction,
                                                    LightAt(placed, Seconds(to)).direction));
               });
    out->direction = now.direction;
    fAnimatedLights.push_back(placed);
}

// The light at a time: its group's transform places it (a translation, so the plug-in's blend
// of it is glTF's), the light itself shines along the node's -z.
LightKey ViewImport::LightAt(Placed const& placed, double seconds) const {
    tinygltf::Light const& light = fModel.lights[static_cast<std::size_t>(placed.index)];
    std::string const base =
        "/extensions/KHR_lights_punctual/lights/" + std::to_string(placed.index) + "/";
    auto value = [&](std::string const& property, std::vector<double> const& fixed) {
        Track const* track = Pointer(base + property);
        return track && track->n == fixed.size() ? track->At(seconds, false) : fixed;
    };
    auto spot = [&](char const* property, double fixed) {
        Track const* track = Pointer(base + "spot/" + property);
        return track ? track->At(seconds, false)[0] : fixed;
    };
    Column const w = WorldAt(fModel, fAnimation, placed.path, seconds);
    LightKey key;
    key.time = static_cast<int32_t>(std::lround(seconds * kImportUnitsPerSecond));
    CMatrix4x4 matrix(1.0);
    CPoint3D const at = Origin(w);
    matrix[3][0] = at.x;
    matrix[3][1] = at.y;
    matrix[3][2] = at.z;
    key.matrix = matrix;
    key.direction = Axis(w, 2, -1);
    std::vector<double> colour =
        light.color.size() == 3 ? light.color : std::vector<double>{1, 1, 1};
    // An intensity of 0 is a light switched off (as the exporter writes one).
    auto const intensity = static_cast<float>(value("intensity", {light.intensity})[0]);
    key.common = {intensity > 0 ? kQ3True : kQ3False, intensity, Colour(value("color", colour))};
    key.hotAngle = static_cast<float>(spot("innerConeAngle", light.spot.innerConeAngle));
    key.outerAngle = static_cast<float>(spot("outerConeAngle", light.spot.outerConeAngle));
    return key;
}

void ViewImport::AddAmbient(int32_t& lastTime) {
    if (fModel.scenes.empty()) {
        return;
    }
    int const scene = fModel.defaultScene >= 0 ? fModel.defaultScene : 0;
    tinygltf::Value const& extras = fModel.scenes[static_cast<std::size_t>(scene)].extras;
    if (!extras.IsObject() || !extras.Has("ambient")) {
        return;
    }
    std::string const place = "/scenes/" + std::to_string(scene) + "/extras/";
    auto numbers = [&](tinygltf::Value const& v, std::size_t count, std::string const& where) {
        if (!v.IsArray() || (count && v.ArrayLen() != count)) {
            throw GltfError(fName + ": " + place + where + ": expected " +
                            (count ? std::to_string(count) + " numbers" : "an array of numbers"));
        }
        std::vector<double> out;
        for (std::size_t i = 0; i < v.ArrayLen(); ++i) {
            double const n = v.Get(static_cast<int>(i)).IsNumber()
                                 ? v.Get(static_cast<int>(i)).GetNumberAsDouble()
                                 : NAN;
            if (!std::isfinite(n)) {
                throw GltfError(fName + ": " + place + where + "/" + std::to_string(i) +
                                ": expected a finite number");
            }
            out.push_back(n);
        }
        return out;
    };
    // The light that gives a colour: its brightness the largest part.
    auto common = [](double r, double g, double b) {
        float const brightness = static_cast<float>(std::max({r, g, b}));
        return brightness > 0
                   ? TQ3LightData{kQ3True, brightness,
                                  Colour({r / brightness, g / brightness, b / brightness})}
                   : TQ3LightData{kQ3True, 0, {1, 1, 1}};
    };
    std::vector<double> const c = numbers(extras.Get("ambient"), 3, "ambient");
    std::vector<LightKey> keys;
    if (extras.Has("ambientAnimation")) {
        tinygltf::Value const& animation = extras.Get("ambientAnimation");
        std::vector<double> const times =
            numbers(animation.Get("times"), 0, "ambientAnimation/times");
        std::vector<double> const colours =
            numbers(animation.Get("colours"), times.size() * 3, "ambientAnimation/colours");
        for (std::size_t k = 0; k < times.size(); ++k) {
            if (times[k] < 0 || times[k] >= 3.0e6 || (k > 0 && !(times[k] > times[k - 1]))) {
                throw GltfError(fName + ": " + place +
                                "ambientAnimation/times: the times must rise from 0");
            }
            LightKey key;
            key.time = static_cast<int32_t>(std::lround(times[k] * kImportUnitsPerSecond));
            key.common = common(colours[k * 3], colours[k * 3 + 1], colours[k * 3 + 2]);
            keys.push_back(key);
            lastTime = std::max(lastTime, key.time);
        }
    }
    auto* light = new refhost::scene::Light("ambn"_4cc);
    light->common = keys.empty() ? common(c[0], c[1], c[2]) : keys.front().common;
    if (!keys.empty()) {
        WriteLightKeys(*light, keys, 2); // the ambient light's row
    }
    CGroupObject(fLights).AddObject(CSharedObject(light));
    Release(light);
}

// A model without lights would show black: it gets a soft ambient light and a sun from
// above, in front and to the left.
void ViewImport::AddDefaultLights() {
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

void ViewImport::Finish(Document& document, int32_t& lastTime, uint32_t& nextSortingIndex) {
    for (Placed& placed : fAnimatedLights) {
        std::vector<LightKey> keys;
        for (int32_t t : placed.times.times) {
            keys.push_back(LightAt(placed, Seconds(t)));
            keys.back().ease = placed.times.holds ? eEaseHold : 0;
            lastTime = std::max(lastTime, t);
        }
        WriteLightKeys(*placed.light, keys, nextSortingIndex++);
        OpaqueTQ3Object* group = NewGroupOf(GroupKind::kOrdered);
        Name(group, placed.name);
        CGroupObject holder(group);
        auto* transform = new refhost::scene::Transform(*LightAt(placed, 0).matrix);
        holder.AddObject(CSharedObject(transform));
        Release(transform);
        holder.AddObject(CSharedObject(placed.light));
        CGroupObject(document.OtherGroup()).AddObject(CSharedObject(group));
        Release(group);
    }
    AddAmbient(lastTime);
    if (CGroupObject(fLights).CountObjects() == 0 && fAnimatedLights.empty()) {
        AddDefaultLights();
    }

    CameraKey const now = CameraAt(0);
    auto* camera = new refhost::scene::Camera(now.kind);
    camera->data = now.data;
    camera->fieldOfView = now.fieldOfView;
    camera->aspectRatio = now.aspectRatio;
    camera->left = now.left;
    camera->right = now.right;
    camera->top = now.top;
    camera->bottom = now.bottom;
    if (fCamera >= 0) {
        std::vector<Track const*> lens;
        for (auto const& [pointer, track] : fAnimation.pointers) {
            if (pointer.rfind("/cameras/" + std::to_string(fCamera) + "/", 0) == 0) {
                lens.push_back(&track);
            }
        }
        KeyTimes times = Times(fCameraPath, lens);
        bool const curve = MovesOnACurve(fCameraPath);
        AddSamples(
            times.times, kImportUnitsPerSecond, kImportSamplesPerSecond,
            [&](int32_t from, int32_t to) {
                TQ3CameraPlacement const a = CameraAt(Seconds(from)).data.placement;
                TQ3CameraPlacement const b = CameraAt(Seconds(to)).data.placement;
                // The plug-in swings a camera that turns about where its lines of sight meet;
                // glTF turns it in place while it moves straight.
                return curve ||
                       Differ(
                           Normalise(CPoint3D(a.pointOfInterest) - CPoint3D(a.cameraLocation)),
                           Normalise(CPoint3D(b.pointOfInterest) - CPoint3D(b.cameraLocation))) ||
                       Differ(CVector3D(a.upVector), CVector3D(b.upVector));
            });
        std::vector<CameraKey> keys;
        for (int32_t t : times.times) {
            keys.push_back(CameraAt(Seconds(t)));
            keys.back().time = t;
            keys.back().ease = times.holds ? eEaseHold : 0;
            lastTime = std::max(lastTime, t);
        }
        if (!keys.empty()) {
            WriteCameraKeys(camera, keys);
        }
    }
    OpaqueTQ3Object* view = NewView(camera, fLights, {{0, 0}, {640, 480}});
    Release(camera);
    document.AddView(view);
    Release(view);
}

} // namespace refhost::gltf
