#include "refhost/gltf/glb_container.h"

#include <cstring>

#include "refhost/gltf/gltf_error.h"

namespace refhost::gltf {

namespace {

constexpr uint32_t kMagic = 0x46546C67;     // "glTF"
constexpr uint32_t kJsonChunk = 0x4E4F534A; // "JSON"
constexpr uint32_t kBinChunk = 0x004E4942;  // "BIN\0"

uint32_t Word(std::vector<uint8_t> const& bytes, std::size_t at) {
    uint32_t value;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

void PutWord(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t bytes[4];
    std::memcpy(bytes, &value, 4);
    out.insert(out.end(), bytes, bytes + 4);
}

} // namespace

GlbParts SplitGlb(std::vector<uint8_t> const& bytes, std::string const& file) {
    auto fail = [&](std::size_t at, std::string const& why) {
        throw GltfError(file + ": byte " + std::to_string(at) + ": " + why);
    };
    if (bytes.size() < 20 || Word(bytes, 0) != kMagic) {
        fail(0, "not a binary glTF file (no glTF header)");
    }
    if (Word(bytes, 4) != 2) {
        fail(4, "version " + std::to_string(Word(bytes, 4)) + " is not 2");
    }
    if (Word(bytes, 8) > bytes.size()) {
        fail(8, "the header's length " + std::to_string(Word(bytes, 8)) +
                    " is more than the file's " + std::to_string(bytes.size()) + " bytes");
    }
    std::size_t const end = Word(bytes, 8);
    GlbParts parts;
    std::size_t at = 12;
    bool first = true;
    while (at + 8 <= end) {
        std::size_t const length = Word(bytes, at);
        uint32_t const type = Word(bytes, at + 4);
        if (length > end - at - 8) {
            fail(at, "a chunk of " + std::to_string(length) + " bytes runs past the end");
        }
        auto const* data = bytes.data() + at + 8;
        if (first && type != kJsonChunk) {
            fail(at + 4, "the first chunk is not JSON");
        }
        if (type == kJsonChunk) {
            parts.json.assign(reinterpret_cast<char const*>(data), length);
        } else if (type == kBinChunk) {
            parts.binary.assign(data, data + length);
        }
        first = false;
        at += 8 + length;
    }
    if (first) {
        fail(12, "no JSON chunk");
    }
    return parts;
}

std::vector<uint8_t> JoinGlb(GlbParts const& parts) {
    std::string json = parts.json;
    while (json.size() % 4 != 0) {
        json.push_back(' ');
    }
    std::vector<uint8_t> binary = parts.binary;
    while (binary.size() % 4 != 0) {
        binary.push_back(0);
    }
    std::vector<uint8_t> out;
    std::size_t const total = 12 + 8 + json.size() + (binary.empty() ? 0 : 8 + binary.size());
    PutWord(out, kMagic);
    PutWord(out, 2);
    PutWord(out, static_cast<uint32_t>(total));
    PutWord(out, static_cast<uint32_t>(json.size()));
    PutWord(out, kJsonChunk);
    out.insert(out.end(), json.begin(), json.end());
    if (!binary.empty()) {
        PutWord(out, static_cast<uint32_t>(binary.size()));
        PutWord(out, kBinChunk);
        out.insert(out.end(), binary.begin(), binary.end());
    }
    return out;
}

} // namespace refhost::gltf
