// Channels of KHR_animation_pointer, which tinygltf cannot read: taken out of a file's JSON
// before tinygltf reads it, those of the first animation remembered by the property they
// animate.
#pragma once

#include <map>
#include <nlohmann/json.hpp>
#include <string>

namespace refhost::gltf {

struct PreparedJson {
    std::string json; // the text tinygltf reads: the file's own when it has no pointers
    // The first animation's pointer channels: the JSON pointer they animate (such as
    // "/materials/0/pbrMetallicRoughness/baseColorFactor") to their sampler's index.
    std::map<std::string, int> pointers;
    bool othersDropped = false; // pointer channels of later animations were taken out
};

// The JSON of a file, or a GltfError naming the file and the byte where it stops being JSON
// (or why its values cannot be read).
nlohmann::json ParsedJson(std::string const& text, std::string const& name);

// The text prepared for tinygltf. Throws GltfError (file, place, reason) when a file that
// uses pointers is not JSON or not glTF 2.0.
PreparedJson Prepared(std::string const& text, std::string const& name);

} // namespace refhost::gltf
