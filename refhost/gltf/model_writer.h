// Builds a tinygltf model's data: one buffer that every accessor and image shares, each
// piece in a buffer view of its own, aligned to 4 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include <tiny_gltf.h>

namespace refhost::gltf {

class ModelWriter {
public:
    ModelWriter();

    // An accessor of floats, components (1 SCALAR, 2 VEC2, 3 VEC3, 4 VEC4) values each;
    // with bounds, its min and max are set (positions and animation times need them).
    // Returns the accessor's index.
    int AddFloats(std::vector<float> const& values, int components, bool bounds, int target = 0);
    // An accessor of unsigned 32-bit indices; returns its index.
    int AddIndices(std::vector<uint32_t> const& indices);
    // A buffer view holding bytes (an image); returns the view's index.
    int AddBytes(std::vector<uint8_t> const& bytes);

    tinygltf::Model& Model() { return fModel; }

private:
    int AddView(void const* data, std::size_t size, int target);

    tinygltf::Model fModel;
    std::unordered_map<std::string, int> fWritten; // float accessors by their bytes
};

// Writes the model as .glb (binary) or .gltf (JSON with the buffer as a data URI) by the
// path's extension; throws GltfError naming the path.
void WriteModel(tinygltf::Model const& model, std::string const& path);

// The glTF type name of a number of float components.
int ComponentType(int components);

} // namespace refhost::gltf
