// The glTF export of every example: clean for the Khronos validator, and the same motion and
// colours as the plug-in's own playback when an evaluator written from the format's rules
// plays the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "host/four_char_code.h"
#include "host/framework.h"
#include "refhost/app/child_process.h"
#include "refhost/framework/host_state.h"
#include "refhost/gltf/gltf_error.h"
#include "refhost/gltf/gltf_export.h"
#include "refhost/scene/walk.h"
#include "refhost/script/script_runner.h"
#include "refhost/session/host_session.h"
#include "refhost/view3d/scene_gather.h"
#include "tests/refhost/gltf/compare_times.h"
#include "tests/refhost/gltf/drawn_surfaces.h"
#include "tests/refhost/gltf/gltf_evaluator.h"
#include "tests/support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using keypose_test::GltfEvaluator;
using keypose_test::Mat4;

std::vector<fs::path> Examples() {
    std::vector<fs::path> files;
    for (auto const& entry : fs::directory_iterator(KEYPOSE_EXAMPLES_DIR)) {
        if (entry.path().extension() == ".json") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

fs::path Folder() {
    fs::path const folder = keypose_test::ScratchFolder("keypose_gltf");
    fs::create_directories(folder);
    return folder;
}

// The validator's modules: KEYPOSE_GLTF_VALIDATOR (scripts/test.sh sets it), or where that
// script installs them.
std::string ValidatorModules() {
    char const* set = std::getenv("KEYPOSE_GLTF_VALIDATOR");
    return set && *set ? set
                       : std::string(KEYPOSE_SOURCE_DIR) + "/.cache/gltf-validator/node_modules";
}

// The validator's one-line report of a file (run without a shell; its complaints go to the
// error stream).
std::string Validate(fs::path const& file) {
    setenv("NODE_PATH", ValidatorModules().c_str(), 1);
    return keypose_host::ProgramOutput(
               {"node", std::string(KEYPOSE_SOURCE_DIR) + "/tests/refhost/gltf/validate.js",
                file.string()})
        .value_or("");
}

int Count(std::string const& report, std::string const& field) {
    std::size_t const at = report.find("\"" + field + "\":");
    return at == std::string::npos ? -1 : std::atoi(report.c_str() + at + field.size() + 3);
}

class GltfExportTest : public ::testing::Test {
protected:
    void TearDown() override { refhost::HostState::Instance().Reset(); }
};

// The world matrices of the document's geometries as the scene holds them now, in the
// order of a depth-first walk (the selected group, the other group, the view's lights).
// The lights other than ambient ones: where they are and the way they shine.
class PlayedScene : public refhost::scene::WalkVisitor {
public:
    bool VisitGeometry(refhost::scene::Geometry&, CMatrix4x4 const& matrix) override {
        matrices.push_back(matrix);
        return true;
    }
    bool VisitLight(refhost::scene::Light& light, CMatrix4x4 const& matrix) override {
        if (light.Kind() != "ambn"_4cc) {
            lights.push_back({CPoint3D(light.location) * matrix,
                              Normalise(CVector3D(light.direction) * matrix),
                              light.Kind() == "pntl"_4cc});
        }
        return true;
    }
    struct PlayedLight {
        CPoint3D location;
        CVector3D direction;
        bool point;
    };
    std::vector<CMatrix4x4> matrices;
    std::vector<PlayedLight> lights;
};

PlayedScene Played(refhost::Document const& document) {
    PlayedScene visitor;
    auto* view = refhost::scene::As<refhost::scene::View>(document.CurrentView());
    for (OpaqueTQ3Object* root :
         {document.SelectedGroup(), document.OtherGroup(), view ? view->lights : nullptr}) {
        if (root) {
            refhost::scene::Walk(root, CMatrix4x4(1.0), false, visitor);
        }
    }
    return visitor;
}

double Farthest(Mat4 const& m, int column, CVector3D const& v, double sign = 1) {
    auto at = [&](int row) { return sign * m[static_cast<std::size_t>(column * 4 + row)]; };
    double length = 1;
    if (column < 3) { // a direction: the node's axis may carry a scale
        length = std::sqrt(at(0) * at(0) + at(1) * at(1) + at(2) * at(2));
    }
    return std::max({std::fabs(at(0) / length - v.x), std::fabs(at(1) / length - v.y),
                     std::fabs(at(2) / length - v.z)});
}

// The glTF nodes of the geometries, by the geometry's place in the walk.
std::vector<int> GeometryNodes(tinygltf::Model const& model) {
    std::vector<int> nodes;
    for (std::size_t i = 0; i < model.nodes.size(); ++i) {
        tinygltf::Value const& extras = model.nodes[i].extras;
        if (extras.IsObject() && extras.Has("geometry")) {
            auto const k = static_cast<std::size_t>(extras.Get("geometry").Get<int>());
            nodes.resize(std::max(nodes.size(), k + 1), -1);
            nodes[k] = static_cast<int>(i);
        }
    }
    return nodes;
}

struct Differences {
    double matrix = 0, colour = 0;
};

// Plays the example in a session of its own at the times and compares every geometry's world
// matrix and base colour with the evaluator's.
Differences Compare(fs::path const& example, fs::path const& file, bool sampled) {
    GltfEvaluator const evaluator(file.string());
    std::vector<int> const nodes = GeometryNodes(evaluator.Model());
    refhost::HostSession session(KEYPOSE_MODULE_PATH);
    refhost::Document& document = session.Open(example.string());
    refhost::ClockSettings const clock = document.clock;
    double const origin = std::min<int32_t>(std::min(clock.minimum, clock.maximum), 0);
    Differences worst;
    for (int32_t t : keypose_test::CompareTimes(clock, sampled, 30)) {
        PL_SetCurTime(t);
        session.Loop().Frame(0);
        double const seconds = static_cast<float>((double(t) - origin) / clock.unitsPerSecond);
        std::vector<Mat4> const world = evaluator.WorldMatrices(seconds);
        auto* view = refhost::scene::As<refhost::scene::View>(document.CurrentView());
        PlayedScene const scene = Played(document);
        std::vector<CMatrix4x4> const& played = scene.matrices;
        EXPECT_EQ(played.size(), nodes.size()) << example;
        for (std::size_t g = 0; g < std::min(played.size(), nodes.size()); ++g) {
            Mat4 const& m = world[static_cast<std::size_t>(nodes[g])];
            for (int i = 0; i < 4; ++i) {
                for (int j = 0; j < 4; ++j) {
                    // A row-vector matrix row by row is glTF's column by column.
                    worst.matrix =
                        std::max(worst.matrix, std::fabs(m[static_cast<std::size_t>(i * 4 + j)] -
                                                         played[g][i][j]));
                }
            }
        }
        // The lights, by their order in the walk and in the file.
        std::size_t light = 0;
        for (std::size_t i = 0; i < evaluator.Model().nodes.size(); ++i) {
            if (!evaluator.Model().nodes[i].extensions.count("KHR_lights_punctual")) {
                continue;
            }
            if (light >= scene.lights.size()) {
                ADD_FAILURE() << example << ": more lights exported than played";
                break;
            }
            auto const& l = scene.lights[light++];
            worst.matrix = std::max(
                worst.matrix,
                Farthest(world[i], 3, CVector3D(l.location.x, l.location.y, l.location.z)));
            if (!l.point) {
                worst.matrix = std::max(worst.matrix, Farthest(world[i], 2, l.direction, -1));
            }
        }
        // The camera: glTF's looks down its -z with y up.
        auto const* camera =
            view ? refhost::scene::As<refhost::scene::Camera>(view->camera) : nullptr;
        for (std::size_t i = 0; camera && i < evaluator.Model().nodes.size(); ++i) {
            if (evaluator.Model().nodes[i].camera < 0) {
                continue;
            }
            TQ3CameraPlacement const& p = camera->data.placement;
            CVector3D const back =
                Normalise(CPoint3D(p.cameraLocation) - CPoint3D(p.pointOfInterest));
            CVector3D const right = Normalise(CrossProduct(CVector3D(p.upVector), back));
            CVector3D const up = CrossProduct(back, right);
            worst.matrix = std::max(
                {worst.matrix, Farthest(world[i], 0, right), Farthest(world[i], 1, up),
                 Farthest(world[i], 2, back),
                 Farthest(world[i], 3,
                          CVector3D(p.cameraLocation.x, p.cameraLocation.y, p.cameraLocation.z))});
        }
        // The colours the 3D view draws with, in the same order (geometries with faces).
        std::vector<keypose_test::DrawnSurface> const drawn = keypose_test::DrawnSurfaces(document);
        std::size_t item = 0;
        for (int node : nodes) {
            tinygltf::Node const& n = evaluator.Model().nodes[static_cast<std::size_t>(node)];
            if (n.mesh < 0) {
                continue;
            }
            auto const& primitives =
                evaluator.Model().meshes[static_cast<std::size_t>(n.mesh)].primitives;
            auto triangles = std::find_if(primitives.begin(), primitives.end(), [](auto const& p) {
                return p.mode == TINYGLTF_MODE_TRIANGLES;
            });
            if (triangles == primitives.end()) {
                continue;
            }
            if (item == drawn.size()) {
                ADD_FAILURE() << example << ": fewer surfaces drawn than exported";
                break;
            }
            keypose_test::DrawnSurface const& d = drawn[item++];
            if (d.cornerColours) {
                continue; // colours of the corners: static, compared by the round trip
            }
            std::array<float, 4> expected = d.colours.front();
            if (d.textured) {
                expected = {1, 1, 1, expected[3]};
            }
            std::array<double, 4> const colour = evaluator.BaseColour(triangles->material, seconds);
            for (std::size_t c = 0; c < 4; ++c) {
                worst.colour = std::max(worst.colour, std::fabs(colour[c] - expected[c]));
            }
        }
    }
    return worst;
}

TEST_F(GltfExportTest, EveryExampleExportsCleanAndPlaysAsThePlugInPlaysIt) {
    for (fs::path const& example : Examples()) {
        std::string const name = example.stem().string();
        fs::path const file = Folder() / (name + ".glb");
        refhost::gltf::ExportSummary summary;
        double ms = 0;
        {
            refhost::HostSession session(KEYPOSE_MODULE_PATH);
            session.Open(example.string());
            auto const begun = std::chrono::steady_clock::now();
            summary = refhost::gltf::ExportGltf(session, file.string());
            ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begun)
                     .count();
        }
        refhost::HostState::Instance().Reset();
        std::string const report = Validate(file);
        EXPECT_EQ(Count(report, "errors"), 0) << name << ": " << report;
        EXPECT_EQ(Count(report, "warnings"), 0) << name << ": " << report;
        Differences const worst = Compare(example, file, summary.sampled);
        refhost::HostState::Instance().Reset();
        EXPECT_LE(worst.matrix, 1e-4) << name;
        EXPECT_LE(worst.colour, 1e-4) << name;
        std::printf("%-20s validator: %d errors, %d warnings, %d infos, %d hints; largest "
                    "difference: matrix %.3g, colour %.3g; %zu bytes in %.1f ms\n",
                    name.c_str(), Count(report, "errors"), Count(report, "warnings"),
                    Count(report, "infos"), Count(report, "hints"), worst.matrix, worst.colour,
                    summary.bytes, ms);
    }
}

} // namespace

