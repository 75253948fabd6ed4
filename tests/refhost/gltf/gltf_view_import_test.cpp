// glTF import of a model whose camera and light move: a camera carried round by a turning
// parent while it zooms, and a point light that slides, changes colour through an animation
// pointer and dims in a step, play in the imported document as an evaluator written from the
// format's rules plays the file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "host/four_char_code.h"
#include "refhost/document/document_file.h"
#include "refhost/framework/host_state.h"
#include "refhost/gltf/gltf_import.h"
#include "refhost/scene/objects.h"
#include "refhost/session/host_session.h"
#include "refhost/view3d/camera_projection.h"
#include "refhost/view3d/scene_gather.h"
#include "tests/refhost/gltf/gltf_evaluator.h"
#include "tests/support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using keypose_test::Mat4;

class GltfViewImportTest : public ::testing::Test {
protected:
    void TearDown() override { refhost::HostState::Instance().Reset(); }
};

// A .gltf whose buffer is a file beside it: accessors of floats appended as they are made.
class ModelText {
public:
    int Floats(std::vector<float> const& values, char const* type) {
        std::size_t const offset = fBytes.size();
        fBytes.resize(offset + values.size() * 4);
        std::memcpy(fBytes.data() + offset, values.data(), values.size() * 4);
        std::size_t const n = std::string(type) == "SCALAR" ? 1
                              : std::string(type) == "VEC3" ? 3
                                                            : 4;
        nlohmann::json accessor = {{"bufferView", fJson["bufferViews"].size()},
                                   {"componentType", 5126},
                                   {"count", values.size() / n},
                                   {"type", type}};
        if (n == 1) { // key times need their bounds
            accessor["min"] = {values.front()};
            accessor["max"] = {values.back()};
        }
        fJson["bufferViews"].push_back(
            {{"buffer", 0}, {"byteOffset", offset}, {"byteLength", values.size() * 4}});
        fJson["accessors"].push_back(accessor);
        return static_cast<int>(fJson["accessors"].size() - 1);
    }

    // A channel keyed at times: of a node's path, or (node < 0) of a property by pointer.
    void Channel(std::vector<float> const& times, std::vector<float> const& values,
                 char const* type, int node, std::string const& path,
                 char const* interpolation = "LINEAR") {
        auto& animation = fJson["animations"][0];
        animation["samplers"].push_back({{"input", Floats(times, "SCALAR")},
                                         {"output", Floats(values, type)},
                                         {"interpolation", interpolation}});
        nlohmann::json target = {{"path", path}};
        if (node >= 0) {
            target["node"] = node;
        } else {
            target = {{"path", "pointer"},
                      {"extensions", {{"KHR_animation_pointer", {{"pointer", path}}}}}};
        }
        animation["channels"].push_back(
            {{"sampler", animation["samplers"].size() - 1}, {"target", target}});
    }

    nlohmann::json& Json() { return fJson; }

    fs::path Write(fs::path const& path) {
        fJson["asset"] = {{"version", "2.0"}};
        fJson["buffers"] = {
            {{"uri", path.stem().string() + ".bin"}, {"byteLength", fBytes.size()}}};
        std::ofstream(path.parent_path() / (path.stem().string() + ".bin"), std::ios::binary)
            .write(reinterpret_cast<char const*>(fBytes.data()),
                   static_cast<std::streamsize>(fBytes.size()));
        std::ofstream(path) << fJson.dump(); // compact, as the evaluator reads pointers
        return path;
    }

private:
    nlohmann::json fJson = {
        {"bufferViews", nlohmann::json::array()},
        {"accessors", nlohmann::json::array()},
        {"animations",
         {{{"samplers", nlohmann::json::array()}, {"channels", nlohmann::json::array()}}}}};
    std::vector<uint8_t> fBytes;
};

// Over two seconds: a rig turning a quarter about y while sliding 2 along x carries the camera
// (8 in front of it, a metre up) as it zooms from 0.8 to 0.4; a point light slides 4 along z,
// turns from red to blue and drops from 2 to 0.5 at one second.
fs::path MovingViewModel() {
    ModelText model;
    nlohmann::json& json = model.Json();
    json["extensionsUsed"] = {"KHR_lights_punctual", "KHR_animation_pointer"};
    json["scenes"] = {{{"nodes", {0, 2}}}};
    json["scene"] = 0;
    json["nodes"] = {{{"name", "Rig"}, {"children", {1}}},
                     {{"name", "Eye"}, {"camera", 0}, {"translation", {0, 1, 8}}},
                     {{"name", "Bulb"},
                      {"translation", {0, 3, 0}},
                      {"extensions", {{"KHR_lights_punctual", {{"light", 0}}}}}}};
    json["cameras"] = {{{"type", "perspective"},
                        {"perspective", {{"yfov", 0.8}, {"aspectRatio", 1.5}, {"znear", 0.1}}}}};
    json["extensions"] = {
        {"KHR_lights_punctual",
         {{"lights", {{{"type", "point"}, {"color", {1, 0, 0}}, {"intensity", 2}}}}}}};
    float const s = std::sin(static_cast<float>(M_PI) / 4),
                c = std::cos(static_cast<float>(M_PI) / 4);
    model.Channel({0, 2}, {0, 0, 0, 1, 0, s, 0, c}, "VEC4", 0, "rotation");
    model.Channel({0, 2}, {0, 0, 0, 2, 0, 0}, "VEC3", 0, "translation");
    model.Channel({0, 2}, {0.8f, 0.4f}, "SCALAR", -1, "/cameras/0/perspective/yfov");
    model.Channel({0, 2}, {0, 3, 0, 0, 3, 4}, "VEC3", 2, "translation");
    model.Channel({0, 2}, {1, 0, 0, 0, 0, 1}, "VEC3", -1,
                  "/extensions/KHR_lights_punctual/lights/0/color");
    model.Channel({0, 1}, {2, 0.5f}, "SCALAR", -1,
                  "/extensions/KHR_lights_punctual/lights/0/intensity", "STEP");
    fs::path const folder = keypose_test::ScratchFolder("keypose_gltf_view");
    fs::create_directories(folder);
    return model.Write(folder / "moving_view.gltf");
}

