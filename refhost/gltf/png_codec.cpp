#include "refhost/gltf/png_codec.h"

#include <zlib.h>

#include <array>
#include <stdexcept>
#include <string>

namespace refhost::gltf {

namespace {

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

void PutChunk(std::vector<uint8_t>& out, char const (&type)[5], std::vector<uint8_t> const& data) {
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    std::size_t const start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong const crc = crc32(0, out.data() + start, static_cast<uInt>(out.size() - start));
    PutBigEndian(out, static_cast<uint32_t>(crc));
}

} // namespace

std::vector<uint8_t> EncodePng(uint32_t width, uint32_t height, std::vector<uint8_t> const& rgba) {
    std::size_t const row = std::size_t{width} * 4;
    if (width == 0 || height == 0 || rgba.size() != row * height) {
        throw std::runtime_error("a texture of " + std::to_string(width) + "x" +
                                 std::to_string(height) + " pixels holds " +
                                 std::to_string(rgba.size()) + " bytes");
    }
    // Each row starts with filter type 0 (none).
    std::vector<uint8_t> raw;
    raw.reserve((row + 1) * height);
    for (uint32_t y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgba.begin() + static_cast<std::ptrdiff_t>(y * row),
                   rgba.begin() + static_cast<std::ptrdiff_t>((y + 1) * row));
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 6) !=
        Z_OK) {
        throw std::runtime_error("a texture could not be compressed");
    }
    packed.resize(packedSize);

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<uint8_t> header;
    PutBigEndian(header, width);
    PutBigEndian(header, height);
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, no filter, no interlace
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", {});
    return out;
}

} // namespace refhost::gltf
