#include "refhost/gltf/model_writer.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

#include "refhost/gltf/glb_container.h"
#include "refhost/gltf/gltf_error.h"

namespace refhost::gltf {

ModelWriter::ModelWriter() {
    fModel.buffers.emplace_back();
    fModel.asset.version = "2.0";
    fModel.asset.generator = "keypose-host";
}

int ComponentType(int components) {
    switch (components) {
    case 1:
        return TINYGLTF_TYPE_SCALAR;
    case 2:
        return TINYGLTF_TYPE_VEC2;
    case 3:
        return TINYGLTF_TYPE_VEC3;
    default:
        return TINYGLTF_TYPE_VEC4;
    }
}

int ModelWriter::AddView(void const* data, std::size_t size, int target) {
    std::vector<unsigned char>& bytes = fModel.buffers[0].data;
    while (bytes.size() % 4 != 0) {
        bytes.push_back(0);
    }
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = bytes.size();
    view.byteLength = size;
    view.target = target;
    auto const* first = static_cast<unsigned char const*>(data);
    bytes.insert(bytes.end(), first, first + size);
    fModel.bufferViews.push_back(view);
    return static_cast<int>(fModel.bufferViews.size() - 1);
}

int ModelWriter::AddFloats(std::vector<float> const& values, int components, bool bounds,
                           int target) {
    // The same values are written once (many geometries share a shape, many channels their
    // times).
    std::string key(reinterpret_cast<char const*>(values.data()), values.size() * sizeof(float));
    key += static_cast<char>(components);
    key += static_cast<char>(bounds);
    key += std::to_string(target);
    if (auto found = fWritten.find(key); found != fWritten.end()) {
        return found->second;
    }
    tinygltf::Accessor accessor;
    accessor.bufferView = AddView(values.data(), values.size() * sizeof(float), target);
    accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
    accessor.type = ComponentType(components);
    accessor.count = values.size() / static_cast<std::size_t>(components);
    if (bounds) {
        accessor.minValues.assign(static_cast<std::size_t>(components),
                                  std::numeric_limits<double>::max());
        accessor.maxValues.assign(static_cast<std::size_t>(components),
                                  std::numeric_limits<double>::lowest());
        for (std::size_t i = 0; i < values.size(); ++i) {
            std::size_t const c = i % static_cast<std::size_t>(components);
            accessor.minValues[c] = std::min<double>(accessor.minValues[c], values[i]);
            accessor.maxValues[c] = std::max<double>(accessor.maxValues[c], values[i]);
        }
    }
    fModel.accessors.push_back(accessor);
    int const index = static_cast<int>(fModel.accessors.size() - 1);
    fWritten.emplace(std::move(key), index);
    return index;
}

int ModelWriter::AddIndices(std::vector<uint32_t> const& indices) {
    tinygltf::Accessor accessor;
    accessor.bufferView = AddView(indices.data(), indices.size() * sizeof(uint32_t),
                                  TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
    accessor.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
    accessor.type = TINYGLTF_TYPE_SCALAR;
    accessor.count = indices.size();
    fModel.accessors.push_back(accessor);
    return static_cast<int>(fModel.accessors.size() - 1);
}

int ModelWriter::AddBytes(std::vector<uint8_t> const& bytes) {
    return AddView(bytes.data(), bytes.size(), 0);
}

namespace {

// tinygltf writes a channel's target node even when the channel has none (an animation
// pointer's channel): such a "node" of -1, the only one it can write, is taken out.
std::string WithoutMissingNodes(std::string const& text) {
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at; (at = text.find("\"node\":", from)) != std::string::npos;) {
        std::size_t end = at + 7;
        while (end < text.size() && text[end] == ' ') {
            ++end;
        }
        if (text.compare(end, 2, "-1") != 0) {
            out.append(text, from, end - from);
            from = end;
            continue;
        }
        end += 2;
        // The member goes with the comma after it, or else the one before it.
        if (end < text.size() && text[end] == ',') {
            out.append(text, from, at - from);
            from = end + 1;
        } else {
            out.append(text, from, at - from);
            out.erase(out.find_last_of(','));
            from = end;
        }
    }
    out.append(text, from, std::string::npos);
    return out;
}

} // namespace

void WriteModel(tinygltf::Model const& model, std::string const& path) {
    bool const binary = path.size() >= 4 && path.compare(path.size() - 4, 4, ".glb") == 0;
    bool const text = path.size() >= 5 && path.compare(path.size() - 5, 5, ".gltf") == 0;
    if (!binary && !text) {
        throw GltfError(path + ": a glTF file ends in .glb or .gltf");
    }
    tinygltf::TinyGLTF writer;
    std::ostringstream stream;
    if (!writer.WriteGltfSceneToStream(&model, stream, !binary, binary)) {
        throw GltfError(path + ": the model could not be written");
    }
    std::string bytes = stream.str();
    if (binary) {
        std::vector<uint8_t> const raw(bytes.begin(), bytes.end());
        GlbParts parts = SplitGlb(raw, path);
        parts.json = WithoutMissingNodes(parts.json);
        std::vector<uint8_t> const fixed = JoinGlb(parts);
        bytes.assign(fixed.begin(), fixed.end());
    } else {
        bytes = WithoutMissingNodes(bytes);
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        throw GltfError(path + ": cannot be written");
    }
}

} // namespace refhost::gltf
