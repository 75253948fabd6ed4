#include "refhost/app/png_file.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

namespace keypose_host {

namespace {

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

// libpng reports a failure by jumping back to the setjmp of the function that called it, so
// the functions that call it keep only plain data alive across the calls; the rows and the
// text entries they point into are made before.
struct WriteJob {
    FILE* file;
    refhost::Bitmap const* image;
    png_text* text;
    int textCount;
    int level;
    unsigned char* row;
};

void RowOf(refhost::Bitmap const& image, int y, unsigned char* row) {
    auto const width = static_cast<std::size_t>(image.width());
    uint32_t const* source =
        const_cast<refhost::Bitmap&>(image).pixels().data() + static_cast<std::size_t>(y) * width;
    for (std::size_t x = 0; x < width; ++x) {
        row[3 * x] = static_cast<unsigned char>(source[x] >> 16);
        row[3 * x + 1] = static_cast<unsigned char>(source[x] >> 8);
        row[3 * x + 2] = static_cast<unsigned char>(source[x]);
    }
}

// Rendered frames are large flat areas, which deflate's run matching takes well without a
// row filter; leaving the filters out is most of the speed of a fast level.
bool Encode(WriteJob const& job) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, job.file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(job.image->width()),
                 static_cast<png_uint_32>(job.image->height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, job.level);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    if (job.textCount > 0) {
        png_set_text(png, info, job.text, job.textCount);
    }
    png_write_info(png, info);
    for (int y = 0; y < job.image->height(); ++y) {
        RowOf(*job.image, y, job.row);
        png_write_row(png, job.row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

std::string Reason() {
    return errno != 0 ? std::strerror(errno) : "the PNG library refused it";
}

// Reads the text entries before the pixels into text; false when the file is no PNG.
bool ReadText(FILE* file, PngText& text) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    png_textp entries = nullptr;
    int const count = png_get_text(png, info, &entries, nullptr);
    for (int i = 0; i < count; ++i) {
        text[entries[i].key] = std::string(entries[i].text, entries[i].text_length);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
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
    std::vector<png_text> entries;
    for (auto const& [key, value] : text) {
        if (key.empty() || key.size() > 79 || key.find('\0') != std::string::npos) {
            throw std::invalid_argument("'" + key + "' is not a PNG text key");
        }
        png_text entry{};
        entry.compression = PNG_TEXT_COMPRESSION_NONE;
        entry.key = const_cast<char*>(key.c_str());
        entry.text = const_cast<char*>(value.c_str());
        entry.text_length = value.size();
        entries.push_back(entry);
    }
    std::vector<unsigned char> row(3 * static_cast<std::size_t>(image.width()));
    File file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file) {
        throw std::runtime_error(path + ": cannot be written (" + Reason() + ")");
    }
    errno = 0;
    WriteJob const job{file.get(), &image,    entries.data(), static_cast<int>(entries.size()),
                       level,      row.data()};
    if (!Encode(job) || std::fflush(file.get()) != 0) {
        throw std::runtime_error(path + ": cannot be written (" + Reason() + ")");
    }
    if (std::fclose(file.release()) != 0) {
        throw std::runtime_error(path + ": cannot be written (" + Reason() + ")");
    }
}

std::optional<PngText> ReadPngText(std::string const& path) {
    File file(std::fopen(path.c_str(), "rb"), std::fclose);
    unsigned char signature[8];
    if (!file || std::fread(signature, 1, sizeof signature, file.get()) != sizeof signature ||
        png_sig_cmp(signature, 0, sizeof signature) != 0) {
        return std::nullopt;
    }
    std::rewind(file.get());
    PngText text;
    if (!ReadText(file.get(), text)) {
        return std::nullopt;
    }
    return text;
}

} // namespace keypose_host
