// Any bytes as a glTF model (binary or JSON) given to the importer: it makes a document or
// refuses the file with a GltfError; nothing else may happen.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "refhost/gltf/gltf_error.h"
#include "refhost/gltf/gltf_import.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, std::size_t size) {
    std::vector<uint8_t> const bytes(data, data + size);
    std::vector<std::string> warnings;
    try {
        // A name without a folder: external files are looked for in a folder that has none.
        refhost::gltf::ImportGltfBytes(bytes, "/nonexistent/fuzz.gltf", warnings);
    } catch (refhost::gltf::GltfError const&) {
        // A refusal is the answer to a malformed file.
    }
    return 0;
}
