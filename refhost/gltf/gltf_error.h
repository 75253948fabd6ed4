// The one error of the glTF exporter and importer: a file that cannot be written or read.
// The message names the file, the place in it (a JSON path or a byte offset) and the reason.
#pragma once

#include <stdexcept>

namespace refhost::gltf {

class GltfError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace refhost::gltf
