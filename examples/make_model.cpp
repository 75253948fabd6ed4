// Writes the example glTF model examples/windmill.glb: a brick tower on a lawn and a rotor
// of four sails on a hub (one sail mesh placed four times), with a camera and a sun. The
// rotor is one colour: a group's tween points carry one colour for all of it. Made
// here so that the example depends on nothing downloaded.
//
//   make_model OUT.glb
#include <array>
#include <cmath>
#include <cstdio>
#include <exception>
#include <vector>

#include "refhost/gltf/model_writer.h"
#include "refhost/gltf/png_codec.h"

namespace {

using refhost::gltf::ModelWriter;

// A box of the given half sizes about the origin: 4 corners a face, with face normals and
// the whole texture on every face, and its 36 indices.
int Box(ModelWriter& writer, float x, float y, float z, float topScale, int material) {
    std::vector<float> positions, normals, uvs;
    std::vector<uint32_t> indices;
    float const h[3] = {x, y, z};
    for (int axis = 0; axis < 3; ++axis) {
        for (float side : {-1.0f, 1.0f}) {
            auto const first = static_cast<uint32_t>(positions.size() / 3);
            int const u = (axis + 1) % 3, v = (axis + 2) % 3;
            // Counter-clockwise seen from outside.
            for (auto [a, b] :
                 {std::pair{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}}) {
                float p[3];
                p[axis] = h[axis] * side;
                p[u] = h[u] * a * side;
                p[v] = h[v] * b;
                if (p[1] > 0) { // a tower narrows toward its top
                    p[0] *= topScale;
                    p[2] *= topScale;
                }
                positions.insert(positions.end(), {p[0], p[1], p[2]});
                uvs.insert(uvs.end(), {(a + 1) / 2, (1 - b) / 2});
            }
            // The face's own normal (a narrowing tower's sides lean in), across its diagonals.
            auto corner = [&](uint32_t k, int c) { return positions[(first + k) * 3 + c]; };
            float d[2][3];
            for (int c = 0; c < 3; ++c) {
                d[0][c] = corner(2, c) - corner(0, c);
                d[1][c] = corner(3, c) - corner(1, c);
            }
            float const n[3] = {d[0][1] * d[1][2] - d[0][2] * d[1][1],
                                d[0][2] * d[1][0] - d[0][0] * d[1][2],
                                d[0][0] * d[1][1] - d[0][1] * d[1][0]};
            float const length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            for (int k = 0; k < 4; ++k) {
                normals.insert(normals.end(), {n[0] / length, n[1] / length, n[2] / length});
            }
            for (uint32_t k : {0u, 1u, 2u, 0u, 2u, 3u}) {
                indices.push_back(first + k);
            }
        }
    }
    tinygltf::Model& model = writer.Model();
    tinygltf::Primitive primitive;
    primitive.attributes["POSITION"] =
        writer.AddFloats(positions, 3, true, TINYGLTF_TARGET_ARRAY_BUFFER);
    primitive.attributes["NORMAL"] =
        writer.AddFloats(normals, 3, false, TINYGLTF_TARGET_ARRAY_BUFFER);
    primitive.attributes["TEXCOORD_0"] =
        writer.AddFloats(uvs, 2, false, TINYGLTF_TARGET_ARRAY_BUFFER);
    primitive.indices = writer.AddIndices(indices);
    primitive.material = material;
    primitive.mode = TINYGLTF_MODE_TRIANGLES;
    tinygltf::Mesh mesh;
    mesh.primitives.push_back(primitive);
    model.meshes.push_back(mesh);
    return static_cast<int>(model.meshes.size() - 1);
}

int Material(tinygltf::Model& model, std::vector<double> colour, int texture = -1) {
    tinygltf::Material material;
    material.pbrMetallicRoughness.baseColorFactor = std::move(colour);
    material.pbrMetallicRoughness.baseColorTexture.index = texture;
    material.pbrMetallicRoughness.metallicFactor = 0;
    material.pbrMetallicRoughness.roughnessFactor = 0.8;
    model.materials.push_back(material);
    return static_cast<int>(model.materials.size() - 1);
}

int Node(tinygltf::Model& model, char const* name, int mesh, std::vector<double> translation,
         std::vector<int> children = {}, std::vector<double> rotation = {}) {
    tinygltf::Node node;
    node.name = name;
    node.mesh = mesh;
    node.translation = std::move(translation);
    node.rotation = std::move(rotation);
    node.children = std::move(children);
    model.nodes.push_back(node);
    return static_cast<int>(model.nodes.size() - 1);
}

// A node's matrix placing it at eye, looking at target (along its -z) with y up.
std::vector<double> LookAt(std::array<double, 3> eye, std::array<double, 3> target) {
    auto normal = [](std::array<double, 3> v) {
        double const n = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        return std::array<double, 3>{v[0] / n, v[1] / n, v[2] / n};
    };
    auto cross = [](std::array<double, 3> a, std::array<double, 3> b) {
        return std::array<double, 3>{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                                     a[0] * b[1] - a[1] * b[0]};
    };
    auto const back = normal({eye[0] - target[0], eye[1] - target[1], eye[2] - target[2]});
    auto const right = normal(cross({0, 1, 0}, back));
    auto const up = cross(back, right);
    return {right[0], right[1], right[2], 0, up[0],  up[1],  up[2],  0,
            back[0],  back[1],  back[2],  0, eye[0], eye[1], eye[2], 1};
}

// Bricks: 16 x 16 pixels, rows of red-brown bricks with light mortar between them.
std::vector<uint8_t> Bricks() {
    std::vector<uint8_t> rgba;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            bool const mortar = y % 4 == 3 || (x + (y / 4 % 2) * 4) % 8 == 7;
            uint8_t const shade = static_cast<uint8_t>((x * 7 + y * 13) % 24);
            if (mortar) {
                rgba.insert(rgba.end(), {215, 205, 190, 255});
            } else {
                rgba.insert(rgba.end(), {static_cast<uint8_t>(150 + shade), 62, 45, 255});
            }
        }
    }
    return rgba;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_model OUT.glb\n");
        return 2;
    }
    try {
        ModelWriter writer;
        tinygltf::Model& model = writer.Model();
        tinygltf::Image image;
        image.name = "bricks";
        image.mimeType = "image/png";
        image.bufferView = writer.AddBytes(refhost::gltf::EncodePng(16, 16, Bricks()));
        model.images.push_back(image);
        tinygltf::Texture texture;
        texture.source = 0;
        model.textures.push_back(texture);
        int const brick = Material(model, {1, 1, 1, 1}, 0);
        int const sail = Material(model, {0.95, 0.93, 0.85, 1});
        int const grass = Material(model, {0.3, 0.6, 0.25, 1});

        int const tower =
            Node(model, "Tower", Box(writer, 0.8f, 1.6f, 0.8f, 0.6f, brick), {0, 1.6, 0});
        int const ground = Node(model, "Lawn", Box(writer, 4, 0.05f, 4, 1, grass), {0, -0.05, 0});
        int const sailMesh = Box(writer, 0.22f, 1.2f, 0.03f, 1, sail);
        std::vector<int> rotor = {
            Node(model, "Hub", Box(writer, 0.18f, 0.18f, 0.15f, 1, sail), {0, 0, 0})};
        char const* names[4] = {"Sail 1", "Sail 2", "Sail 3", "Sail 4"};
        for (int k = 0; k < 4; ++k) {
            double const half = k * M_PI / 4; // a quarter turn each, as a quaternion's half angle
            int const pivot =
                Node(model, names[k], -1, {0, 0, 0}, {}, {0, 0, std::sin(half), std::cos(half)});
            model.nodes[static_cast<std::size_t>(pivot)].children = {
                Node(model, "Sail", sailMesh, {0, 1.3, 0})};
            rotor.push_back(pivot);
        }
        int const rotorNode = Node(model, "Rotor", -1, {0, 3.1, 0.7}, rotor);

        tinygltf::Camera camera;
        camera.type = "perspective";
        camera.perspective.yfov = 0.75;
        camera.perspective.aspectRatio = 4.0 / 3.0;
        camera.perspective.znear = 0.5;
        camera.perspective.zfar = 100;
        model.cameras.push_back(camera);
        tinygltf::Node eye;
        eye.name = "Camera";
        eye.camera = 0;
        eye.matrix = LookAt({3.5, 3, 9}, {0, 2, 0});
        model.nodes.push_back(eye);
        int const eyeNode = static_cast<int>(model.nodes.size() - 1);

        tinygltf::Light sun;
        sun.type = "directional";
        sun.color = {1, 0.97, 0.9};
        sun.intensity = 0.9;
        model.lights.push_back(sun);
        tinygltf::Node sunNode;
        sunNode.name = "Sun";
        sunNode.matrix = LookAt({2, 5, 4}, {0, 0, 0});
        tinygltf::Value::Object use;
        use["light"] = tinygltf::Value(0);
        sunNode.extensions["KHR_lights_punctual"] = tinygltf::Value(use);
        model.nodes.push_back(sunNode);
        int const sunIndex = static_cast<int>(model.nodes.size() - 1);
        model.extensionsUsed.push_back("KHR_lights_punctual");

        tinygltf::Scene scene;
        scene.name = "Windmill";
        scene.nodes = {ground, tower, rotorNode, eyeNode, sunIndex};
        tinygltf::Value::Object extras;
        tinygltf::Value::Array ambient = {tinygltf::Value(0.3), tinygltf::Value(0.3),
                                          tinygltf::Value(0.35)};
        extras["ambient"] = tinygltf::Value(ambient);
        scene.extras = tinygltf::Value(extras);
        model.scenes.push_back(scene);
        model.defaultScene = 0;
        refhost::gltf::WriteModel(model, argv[1]);
    } catch (std::exception const& e) {
        std::fprintf(stderr, "make_model: %s\n", e.what());
        return 1;
    }
    return 0;
}