double Farthest(refhost::view3d::GlMatrix const& a, refhost::view3d::GlMatrix const& b) {
    double worst = 0;
    for (std::size_t i = 0; i < 16; ++i) {
        worst = std::max<double>(worst, std::fabs(a[i] - b[i]));
    }
    return worst;
}

TEST_F(GltfViewImportTest, ACameraAndALightThatTheModelMovesPlayAsTheFileSays) {
    fs::path const file = MovingViewModel();
    std::vector<std::string> warnings;
    std::unique_ptr<refhost::Document> made = refhost::gltf::ImportGltf(file.string(), warnings);
    EXPECT_TRUE(warnings.empty()) << warnings.front();
    fs::path const saved = file.parent_path() / "moving_view.json";
    refhost::SaveDocument(*made, saved.string());
    made.reset();

    keypose_test::GltfEvaluator const evaluator(file.string());
    refhost::HostSession session(KEYPOSE_MODULE_PATH);
    refhost::Document& document = session.Open(saved.string());
    EXPECT_EQ(document.clock.maximum, 1200);
    auto* view = refhost::scene::As<refhost::scene::View>(document.CurrentView());
    auto* camera = refhost::scene::As<refhost::scene::Camera>(view->camera);
    ASSERT_EQ(camera->Kind(), "vana"_4cc);
    // On the 30-a-second samples the turning camera is exact; between them the plug-in's swing
    // stays close to glTF's turn.
    for (double t : {0.0, 0.5, 1.0 - 1 / 600.0, 1.0, 1.5, 1.5 + 1 / 60.0, 2.0}) {
        session.SetTime(t);
        bool const onSample = std::fabs(t * 30 - std::round(t * 30)) < 1e-9;
        Mat4 const eye = evaluator.WorldMatrices(t)[1];
        auto column = [&](int k) {
            return CVector3D(static_cast<float>(eye[static_cast<std::size_t>(k * 4)]),
                             static_cast<float>(eye[static_cast<std::size_t>(k * 4 + 1)]),
                             static_cast<float>(eye[static_cast<std::size_t>(k * 4 + 2)]));
        };
        refhost::scene::Camera expected("vana"_4cc);
        CPoint3D const location(column(3).x, column(3).y, column(3).z);
        expected.data = camera->data;
        expected.data.placement = {location, location - column(2) * 5.0f, column(1)};
        expected.fieldOfView =
            static_cast<float>((*evaluator.Pointer("/cameras/0/perspective/yfov", t))[0]);
        expected.aspectRatio = 1.5f;
        auto const want = refhost::view3d::MatricesOf(expected);
        auto const got = refhost::view3d::MatricesOf(*camera);
        EXPECT_LE(Farthest(want.view, got.view), onSample ? 1e-4 : 2e-3) << "at " << t;
        EXPECT_LE(Farthest(want.projection, got.projection), 1e-4) << "at " << t;

        refhost::view3d::ShapeLibrary shapes;
        refhost::view3d::DrawList const list = refhost::view3d::GatherScene(
            shapes, document.SelectedGroup(), document.OtherGroup(), view->lights);
        ASSERT_EQ(list.lights.size(), 1u) << "at " << t;
        refhost::view3d::DrawLight const& bulb = list.lights.front();
        EXPECT_EQ(bulb.kind, refhost::view3d::LightKind::kPoint);
        EXPECT_EQ(bulb.attenuation, kQ3AttenuationTypeInverseDistanceSquared);
        Mat4 const at = evaluator.WorldMatrices(t)[2];
        EXPECT_NEAR(bulb.location.z, at[14], 1e-5) << "at " << t;
        EXPECT_NEAR(bulb.location.y, 3, 1e-6);
        auto const colour = *evaluator.Pointer("/extensions/KHR_lights_punctual/lights/0/color", t);
        double const intensity =
            (*evaluator.Pointer("/extensions/KHR_lights_punctual/lights/0/intensity", t))[0];
        EXPECT_NEAR(bulb.colour.r, colour[0] * intensity, 1e-5) << "at " << t;
        EXPECT_NEAR(bulb.colour.b, colour[2] * intensity, 1e-5) << "at " << t;
    }
}

} // namespace
