// glTF import: every example exported and imported again plays as it did; a model made here
// with several meshes, a hierarchy, a texture and a LINEAR animation imports, plays and
// draws; malformed files are refused with the file, the place and the reason.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <tiny_gltf.h>

#include "host/framework.h"
#include "refhost/document/document_file.h"
#include "refhost/framework/host_state.h"
#include "refhost/gltf/animation_pointers.h"
#include "refhost/gltf/gltf_error.h"
#include "refhost/gltf/gltf_export.h"
#include "refhost/gltf/gltf_import.h"
#include "refhost/gltf/model_writer.h"
#include "refhost/gltf/png_codec.h"
#include "refhost/scene/walk.h"
#include "refhost/session/host_session.h"
#include "refhost/view3d/camera_projection.h"
#include "refhost/view3d/gl_context.h"
#include "refhost/view3d/scene_gather.h"
#include "refhost/view3d/scene_renderer.h"
#include "tests/refhost/gltf/compare_times.h"
#include "tests/refhost/gltf/drawn_surfaces.h"
#include "tests/refhost/gltf/gltf_evaluator.h"
#include "tests/support/golden_image.h"
#include "tests/support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using refhost::gltf::GltfError;

fs::path Folder() {
    fs::path const folder = keypose_test::ScratchFolder("keypose_gltf_import");
    fs::create_directories(folder);
    return folder;
}

class GltfImportTest : public ::testing::Test {
protected:
    void TearDown() override { refhost::HostState::Instance().Reset(); }
};

// What the 3D view draws now, all surfaces together (a texture's place shows as -1 and
// corner colours are kept), where the camera puts the world on the image, and the lights.
struct Drawn {
    std::vector<std::array<float, 3>> corners;
    std::vector<std::array<float, 4>> colours;
    refhost::view3d::GlMatrix camera{};
    std::vector<refhost::view3d::DrawLight> lights;
    TQ3ColorRGB ambient{};
};

Drawn DrawnNow(refhost::Document const& document) {
    Drawn drawn;
    auto* view = refhost::scene::As<refhost::scene::View>(document.CurrentView());
    auto const* camera = refhost::scene::As<refhost::scene::Camera>(view->camera);
    refhost::view3d::CameraMatrices const m = refhost::view3d::MatricesOf(*camera);
    drawn.camera = refhost::view3d::Multiply(m.projection, m.view);
    refhost::view3d::ShapeLibrary shapes;
    refhost::view3d::DrawList const list = refhost::view3d::GatherScene(
        shapes, document.SelectedGroup(), document.OtherGroup(), view->lights);
    drawn.lights = list.lights;
    drawn.ambient = list.ambient;
    for (keypose_test::DrawnSurface const& s : keypose_test::DrawnSurfaces(document)) {
        drawn.corners.insert(drawn.corners.end(), s.corners.begin(), s.corners.end());
        for (auto const& c : s.colours) {
            drawn.colours.push_back(s.textured ? std::array<float, 4>{-1, -1, -1, -1} : c);
        }
    }
    return drawn;
}

// The document played frame by frame at fps from the first time to the last, drawn at each
// of the times (seconds, rising). Light effects change a light by the time since the last
// frame, so both plays step alike.
std::vector<Drawn> Played(std::string const& path, std::vector<double> const& times, double fps) {
    std::vector<Drawn> frames;
    refhost::HostSession session(KEYPOSE_MODULE_PATH);
    refhost::Document& document = session.Open(path);
    auto units = [&](double seconds) {
        return static_cast<int32_t>(std::lround(seconds * document.clock.unitsPerSecond));
    };
    int32_t now = units(times.front());
    for (double t : times) {
        for (; now < units(t); now += units(1 / fps)) {
            PL_SetCurTime(now);
            session.Loop().Frame(0);
        }
        now = units(t);
        PL_SetCurTime(now);
        session.Loop().Frame(0);
        frames.push_back(DrawnNow(document));
    }
    return frames;
}

