#include "refhost/gltf/accessor_reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "refhost/gltf/gltf_error.h"

namespace refhost::gltf {

AccessorReader::AccessorReader(tinygltf::Model const& model, std::string const& name)
    : fModel(model), fName(name) {}

void AccessorReader::Fail(std::string const& place, std::string const& why) const {
    throw GltfError(fName + ": " + place + ": " + why);
}

void AccessorReader::Check(bool ok, std::string const& place, std::string const& why) const {
    if (!ok) {
        Fail(place, why);
    }
}

template <typename Each>
void AccessorReader::Read(tinygltf::Accessor const& a, std::string const& place,
                          Each const& each) const {
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

// An accessor's values as floats (normalised integers scaled), components each.
std::vector<float> AccessorReader::Floats(int index, std::vector<int> const& components) const {
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

std::vector<uint32_t> AccessorReader::Indices(int index) const {
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

float AccessorReader::Component(tinygltf::Accessor const& a, unsigned char const* p, int c,
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

} // namespace refhost::gltf