namespace {

// A group turned, scaled and moved about a centre away from its origin (the painted crate's
// floor, whose box lies below its origin), recorded through the palette: the exported pivot
// child carries it, and the evaluator plays the blend as the plug-in does at 100 times.
TEST_F(GltfExportTest, AnObjectTurnedAboutACentreAwayFromItsOriginPlaysTheSame) {
    fs::path const script = Folder() / "pivot.ks";
    fs::path const document = Folder() / "pivot.json";
    std::ofstream(script) << "open " << KEYPOSE_EXAMPLES_DIR << "/painted_crate.json\n"
                          << "select Floor\ntime 0\npress Object\ntime 2\nmove 1 2 0\n"
                          << "turn y 150\nturn x 40\nscale 0.5 1.5 2\npress Object\n"
                          << "time 3\nturn z 100\npress Object\nrange 0 3\ntime 0\n"
                          << "save " << document.string() << "\n";
    std::ostringstream out;
    {
        refhost::HostSession session(KEYPOSE_MODULE_PATH);
        refhost::RunScriptFile(session, script, out);
    }
    refhost::HostState::Instance().Reset();
    fs::path const file = Folder() / "pivot.glb";
    {
        refhost::HostSession session(KEYPOSE_MODULE_PATH);
        session.Open(document.string());
        refhost::gltf::ExportGltf(session, file.string());
    }
    refhost::HostState::Instance().Reset();
    GltfEvaluator const evaluator(file.string());
    auto const& nodes = evaluator.Model().nodes;
    auto pivot = std::find_if(nodes.begin(), nodes.end(),
                              [](auto const& n) { return n.name == "Floor_pivot"; });
    ASSERT_NE(pivot, nodes.end());
    EXPECT_NEAR(pivot->translation[1], 0.55, 1e-6) << "the box's centre is 0.55 below";
    Differences const worst = Compare(document, file, false);
    EXPECT_LE(worst.matrix, 1e-4);
    EXPECT_LE(worst.colour, 1e-4);
    std::printf("turned about its centre: largest difference: matrix %.3g\n", worst.matrix);
}

} // namespace