std::string Import(fs::path const& model, fs::path const& out,
                   std::vector<std::string>* warnings = nullptr) {
    std::vector<std::string> said;
    std::unique_ptr<refhost::Document> document =
        refhost::gltf::ImportGltf(model.string(), warnings ? *warnings : said);
    refhost::SaveDocument(*document, out.string());
    return out.string();
}

double Farthest(std::initializer_list<float> a, std::initializer_list<float> b) {
    double worst = 0;
    for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j) {
        worst = std::max<double>(worst, std::fabs(*i - *j));
    }
    return worst;
}

double LightDifference(refhost::view3d::DrawLight const& a, refhost::view3d::DrawLight const& b) {
    if (a.kind != b.kind || a.attenuation != b.attenuation || a.fallOff != b.fallOff) {
        return 1e9;
    }
    bool const point = a.kind == refhost::view3d::LightKind::kPoint;
    bool const spot = a.kind == refhost::view3d::LightKind::kSpot;
    bool const directional = a.kind == refhost::view3d::LightKind::kDirectional;
    return std::max(
        {Farthest({a.colour.r, a.colour.g, a.colour.b}, {b.colour.r, b.colour.g, b.colour.b}),
         directional ? 0
                     : Farthest({a.location.x, a.location.y, a.location.z},
                                {b.location.x, b.location.y, b.location.z}),
         point ? 0
               : Farthest({a.direction.x, a.direction.y, a.direction.z},
                          {b.direction.x, b.direction.y, b.direction.z}),
         spot ? Farthest({a.hotAngle, a.outerAngle}, {b.hotAngle, b.outerAngle}) : 0});
}

// The largest difference between two plays of the camera and the lights; the lights are
// paired each with the closest one of the same kind (an import may hold them in another
// order).
double ViewDifference(Drawn const& before, Drawn const& after) {
    double worst = Farthest({before.ambient.r, before.ambient.g, before.ambient.b},
                            {after.ambient.r, after.ambient.g, after.ambient.b});
    for (std::size_t i = 0; i < 16; ++i) {
        worst = std::max<double>(worst, std::fabs(before.camera[i] - after.camera[i]));
    }
    if (before.lights.size() != after.lights.size()) {
        return 1e9;
    }
    std::vector<bool> taken(after.lights.size(), false);
    for (auto const& light : before.lights) {
        std::size_t best = after.lights.size();
        double closest = 1e9;
        for (std::size_t j = 0; j < after.lights.size(); ++j) {
            double const d = LightDifference(light, after.lights[j]);
            if (!taken[j] && d < closest) {
                closest = d;
                best = j;
            }
        }
        if (best < taken.size()) {
            taken[best] = true;
        }
        worst = std::max(worst, closest);
    }
    return worst;
}

TEST_F(GltfImportTest, EveryExampleExportedAndImportedPlaysAsBefore) {
    for (auto const& entry : fs::directory_iterator(KEYPOSE_EXAMPLES_DIR)) {
        fs::path const example = entry.path();
        if (example.extension() != ".json") {
            continue;
        }
        std::string const name = example.stem().string();
        fs::path const glb = Folder() / (name + ".glb");
        std::vector<double> times; // in seconds
        {
            refhost::HostSession session(KEYPOSE_MODULE_PATH);
            refhost::Document& document = session.Open(example.string());
            ASSERT_EQ(document.clock.minimum, 0) << name;
            bool const sampled = refhost::gltf::ExportGltf(session, glb.string()).sampled;
            for (int32_t t : keypose_test::CompareTimes(document.clock, sampled, 30)) {
                times.push_back(double(t) / document.clock.unitsPerSecond);
            }
        }
        refhost::HostState::Instance().Reset();
        std::string const imported = Import(glb, Folder() / (name + ".json"));
        refhost::HostState::Instance().Reset();
        std::vector<Drawn> const before = Played(example.string(), times, 30);
        refhost::HostState::Instance().Reset();
        std::vector<Drawn> const after = Played(imported, times, 30);
        refhost::HostState::Instance().Reset();
        double worst = 0;
        for (std::size_t f = 0; f < times.size(); ++f) {
            worst = std::max(worst, ViewDifference(before[f], after[f]));
            ASSERT_EQ(before[f].corners.size(), after[f].corners.size()) << name;
            for (std::size_t v = 0; v < before[f].corners.size(); ++v) {
                for (std::size_t c = 0; c < 3; ++c) {
                    worst = std::max<double>(
                        worst, std::fabs(before[f].corners[v][c] - after[f].corners[v][c]));
                }
                auto const& a = before[f].colours[v];
                auto const& b = after[f].colours[v];
                if (a[0] >= 0 && b[0] >= 0) {
                    for (std::size_t c = 0; c < 4; ++c) {
                        worst = std::max<double>(worst, std::fabs(a[c] - b[c]));
                    }
                }
            }
        }
        EXPECT_LE(worst, 1e-4) << name;
        std::printf("%-20s round trip: largest difference %.3g\n", name.c_str(), worst);
    }
}

