#include "refhost/gltf/animation_pointers.h"

#include <cctype>

namespace refhost::gltf {

namespace {

bool Quoted(std::string const& text, std::size_t at) {
    return at == 0 || text[at - 1] != '\\';
}

// Where the `"path"` key of a member whose value starts at `value` begins, or npos.
std::size_t PathKeyBefore(std::string const& text, std::size_t value) {
    std::size_t at = value;
    auto skipSpaces = [&] {
        while (at > 0 && std::isspace(static_cast<unsigned char>(text[at - 1]))) {
            --at;
        }
    };
    skipSpaces();
    if (at == 0 || text[at - 1] != ':') {
        return std::string::npos;
    }
    --at;
    skipSpaces();
    std::string const key = "\"path\"";
    if (at < key.size() || text.compare(at - key.size(), key.size(), key) != 0 ||
        !Quoted(text, at - key.size())) {
        return std::string::npos;
    }
    return at - key.size();
}

} // namespace

std::string WithPointerNodes(std::string const& text) {
    std::string const value = "\"pointer\"";
    std::string out;
    std::size_t copied = 0;
    for (std::size_t at = text.find(value); at != std::string::npos;
         at = text.find(value, at + value.size())) {
        std::size_t const key = Quoted(text, at) ? PathKeyBefore(text, at) : std::string::npos;
        if (key == std::string::npos) {
            continue;
        }
        if (out.empty()) {
            out.reserve(text.size() + 4096);
        }
        out.append(text, copied, key - copied).append("\"node\":0,");
        copied = key;
    }
    if (copied == 0) {
        return text;
    }
    return out.append(text, copied, std::string::npos);
}

std::string PointerOf(tinygltf::AnimationChannel const& channel) {
    auto const found = channel.target_extensions.find("KHR_animation_pointer");
    if (found == channel.target_extensions.end() || !found->second.IsObject() ||
        !found->second.Has("pointer") || !found->second.Get("pointer").IsString()) {
        return "";
    }
    return found->second.Get("pointer").Get<std::string>();
}

} // namespace refhost::gltf
