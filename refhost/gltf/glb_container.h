// The binary glTF container: a 12-byte header, the JSON chunk and an optional binary chunk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace refhost::gltf {

struct GlbParts {
    std::string json;
    std::vector<uint8_t> binary;
};

// Splits a .glb file's bytes; throws GltfError naming the file, the byte offset and the fault.
GlbParts SplitGlb(std::vector<uint8_t> const& bytes, std::string const& file);
// The .glb bytes of the parts (chunks padded to 4 bytes: the JSON with spaces).
std::vector<uint8_t> JoinGlb(GlbParts const& parts);

} // namespace refhost::gltf