// A model made with tinygltf: a textured cube (indexed) and, as its child, a pyramid (not
// indexed, two primitives), the cube turning and moving with LINEAR keys.
fs::path MadeModel() {
    tinygltf::Model model;
    model.asset.version = "2.0";
    model.buffers.emplace_back();
    auto& bytes = model.buffers[0].data;
    auto view = [&](void const* data, std::size_t size) {
        while (bytes.size() % 4) {
            bytes.push_back(0);
        }
        tinygltf::BufferView v;
        v.buffer = 0;
        v.byteOffset = bytes.size();
        v.byteLength = size;
        auto const* p = static_cast<unsigned char const*>(data);
        bytes.insert(bytes.end(), p, p + size);
        model.bufferViews.push_back(v);
        return static_cast<int>(model.bufferViews.size() - 1);
    };
    auto floats = [&](std::vector<float> const& values, int type, bool bounds) {
        tinygltf::Accessor a;
        a.bufferView = view(values.data(), values.size() * 4);
        a.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
        a.type = type;
        std::size_t const n =
            static_cast<std::size_t>(tinygltf::GetNumComponentsInType(static_cast<uint32_t>(type)));
        a.count = values.size() / n;
        if (bounds) {
            a.minValues.assign(n, 1e9);
            a.maxValues.assign(n, -1e9);
            for (std::size_t i = 0; i < values.size(); ++i) {
                a.minValues[i % n] = std::min<double>(a.minValues[i % n], values[i]);
                a.maxValues[i % n] = std::max<double>(a.maxValues[i % n], values[i]);
            }
        }
        model.accessors.push_back(a);
        return static_cast<int>(model.accessors.size() - 1);
    };
    // The cube: 24 corners (4 a face) with texture coordinates, 36 indices.
    std::vector<float> positions, uvs;
    std::vector<uint16_t> indices;
    for (int axis = 0; axis < 3; ++axis) {
        for (float side : {-1.0f, 1.0f}) {
            uint16_t const first = static_cast<uint16_t>(positions.size() / 3);
            int const u = (axis + 1) % 3, v = (axis + 2) % 3;
            for (auto [a, b] :
                 {std::pair{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}}) {
                float p[3];
                p[axis] = 0.5f * side;
                p[u] = 0.5f * a * side;
                p[v] = 0.5f * b;
                positions.insert(positions.end(), {p[0], p[1], p[2]});
                uvs.insert(uvs.end(), {(a + 1) / 2.0f, (1 - b) / 2.0f});
            }
            for (int k : {0, 1, 2, 0, 2, 3}) {
                indices.push_back(static_cast<uint16_t>(first + k));
            }
        }
    }
    tinygltf::Accessor index;
    index.bufferView = view(indices.data(), indices.size() * 2);
    index.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT;
    index.type = TINYGLTF_TYPE_SCALAR;
    index.count = indices.size();
    model.accessors.push_back(index);
    int const indexAccessor = static_cast<int>(model.accessors.size() - 1);
    // A 4 x 4 checked texture of red and yellow.
    std::vector<uint8_t> pixels;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            bool const red = (x + y) % 2 == 0;
            pixels.insert(pixels.end(), {255, static_cast<uint8_t>(red ? 40 : 220), 40, 255});
        }
    }
    tinygltf::Image image;
    image.mimeType = "image/png";
    std::vector<uint8_t> const png = refhost::gltf::EncodePng(4, 4, pixels);
    image.bufferView = view(png.data(), png.size());
    model.images.push_back(image);
    tinygltf::Texture texture;
    texture.source = 0;
    model.textures.push_back(texture);
    tinygltf::Material textured, blue, green;
    textured.pbrMetallicRoughness.baseColorTexture.index = 0;
    blue.pbrMetallicRoughness.baseColorFactor = {0.2, 0.3, 0.9, 1};
    green.pbrMetallicRoughness.baseColorFactor = {0.2, 0.8, 0.3, 1};
    model.materials = {textured, blue, green};
    tinygltf::Mesh cube;
    tinygltf::Primitive faces;
    faces.attributes["POSITION"] = floats(positions, TINYGLTF_TYPE_VEC3, true);
    faces.attributes["TEXCOORD_0"] = floats(uvs, TINYGLTF_TYPE_VEC2, false);
    faces.indices = indexAccessor;
    faces.material = 0;
    faces.mode = TINYGLTF_MODE_TRIANGLES;
    cube.primitives.push_back(faces);
    model.meshes.push_back(cube);
    // The pyramid: its four sides blue, its base green, not indexed.
    std::vector<float> const apex = {0, 0.6f, 0}, a = {-0.4f, 0, -0.4f}, b = {0.4f, 0, -0.4f},
                             c = {0.4f, 0, 0.4f}, d = {-0.4f, 0, 0.4f};
    auto join = [](std::initializer_list<std::vector<float>> points) {
        std::vector<float> out;
        for (auto const& p : points) {
            out.insert(out.end(), p.begin(), p.end());
        }
        return out;
    };
    tinygltf::Mesh pyramid;
    tinygltf::Primitive sides, base;
    sides.attributes["POSITION"] =
        floats(join({a, apex, b, b, apex, c, c, apex, d, d, apex, a}), TINYGLTF_TYPE_VEC3, true);
    sides.material = 1;
    sides.mode = TINYGLTF_MODE_TRIANGLES;
    base.attributes["POSITION"] = floats(join({a, b, c, a, c, d}), TINYGLTF_TYPE_VEC3, true);
    base.material = 2;
    base.mode = TINYGLTF_MODE_TRIANGLES;
    pyramid.primitives = {sides, base};
    model.meshes.push_back(pyramid);
    tinygltf::Node parent, child, camera;
    parent.name = "Cube";
    parent.mesh = 0;
    parent.children = {1};
    child.name = "Pyramid";
    child.mesh = 1;
    child.translation = {0, 0.5, 0};
    camera.name = "Eye";
    camera.camera = 0;
    camera.translation = {0, 1.5, 5};
    camera.rotation = {-0.1478, 0, 0, 0.989}; // looking a little down
    model.nodes = {parent, child, camera};
    tinygltf::Camera eye;
    eye.type = "perspective";
    eye.perspective.yfov = 0.7;
    eye.perspective.aspectRatio = 4.0 / 3.0;
    eye.perspective.znear = 0.1;
    eye.perspective.zfar = 100;
    model.cameras.push_back(eye);
    tinygltf::Scene scene;
    scene.nodes = {0, 2};
    model.scenes.push_back(scene);
    model.defaultScene = 0;
    // One second: the cube moves 1 along x and turns a quarter about y.
    tinygltf::Animation animation;
    tinygltf::AnimationSampler move, turn;
    int const times = floats({0, 1}, TINYGLTF_TYPE_SCALAR, true);
    move.input = times;
    move.output = floats({-0.5f, 0, 0, 0.5f, 0, 0}, TINYGLTF_TYPE_VEC3, false);
    move.interpolation = "LINEAR";
    turn.input = times;
    turn.output = floats({0, 0, 0, 1, 0, 0.7071068f, 0, 0.7071068f}, TINYGLTF_TYPE_VEC4, false);
    turn.interpolation = "LINEAR";
    animation.samplers = {move, turn};
    tinygltf::AnimationChannel moving, turning;
    moving.sampler = 0;
    moving.target_node = 0;
    moving.target_path = "translation";
    turning.sampler = 1;
    turning.target_node = 0;
    turning.target_path = "rotation";
    animation.channels = {moving, turning};
    model.animations.push_back(animation);
    fs::path const path = Folder() / "made.glb";
    tinygltf::TinyGLTF writer;
    std::ofstream file(path, std::ios::binary);
    writer.WriteGltfSceneToStream(&model, file, false, true);
    return path;
}

