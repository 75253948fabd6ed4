#include "tests/refhost/gltf/gltf_evaluator.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace keypose_test {

namespace {

Mat4 Identity() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

double& At(Mat4& m, int row, int column) {
    return m[static_cast<std::size_t>(column * 4 + row)];
}

Mat4 FromTrs(std::vector<double> const& t, std::vector<double> const& q,
             std::vector<double> const& s) {
    double const x = q[0], y = q[1], z = q[2], w = q[3];
    double const r[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
                            {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
                            {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}};
    Mat4 m = Identity();
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            At(m, i, j) = r[i][j] * s[static_cast<std::size_t>(j)];
        }
        At(m, i, 3) = t[static_cast<std::size_t>(i)];
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
    double n = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        out[i] = wa * a[i] + wb * b[i];
        n += out[i] * out[i];
    }
    for (double& v : out) {
        v /= std::sqrt(n);
    }
    return out;
}

} // namespace

Mat4 Multiply(Mat4 const& a, Mat4 const& b) {
    Mat4 m{};
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

GltfEvaluator::GltfEvaluator(std::string const& path) {
    std::vector<unsigned char> bytes;
    {
        FILE* file = std::fopen(path.c_str(), "rb");
        if (!file) {
            throw std::runtime_error(path + ": cannot be opened");
        }
        unsigned char buffer[65536];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            bytes.insert(bytes.end(), buffer, buffer + n);
        }
        std::fclose(file);
    }
    // tinygltf reads the JSON and the buffers; the channels of animation pointers, which it
    // does not know, are read here from the JSON itself.
    std::string json;
    std::vector<unsigned char> binary;
    if (bytes.size() >= 20 && std::memcmp(bytes.data(), "glTF", 4) == 0) {
        uint32_t jsonLength;
        std::memcpy(&jsonLength, bytes.data() + 12, 4);
        json.assign(reinterpret_cast<char const*>(bytes.data() + 20), jsonLength);
        std::size_t const binAt = 20 + jsonLength;
        if (binAt + 8 <= bytes.size()) {
            uint32_t binLength;
            std::memcpy(&binLength, bytes.data() + binAt, 4);
            binary.assign(bytes.begin() + static_cast<std::ptrdiff_t>(binAt + 8),
                          bytes.begin() + static_cast<std::ptrdiff_t>(binAt + 8 + binLength));
        }
    } else {
        json.assign(bytes.begin(), bytes.end());
    }
    // A pointer channel gets node 0 so that tinygltf keeps it; its path says what it is.
    std::string patched;
    std::size_t from = 0;
    for (std::size_t at; (at = json.find("\"path\":\"pointer\"", from)) != std::string::npos;) {
        patched += json.substr(from, at - from) + "\"node\":0,";
        from = at;
        patched += json.substr(from, 16);
        from += 16;
    }
    patched += json.substr(from);
    tinygltf::TinyGLTF loader;
    std::string error, warning;
    bool loaded;
    if (!binary.empty()) {
        // Reassemble with the patched JSON.
        std::vector<unsigned char> glb;
        auto put = [&](uint32_t v) {
            unsigned char b[4];
            std::memcpy(b, &v, 4);
            glb.insert(glb.end(), b, b + 4);
        };
        while (patched.size() % 4) {
            patched.push_back(' ');
        }
        put(0x46546C67);
        put(2);
        put(static_cast<uint32_t>(28 + patched.size() + binary.size()));
        put(static_cast<uint32_t>(patched.size()));
        put(0x4E4F534A);
        glb.insert(glb.end(), patched.begin(), patched.end());
        put(static_cast<uint32_t>(binary.size()));
        put(0x004E4942);
        glb.insert(glb.end(), binary.begin(), binary.end());
        loaded = loader.LoadBinaryFromMemory(&fModel, &error, &warning, glb.data(),
                                             static_cast<unsigned>(glb.size()));
    } else {
        loaded = loader.LoadASCIIFromString(&fModel, &error, &warning, patched.c_str(),
                                            static_cast<unsigned>(patched.size()),
                                            std::filesystem::path(path).parent_path().string());
    }
    if (!loaded) {
        throw std::runtime_error(path + ": " + error);
    }
}

std::vector<float> GltfEvaluator::Floats(int index) const {
    tinygltf::Accessor const& accessor = fModel.accessors[static_cast<std::size_t>(index)];
    tinygltf::BufferView const& view =
        fModel.bufferViews[static_cast<std::size_t>(accessor.bufferView)];
    std::size_t const components = static_cast<std::size_t>(
        tinygltf::GetNumComponentsInType(static_cast<uint32_t>(accessor.type)));
    std::vector<float> out(accessor.count * components);
    std::memcpy(out.data(),
                fModel.buffers[static_cast<std::size_t>(view.buffer)].data.data() +
                    view.byteOffset + accessor.byteOffset,
                out.size() * sizeof(float));
    return out;
}