namespace {

// The floor recorded at 0, 1 and 2 s with the interval from 0 held or eased, then exported.
struct EasedExport {
    fs::path document, file;
    refhost::gltf::ExportSummary summary;
};

EasedExport ExportWithEases(std::string const& first, std::string const& second) {
    EasedExport out{Folder() / ("eased_" + first + "_" + second + ".json"),
                    Folder() / ("eased_" + first + "_" + second + ".glb"),
                    {}};
    fs::path const script = Folder() / "eased.ks";
    std::ofstream(script) << "open " << KEYPOSE_EXAMPLES_DIR << "/painted_crate.json\n"
                          << "select Floor\ntime 0\npress Object\ntime 1\nmove 1 0 0\n"
                          << "turn y 60\npress Object\ntime 2\nmove 0 1 0\nscale 1.5\n"
                          << "press Object\nrange 0 2\n"
                          << "click 0 0\nease " << first << "\nclick 0 1\nease " << second
                          << "\ntime 0\nsave " << out.document.string() << "\n";
    std::ostringstream said;
    {
        refhost::HostSession session(KEYPOSE_MODULE_PATH);
        refhost::RunScriptFile(session, script, said);
    }
    refhost::HostState::Instance().Reset();
    {
        refhost::HostSession session(KEYPOSE_MODULE_PATH);
        session.Open(out.document.string());
        out.summary = refhost::gltf::ExportGltf(session, out.file.string());
    }
    refhost::HostState::Instance().Reset();
    return out;
}

std::vector<std::string> Interpolations(fs::path const& file) {
    std::vector<std::string> found;
    GltfEvaluator const evaluator(file.string());
    for (auto const& sampler : evaluator.Model().animations.at(0).samplers) {
        found.push_back(sampler.interpolation);
    }
    return found;
}

// Holds are STEP keys when every interval holds; among blended intervals a hold is a key one
// time unit before the later point, and an eased interval is sampled at the frames within it.
TEST_F(GltfExportTest, HoldsAndEasesPlayAsThePlugInPlaysThem) {
    EasedExport const held = ExportWithEases("hold", "hold");
    for (std::string const& interpolation : Interpolations(held.file)) {
        EXPECT_EQ(interpolation, "STEP");
    }
    EXPECT_FALSE(held.summary.sampled);
    Differences const heldWorst = Compare(held.document, held.file, false);
    EXPECT_LE(heldWorst.matrix, 1e-4);
    EXPECT_LE(heldWorst.colour, 1e-4);

    EasedExport const mixed = ExportWithEases("hold", "inout");
    EXPECT_TRUE(mixed.summary.sampled) << "the eased interval is sampled";
    std::vector<std::string> const kinds = Interpolations(mixed.file);
    EXPECT_TRUE(
        std::all_of(kinds.begin(), kinds.end(), [](auto const& k) { return k == "LINEAR"; }));
    Differences const mixedWorst = Compare(mixed.document, mixed.file, true);
    EXPECT_LE(mixedWorst.matrix, 1e-4);
    EXPECT_LE(mixedWorst.colour, 1e-4);
    std::printf("held: largest difference %.3g; held then eased: %.3g\n", heldWorst.matrix,
                mixedWorst.matrix);
}

} // namespace