TEST_F(GltfImportTest, AModelWithMeshesAHierarchyATextureAndAnAnimationPlaysAndDraws) {
    fs::path const model = MadeModel();
    std::string const document = Import(model, Folder() / "made.json");
    keypose_test::GltfEvaluator const evaluator(model.string());
    auto context = refhost::view3d::GlContext::Headless();
    refhost::view3d::SceneRenderer renderer;
    refhost::HostSession session(KEYPOSE_MODULE_PATH);
    refhost::Document& opened = session.Open(document);
    EXPECT_EQ(opened.clock.maximum, 600);
    for (double t : {0.0, 0.5, 1.0}) {
        session.SetTime(t);
        // The pyramid's apex where the glTF model puts it.
        keypose_test::Mat4 const world = evaluator.WorldMatrices(t)[1];
        auto const apex = [&](int row) {
            return world[static_cast<std::size_t>(4 + row)] * 0.6 +
                   world[static_cast<std::size_t>(12 + row)];
        };
        Drawn const drawn = DrawnNow(opened);
        ASSERT_EQ(drawn.corners.size(), 36u + 18u);
        auto const& played = drawn.corners[36 + 1]; // the first side's apex
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(played[static_cast<std::size_t>(k)], apex(k), 1e-5) << "at " << t;
        }
        refhost::Bitmap const image = renderer.Render(nullptr, 320, 240);
        EXPECT_TRUE(keypose_test::MatchesGoldenIn(
            std::string(KEYPOSE_SOURCE_DIR) + "/tests/refhost/gltf/golden", image,
            "made_model_" + std::to_string(static_cast<int>(t * 10))));
    }
}

