#include "refhost/gltf/png_codec.h"

#include <png.h>

#include <stdexcept>
#include <string>

namespace refhost::gltf {

std::vector<uint8_t> EncodePng(uint32_t width, uint32_t height, std::vector<uint8_t> const& rgba) {
    std::size_t const row = std::size_t{width} * 4;
    if (width == 0 || height == 0 || rgba.size() != row * height) {
        throw std::runtime_error("a texture of " + std::to_string(width) + "x" +
                                 std::to_string(height) + " pixels holds " +
                                 std::to_string(rgba.size()) + " bytes");
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_RGBA;
    // The first call measures, the second writes.
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr)) {
        throw std::runtime_error(std::string("a texture could not be compressed: ") +
                                 image.message);
    }
    std::vector<uint8_t> out(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr)) {
        throw std::runtime_error(std::string("a texture could not be compressed: ") +
                                 image.message);
    }
    out.resize(size);
    return out;
}

} // namespace refhost::gltf