std::vector<double> GltfEvaluator::Sample(tinygltf::AnimationSampler const& sampler, double t,
                                          bool rotation) const {
    std::vector<float> const times = Floats(sampler.input);
    std::vector<float> const values = Floats(sampler.output);
    bool const cubic = sampler.interpolation == "CUBICSPLINE";
    std::size_t const keys = times.size();
    std::size_t const n = values.size() / keys / (cubic ? 3 : 1);
    auto value = [&](std::size_t k, std::size_t part) {
        std::size_t const at = cubic ? (k * 3 + part) * n : k * n;
        return std::vector<double>(values.begin() + static_cast<std::ptrdiff_t>(at),
                                   values.begin() + static_cast<std::ptrdiff_t>(at + n));
    };
    if (t <= times.front()) {
        return value(0, 1);
    }
    if (t >= times.back()) {
        return value(keys - 1, 1);
    }
    std::size_t k = 0;
    while (k + 1 < keys && times[k + 1] <= t) {
        ++k;
    }
    double const dt = times[k + 1] - times[k];
    double const s = (t - times[k]) / dt;
    if (sampler.interpolation == "STEP") {
        return value(k, 1);
    }
    if (cubic) {
        std::vector<double> const p0 = value(k, 1), m0 = value(k, 2), p1 = value(k + 1, 1),
                                  m1 = value(k + 1, 0);
        double const s2 = s * s, s3 = s2 * s;
        std::vector<double> out(n);
        for (std::size_t i = 0; i < n; ++i) {
            out[i] = (2 * s3 - 3 * s2 + 1) * p0[i] + (s3 - 2 * s2 + s) * dt * m0[i] +
                     (-2 * s3 + 3 * s2) * p1[i] + (s3 - s2) * dt * m1[i];
        }
        return out;
    }
    std::vector<double> const a = value(k, 0), b = value(k + 1, 0);
    if (rotation) {
        return Slerp(a, b, s);
    }
    std::vector<double> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = a[i] + (b[i] - a[i]) * s;
    }
    return out;
}

std::vector<Mat4> GltfEvaluator::WorldMatrices(double t) const {
    std::size_t const count = fModel.nodes.size();
    std::vector<std::vector<double>> translation(count), rotation(count), scale(count);
    for (std::size_t i = 0; i < count; ++i) {
        tinygltf::Node const& node = fModel.nodes[i];
        translation[i] = node.translation.empty() ? std::vector<double>{0, 0, 0} : node.translation;
        rotation[i] = node.rotation.empty() ? std::vector<double>{0, 0, 0, 1} : node.rotation;
        scale[i] = node.scale.empty() ? std::vector<double>{1, 1, 1} : node.scale;
    }
    std::vector<bool> animated(count, false);
    for (tinygltf::Animation const& animation : fModel.animations) {
        for (tinygltf::AnimationChannel const& channel : animation.channels) {
            auto const& sampler = animation.samplers[static_cast<std::size_t>(channel.sampler)];
            auto const node = static_cast<std::size_t>(channel.target_node);
            if (channel.target_path == "translation") {
                translation[node] = Sample(sampler, t, false);
            } else if (channel.target_path == "rotation") {
                rotation[node] = Sample(sampler, t, true);
            } else if (channel.target_path == "scale") {
                scale[node] = Sample(sampler, t, false);
            } else {
                continue;
            }
            animated[node] = true;
        }
    }
    std::vector<Mat4> local(count);
    for (std::size_t i = 0; i < count; ++i) {
        tinygltf::Node const& node = fModel.nodes[i];
        if (node.matrix.size() == 16 && !animated[i]) {
            std::copy(node.matrix.begin(), node.matrix.end(), local[i].begin());
        } else {
            local[i] = FromTrs(translation[i], rotation[i], scale[i]);
        }
    }
    std::vector<Mat4> world(count, Identity());
    std::vector<bool> done(count, false);
    auto visit = [&](auto&& self, int index, Mat4 const& parent) -> void {
        auto const i = static_cast<std::size_t>(index);
        world[i] = Multiply(parent, local[i]);
        done[i] = true;
        for (int child : fModel.nodes[i].children) {
            self(self, child, world[i]);
        }
    };
    for (tinygltf::Scene const& scene : fModel.scenes) {
        for (int root : scene.nodes) {
            visit(visit, root, Identity());
        }
    }
    return world;
}

std::array<double, 4> GltfEvaluator::BaseColour(int material, double t) const {
    auto const& factor =
        fModel.materials[static_cast<std::size_t>(material)].pbrMetallicRoughness.baseColorFactor;
    std::array<double, 4> colour = {factor[0], factor[1], factor[2], factor[3]};
    std::string const pointer =
        "/materials/" + std::to_string(material) + "/pbrMetallicRoughness/baseColorFactor";
    if (std::optional<std::vector<double>> const v = Pointer(pointer, t)) {
        std::copy(v->begin(),
                  v->begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(v->size(), 4)),
                  colour.begin());
    }
    return colour;
}

std::optional<std::vector<double>> GltfEvaluator::Pointer(std::string const& pointer,
                                                          double t) const {
    std::optional<std::vector<double>> value;
    for (tinygltf::Animation const& animation : fModel.animations) {
        for (tinygltf::AnimationChannel const& channel : animation.channels) {
            auto const found = channel.target_extensions.find("KHR_animation_pointer");
            if (channel.target_path != "pointer" || found == channel.target_extensions.end() ||
                found->second.Get("pointer").Get<std::string>() != pointer) {
                continue;
            }
            value = Sample(animation.samplers[static_cast<std::size_t>(channel.sampler)], t, false);
        }
    }
    return value;
}

} // namespace keypose_test