// A ball of radius 2 of few faces (8 around, 6 from pole to pole) with the normals of the
// sphere it stands for, in a colour of its own.
fs::path BallModel() {
    refhost::gltf::ModelWriter writer;
    std::vector<float> positions, normals;
    std::vector<uint32_t> indices;
    uint32_t const around = 8, down = 6;
    for (uint32_t i = 0; i <= down; ++i) {
        for (uint32_t j = 0; j <= around; ++j) {
            double const theta = M_PI * i / down, phi = 2 * M_PI * j / around;
            double const ring = i == 0 || i == down ? 0 : std::sin(theta); // poles exact
            float const n[3] = {static_cast<float>(ring * std::cos(phi)),
                                static_cast<float>(std::cos(theta)),
                                static_cast<float>(-ring * std::sin(phi))};
            positions.insert(positions.end(), {2 * n[0], 2 * n[1], 2 * n[2]});
            normals.insert(normals.end(), {n[0], n[1], n[2]});
        }
    }
    for (uint32_t i = 0; i < down; ++i) {
        for (uint32_t j = 0; j < around; ++j) {
            uint32_t const a = i * (around + 1) + j, c = a + around + 1;
            indices.insert(indices.end(), {a, c, c + 1, a, c + 1, a + 1});
        }
    }
    tinygltf::Model& model = writer.Model();
    tinygltf::Material clay;
    clay.pbrMetallicRoughness.baseColorFactor = {0.85, 0.55, 0.35, 1};
    model.materials.push_back(clay);
    tinygltf::Primitive ball;
    ball.attributes["POSITION"] = writer.AddFloats(positions, 3, true);
    ball.attributes["NORMAL"] = writer.AddFloats(normals, 3, false);
    ball.indices = writer.AddIndices(indices);
    ball.material = 0;
    ball.mode = TINYGLTF_MODE_TRIANGLES;
    model.meshes.emplace_back().primitives.push_back(ball);
    tinygltf::Node node;
    node.name = "Ball";
    node.mesh = 0;
    model.nodes.push_back(node);
    model.scenes.emplace_back().nodes = {0};
    model.defaultScene = 0;
    fs::path const path = Folder() / "ball.glb";
    refhost::gltf::WriteModel(model, path.string());
    return path;
}

