#include "refhost/gltf/animation_pointers.h"

#include <utility>

#include "refhost/gltf/gltf_error.h"

namespace refhost::gltf {

nlohmann::json ParsedJson(std::string const& text, std::string const& name) {
    nlohmann::json json;
    try {
        json = nlohmann::json::parse(text);
    } catch (nlohmann::json::parse_error const& e) {
        throw GltfError(name + ": byte " + std::to_string(e.byte) + ": not JSON (" +
                        std::string(e.what()).substr(std::string(e.what()).find(':') + 2) + ")");
    } catch (nlohmann::json::exception const& e) {
        // A number too large for any type, say: the text is JSON, its value is not.
        throw GltfError(name + ": not readable JSON (" +
                        std::string(e.what()).substr(std::string(e.what()).find(']') + 2) + ")");
    }
    if (!json.is_object()) {
        throw GltfError(name + ": /: a glTF file is a JSON object");
    }
    return json;
}

namespace {

// The property a channel animates through the extension, or "" when it names none.
std::string PointerOf(nlohmann::json const& channel) {
    if (!channel.is_object() || !channel.contains("target") || !channel["target"].is_object()) {
        return "";
    }
    auto const& target = channel["target"];
    if (target.value("path", "") != "pointer" || !target.contains("extensions") ||
        !target["extensions"].is_object() ||
        !target["extensions"].contains("KHR_animation_pointer") ||
        !target["extensions"]["KHR_animation_pointer"].is_object()) {
        return "";
    }
    auto const& pointer = target["extensions"]["KHR_animation_pointer"];
    return pointer.contains("pointer") && pointer["pointer"].is_string()
               ? pointer["pointer"].get<std::string>()
               : "";
}

bool IsPointerChannel(nlohmann::json const& channel) {
    return channel.is_object() && channel.contains("target") && channel["target"].is_object() &&
           channel["target"].value("path", "") == "pointer";
}

} // namespace

PreparedJson Prepared(std::string const& text, std::string const& name) {
    PreparedJson prepared;
    if (text.find("KHR_animation_pointer") == std::string::npos) {
        prepared.json = text; // nothing to take out: tinygltf reads it as it is
        return prepared;
    }
    nlohmann::json json = ParsedJson(text, name);
    auto const asset = json.find("asset");
    if (asset == json.end() || !asset->is_object() || !asset->contains("version") ||
        !(*asset)["version"].is_string() ||
        (*asset)["version"].get<std::string>().rfind("2.", 0) != 0) {
        throw GltfError(name + ": /asset/version: not a glTF 2.0 file");
    }
    if (auto animations = json.find("animations");
        animations != json.end() && animations->is_array()) {
        bool first = true;
        for (auto& animation : *animations) {
            bool const isFirst = std::exchange(first, false);
            if (!animation.is_object() || !animation.contains("channels") ||
                !animation["channels"].is_array()) {
                continue;
            }
            auto& channels = animation["channels"];
            nlohmann::json kept = nlohmann::json::array();
            for (auto& channel : channels) {
                if (!IsPointerChannel(channel)) {
                    kept.push_back(channel);
                    continue;
                }
                std::string const pointer = PointerOf(channel);
                if (isFirst && !pointer.empty() && channel.contains("sampler") &&
                    channel["sampler"].is_number_integer()) {
                    prepared.pointers[pointer] = channel["sampler"].get<int>();
                } else {
                    prepared.othersDropped = true;
                }
            }
            channels = kept;
        }
    }
    prepared.json = json.dump();
    return prepared;
}

} // namespace refhost::gltf