namespace {

// The view's camera at a time, as the plug-in plays it.
refhost::scene::Camera const& PlayedCamera(refhost::HostSession& session, int32_t t) {
    PL_SetCurTime(t);
    session.Loop().Frame(0);
    auto* view = refhost::scene::As<refhost::scene::View>(session.Front().CurrentView());
    return *refhost::scene::As<refhost::scene::Camera>(view->camera);
}

// A camera that zooms as well as moves: its field of view is recorded at 0.9 at 0 s and 0.4
// at 2 s, and the export samples the lens with the placement through animation pointers.
TEST_F(GltfExportTest, ACameraThatZoomsIsSampledLensAndAll) {
    fs::path const document = Folder() / "zoom.json";
    {
        refhost::HostSession session(KEYPOSE_MODULE_PATH);
        session.Open(std::string(KEYPOSE_EXAMPLES_DIR) + "/textured_box.json");
        std::ostringstream said;
        refhost::ScriptRunner runner(session, Folder(), said, "zoom.ks");
        auto camera = [&] {
            auto* view = refhost::scene::As<refhost::scene::View>(session.Front().CurrentView());
            return refhost::scene::As<refhost::scene::Camera>(view->camera);
        };
        runner.Run(refhost::ParseScript("time 0", "zoom.ks"));
        camera()->fieldOfView = 0.9f;
        runner.Run(refhost::ParseScript("press Camera\ntime 2\ncamera 4 3 1 0 0 0", "zoom.ks"));
        camera()->fieldOfView = 0.4f;
        runner.Run(refhost::ParseScript(
            "press Camera\nrange 0 2\ntime 0\nsave " + document.string(), "zoom.ks"));
    }
    refhost::HostState::Instance().Reset();
    fs::path const file = Folder() / "zoom.glb";
    {
        refhost::HostSession session(KEYPOSE_MODULE_PATH);
        session.Open(document.string());
        refhost::gltf::ExportGltf(session, file.string());
    }
    refhost::HostState::Instance().Reset();
    std::string const report = Validate(file);
    EXPECT_EQ(Count(report, "errors"), 0) << report;
    EXPECT_EQ(Count(report, "warnings"), 0) << report;

    GltfEvaluator const evaluator(file.string());
    refhost::HostSession session(KEYPOSE_MODULE_PATH);
    refhost::ClockSettings const clock = session.Open(document.string()).clock;
    double largest = 0;
    std::vector<double> seen;
    for (int frame = 0; frame <= 60; frame += 5) {
        int32_t const t = static_cast<int32_t>(std::lround(frame * clock.unitsPerSecond / 30.0));
        refhost::scene::Camera const& played = PlayedCamera(session, t);
        // The view angle of the wider side; glTF's is the vertical one.
        double const yfov =
            played.aspectRatio >= 1
                ? played.fieldOfView
                : 2 * std::atan(std::tan(played.fieldOfView / 2) / played.aspectRatio);
        std::optional<std::vector<double>> const exported =
            evaluator.Pointer("/cameras/0/perspective/yfov", frame / 30.0);
        ASSERT_TRUE(exported) << "the field of view is not animated";
        largest = std::max(largest, std::fabs(exported->at(0) - yfov));
        seen.push_back(yfov);
    }
    EXPECT_LE(largest, 1e-4);
    EXPECT_NEAR(seen.front(), 0.9, 1e-4);
    EXPECT_NEAR(seen.back(), 0.4, 1e-4) << "the camera zooms in as it plays";
    std::printf("zooming camera: largest difference of the field of view %.3g\n", largest);
}

} // namespace