// The triangle meshes of a document.
std::vector<refhost::scene::TriMesh*> Meshes(refhost::Document const& document) {
    struct Collect : refhost::scene::WalkVisitor {
        std::vector<refhost::scene::TriMesh*> found;
        bool VisitGeometry(refhost::scene::Geometry& g, CMatrix4x4 const&) override {
            if (auto* mesh = refhost::scene::As<refhost::scene::TriMesh>(&g)) {
                found.push_back(mesh);
            }
            return true;
        }
    } collect;
    for (OpaqueTQ3Object* root : {document.SelectedGroup(), document.OtherGroup()}) {
        refhost::scene::Walk(root, CMatrix4x4(1.0), true, collect);
    }
    return collect.found;
}

TEST_F(GltfImportTest, AMeshKeepsItsNormalsDrawsSmoothAndExportsThem) {
    fs::path const model = BallModel();
    std::string const document = Import(model, Folder() / "ball.json");
    auto context = refhost::view3d::GlContext::Headless();
    refhost::view3d::SceneRenderer renderer;
    refhost::HostSession session(KEYPOSE_MODULE_PATH);
    refhost::Document& opened = session.Open(document);
    std::vector<refhost::scene::TriMesh*> const meshes = Meshes(opened);
    ASSERT_EQ(meshes.size(), 1u);
    refhost::scene::TriMesh& ball = *meshes[0];
    ASSERT_EQ(ball.normals.size(), 63u);
    for (std::size_t i = 0; i < ball.points.size(); ++i) {
        TQ3Vector3D const n = ball.normals[i];
        TQ3Point3D const p = ball.points[i];
        ASSERT_TRUE(n.x == p.x / 2 && n.y == p.y / 2 && n.z == p.z / 2) << i;
    }

    // Smooth: the golden picture, and far from the same ball shaded by its faces.
    refhost::Bitmap const smooth = renderer.Render(nullptr, 240, 180);
    EXPECT_TRUE(keypose_test::MatchesGoldenIn(
        std::string(KEYPOSE_SOURCE_DIR) + "/tests/refhost/gltf/golden", smooth, "smooth_ball"));
    std::vector<TQ3Vector3D> const kept = std::exchange(ball.normals, {});
    refhost::Bitmap const flat = renderer.Render(nullptr, 240, 180);
    ball.normals = kept;
    int differing = 0;
    for (int y = 0; y < smooth.height(); ++y) {
        for (int x = 0; x < smooth.width(); ++x) {
            differing += std::abs(smooth.at(x, y).red - flat.at(x, y).red) > 12;
        }
    }
    EXPECT_GT(differing, 1000) << "pixels whose red differs by more than 12";
    std::printf("smooth and flat shading differ at %d of %d pixels\n", differing, 240 * 180);

    // Exported, every corner carries its point's normal (the point over the radius).
    fs::path const exported = Folder() / "ball_again.glb";
    refhost::gltf::ExportGltf(session, exported.string());
    keypose_test::GltfEvaluator const reader(exported.string());
    std::size_t corners = 0;
    for (tinygltf::Mesh const& mesh : reader.Model().meshes) {
        for (tinygltf::Primitive const& primitive : mesh.primitives) {
            std::vector<float> const p = reader.Floats(primitive.attributes.at("POSITION"));
            std::vector<float> const n = reader.Floats(primitive.attributes.at("NORMAL"));
            ASSERT_EQ(p.size(), n.size());
            for (std::size_t i = 0; i < p.size(); ++i) {
                EXPECT_NEAR(n[i], p[i] / 2, 1e-6) << i;
            }
            corners += p.size() / 3;
        }
    }
    EXPECT_EQ(corners, 80u * 3) << "the 16 triangles at the poles have no area";
}

