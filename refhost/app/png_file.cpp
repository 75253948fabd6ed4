#include "refhost/app/png_file.h"

#include <zlib.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <vector>

namespace keypose_host {

namespace {

constexpr std::array<unsigned char, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

void PutBigEndian(std::vector<unsigned char>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<unsigned char>(value >> shift));
    }
}

uint32_t BigEndian(unsigned char const* bytes) {
    return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
           static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
}

// A chunk: its length, type, data and the CRC of type and data.
void PutChunk(std::vector<unsigned char>& out, char const (&type)[5], unsigned char const* data,
              std::size_t size) {
    PutBigEndian(out, static_cast<uint32_t>(size));
    std::size_t const typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data, data + size);
    uLong const crc = crc32(0, out.data() + typeAt, static_cast<uInt>(size + 4));
    PutBigEndian(out, static_cast<uint32_t>(crc));
}

// The pixels' rows, each with filter type 0 (none) before it, deflated. Rendered frames are
// large flat areas, which deflate's run matching takes well without filtering.
std::vector<unsigned char> Deflated(refhost::Bitmap const& image, int level) {
    z_stream stream{};
    if (deflateInit(&stream, level) != Z_OK) {
        throw std::runtime_error("the PNG compressor cannot start");
    }
    std::unique_ptr<z_stream, int (*)(z_stream*)> const end(&stream, deflateEnd);
    auto const width = static_cast<std::size_t>(image.width());
    auto const& pixels = const_cast<refhost::Bitmap&>(image).pixels();
    std::vector<unsigned char> row(1 + 3 * width);
    std::vector<unsigned char> out(
        deflateBound(&stream, static_cast<uLong>(row.size() * image.height())));
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    for (int y = 0; y < image.height(); ++y) {
        uint32_t const* source = pixels.data() + static_cast<std::size_t>(y) * width;
        for (std::size_t x = 0; x < width; ++x) {
            row[1 + 3 * x] = static_cast<unsigned char>(source[x] >> 16);
            row[2 + 3 * x] = static_cast<unsigned char>(source[x] >> 8);
            row[3 + 3 * x] = static_cast<unsigned char>(source[x]);
        }
        stream.next_in = row.data();
        stream.avail_in = static_cast<uInt>(row.size());
        int const flush = y + 1 == image.height() ? Z_FINISH : Z_NO_FLUSH;
        int const status = deflate(&stream, flush);
        if (status != Z_OK && status != Z_STREAM_END) {
            throw std::runtime_error("the PNG compressor failed");
        }
    }
    out.resize(out.size() - stream.avail_out);
    return out;
}

std::vector<unsigned char> Encoded(refhost::Bitmap const& image, PngText const& text, int level) {
    std::vector<unsigned char> out(kSignature.begin(), kSignature.end());
    std::vector<unsigned char> header;
    PutBigEndian(header, static_cast<uint32_t>(image.width()));
    PutBigEndian(header, static_cast<uint32_t>(image.height()));
    // 8 bits a channel, RGB, deflate, adaptive filtering, no interlace.
    header.insert(header.end(), {8, 2, 0, 0, 0});
    PutChunk(out, "IHDR", header.data(), header.size());
    for (auto const& [key, value] : text) {
        if (key.empty() || key.size() > 79 || key.find('\0') != std::string::npos) {
            throw std::invalid_argument("'" + key + "' is not a PNG text key");
        }
        std::vector<unsigned char> entry(key.begin(), key.end());
        entry.push_back(0);
        entry.insert(entry.end(), value.begin(), value.end());
        PutChunk(out, "tEXt", entry.data(), entry.size());
    }
    std::vector<unsigned char> const pixels = Deflated(image, level);
    PutChunk(out, "IDAT", pixels.data(), pixels.size());
    PutChunk(out, "IEND", nullptr, 0);
    return out;
}

std::string Reason() {
    return std::strerror(errno);
}

} // namespace

void WritePng(std::string const& path, refhost::Bitmap const& image, PngText const& text,
              int level) {
    if (level < 0 || level > 9) {
        throw std::invalid_argument("PNG compression level " + std::to_string(level) +
                                    " is not one of 0 to 9");
    }
    if (image.width() < 1 || image.height() < 1) {
        throw std::invalid_argument(path + ": an empty image cannot be a PNG");
    }
    std::vector<unsigned char> const bytes = Encoded(image, text, level);
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file) {
        throw std::runtime_error(path + ": cannot be written (" + Reason() + ")");
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
        std::fflush(file.get()) != 0) {
        throw std::runtime_error(path + ": cannot be written (" + Reason() + ")");
    }
    if (std::fclose(file.release()) != 0) {
        throw std::runtime_error(path + ": cannot be written (" + Reason() + ")");
    }
}

std::optional<PngText> ReadPngText(std::string const& path) {
    std::ifstream file(path, std::ios::binary);
    std::array<unsigned char, 8> signature{};
    if (!file.read(reinterpret_cast<char*>(signature.data()), signature.size()) ||
        signature != kSignature) {
        return std::nullopt;
    }
    PngText text;
    unsigned char head[8];
    while (file.read(reinterpret_cast<char*>(head), sizeof head)) {
        uint32_t const size = BigEndian(head);
        std::string const type(reinterpret_cast<char const*>(head + 4), 4);
        if (type == "IDAT" || type == "IEND" || size > (1u << 24)) {
            return text;
        }
        std::string data(size, '\0');
        if (!file.read(data.data(), size) || !file.ignore(4)) {
            return std::nullopt;
        }
        std::size_t const nul = data.find('\0');
        if (type == "tEXt" && nul != std::string::npos) {
            text[data.substr(0, nul)] = data.substr(nul + 1);
        }
    }
    return std::nullopt;
}

} // namespace keypose_host
