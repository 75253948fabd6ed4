// PNG images of texture pixels, as the glTF files embed them.
#pragma once

#include <cstdint>
#include <vector>

namespace refhost::gltf {

// An 8-bit RGBA PNG of width x height pixels (rgba: 4 bytes a pixel, rows from the top).
// Throws std::runtime_error when the pixels do not fill the size or cannot be compressed.
std::vector<uint8_t> EncodePng(uint32_t width, uint32_t height, std::vector<uint8_t> const& rgba);

} // namespace refhost::gltf