// The message of the error a file gets.
std::string Refusal(std::string const& name, std::vector<uint8_t> const& bytes) {
    std::vector<std::string> warnings;
    try {
        refhost::gltf::ImportGltfBytes(bytes, name, warnings);
    } catch (GltfError const& e) {
        return e.what();
    }
    return "accepted";
}

std::vector<uint8_t> Bytes(std::string const& text) {
    return {text.begin(), text.end()};
}

TEST_F(GltfImportTest, MalformedFilesAreRefusedWithTheFileThePlaceAndTheReason) {
    std::string const asset = R"("asset":{"version":"2.0"})";
    EXPECT_EQ(Refusal("a.gltf", Bytes("{" + asset + ", \"nodes\": [}")).rfind("a.gltf: byte ", 0),
              0u);
    EXPECT_EQ(Refusal("a.gltf", Bytes(R"({"asset":{"version":"1.0"}})")),
              "a.gltf: /asset/version: not a glTF 2.0 file");
    // A node that holds itself.
    EXPECT_EQ(Refusal("a.gltf", Bytes("{" + asset +
                                      R"(,"scenes":[{"nodes":[0]}],"nodes":[{"children":[0]}]})")),
              "a.gltf: /nodes/0/children/0: node 0 is its own ancestor");
    // An accessor past its buffer view's end.
    std::string const data = "data:application/octet-stream;base64,AAAAAAAAAAAAAAAA"; // 12 bytes
    std::string const mesh =
        "{" + asset + R"(,"buffers":[{"byteLength":12,"uri":")" + data +
        R"("}],"bufferViews":[{"buffer":0,"byteLength":12}],"accessors":[{"bufferView":0,)"
        R"("componentType":5126,"count":2,"type":"VEC3","min":[0,0,0],"max":[0,0,0]}],)"
        R"("meshes":[{"primitives":[{"attributes":{"POSITION":0}}]}],"nodes":[{"mesh":0}],)"
        R"("scenes":[{"nodes":[0]}]})";
    EXPECT_EQ(Refusal("m.gltf", Bytes(mesh)),
              "m.gltf: /accessors/0: runs past the end of its buffer view");
    // A triangle whose material is not there: refused once its shape is made, which the
    // refusal gives back (the sanitizer build checks that nothing is left).
    std::string const data36 =
        "data:application/octet-stream;base64,AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAA";
    std::string const triangle =
        "{" + asset + R"(,"buffers":[{"byteLength":36,"uri":")" + data36 +
        R"("}],"bufferViews":[{"buffer":0,"byteLength":36}],"accessors":[{"bufferView":0,)"
        R"("componentType":5126,"count":3,"type":"VEC3","min":[0,0,0],"max":[1,1,0]}],)"
        R"("meshes":[{"primitives":[{"attributes":{"POSITION":0},"material":7}]}],)"
        R"("nodes":[{"mesh":0}],"scenes":[{"nodes":[0]}]})";
    EXPECT_NE(Refusal("t.gltf", Bytes(triangle)).find("t.gltf: "), std::string::npos);
    EXPECT_NE(Refusal("t.gltf", Bytes(triangle)).find("materials"), std::string::npos)
        << Refusal("t.gltf", Bytes(triangle));
    // Normals of two numbers each, and too few normals.
    auto normals = [&](std::string const& accessor) {
        std::string text = triangle;
        std::string const attributes = R"("POSITION":0},"material":7)";
        text.replace(text.find(attributes), attributes.size(), R"("POSITION":0,"NORMAL":1})");
        text.replace(text.find(R"(}],"meshes")"), 2,
                     R"(},{"bufferView":0,"componentType":5126,)" + accessor + "}]");
        return Refusal("n.gltf", Bytes(text));
    };
    EXPECT_EQ(normals(R"("count":3,"type":"VEC2")"),
              "n.gltf: /accessors/1: has 2 components a value");
    EXPECT_EQ(normals(R"("count":2,"type":"VEC3")"),
              "n.gltf: /meshes/0/primitives/0/attributes/NORMAL: not one normal a position");
    // A binary file cut short, and one that is not glTF at all.
    fs::path const made = MadeModel();
    std::ifstream file(made, std::ios::binary);
    std::vector<uint8_t> glb((std::istreambuf_iterator<char>(file)),
                             std::istreambuf_iterator<char>());
    glb.resize(glb.size() / 2);
    EXPECT_NE(Refusal("cut.glb", glb).find("cut.glb: byte 8: the header's length"),
              std::string::npos)
        << Refusal("cut.glb", glb);
    EXPECT_EQ(Refusal("x.glb", Bytes("glTF\x01")),
              "x.glb: byte 0: not a binary glTF file (no glTF header)");
    EXPECT_NE(Refusal("none.gltf", Bytes("[1, 2]")).find("none.gltf: /:"), std::string::npos);
    // A number too large for a double, in a file whose animation pointers are read first.
    EXPECT_EQ(
        Refusal("big.gltf",
                Bytes("{" + asset + R"(,"extensionsUsed":["KHR_animation_pointer"],"x":9e0929})")),
        "big.gltf: not readable JSON (number overflow parsing '9e0929')");
    // An ambient light's changes with a colour short, and with times that go back.
    auto ambient = [&](std::string const& animation) {
        return Bytes("{" + asset + R"(,"scenes":[{"nodes":[],"extras":{"ambient":[0.1,0.1,0.1],)" +
                     R"("ambientAnimation":)" + animation + "}}]}");
    };
    EXPECT_EQ(Refusal("amb.gltf", ambient(R"({"times":[0,1],"colours":[0,0,0,1,1]})")),
              "amb.gltf: /scenes/0/extras/ambientAnimation/colours: expected 6 numbers");
    EXPECT_EQ(Refusal("amb.gltf", ambient(R"({"times":[1,0],"colours":[0,0,0,1,1,1]})")),
              "amb.gltf: /scenes/0/extras/ambientAnimation/times: the times must rise from 0");
}

TEST(AnimationPointers, EveryPointerTargetGetsANodeWhateverItsSpacesAndNoStringDoes) {
    using refhost::gltf::WithPointerNodes;
    EXPECT_EQ(WithPointerNodes(R"({"target":{"path":"pointer"}})"),
              R"({"target":{"node":0,"path":"pointer"}})");
    EXPECT_EQ(WithPointerNodes("{\"path\" :\n \"pointer\", \"path\":\"pointer\"}"),
              "{\"node\":0,\"path\" :\n \"pointer\", \"node\":0,\"path\":\"pointer\"}");
    // Inside a string, and as a key or another member's value, nothing changes.
    std::string const untouched =
        R"({"name":"\"path\":\"pointer\"","pointer":1,"kind":"pointer","path":"rotation"})";
    EXPECT_EQ(WithPointerNodes(untouched), untouched);
}

TEST_F(GltfImportTest, WhatTheSceneCannotHoldIsSkippedWithAWarning) {
    std::string const asset = R"("asset":{"version":"2.0"})";
    std::string const text = "{" + asset +
                             R"(,"nodes":[{"name":"Arm","skin":0}],"skins":[{"joints":[0]}],)"
                             R"("scenes":[{"nodes":[0]}]})";
    std::vector<std::string> warnings;
    std::unique_ptr<refhost::Document> document =
        refhost::gltf::ImportGltfBytes(Bytes(text), "s.gltf", warnings);
    ASSERT_TRUE(document);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0], "s.gltf: skipped the skin of node 0 'Arm'");
}

} // namespace
