// PNG files of rendered frames, written with a compression level of the caller's choosing (a
// render wants speed more than the last byte) and with text entries that say what a frame
// is, so that a folder of frames can be put together again wherever it was rendered.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "refhost/toolkit/render.h"

namespace keypose_host {

// zlib's levels: 1 is the fastest that still compresses, 9 the smallest.
inline constexpr int kFastPng = 1;

// Key and value of the text entries (Latin-1, keys of 1 to 79 characters).
using PngText = std::map<std::string, std::string>;

// The image as an 8-bit RGB PNG, its text entries before the pixels. The same image, text
// and level always give the same bytes. Throws std::runtime_error naming the path and the
// system's reason when the file cannot be written; std::invalid_argument for a bad level or
// key.
void WritePng(std::string const& path, refhost::Bitmap const& image, PngText const& text = {},
              int level = kFastPng);

// The text entries of a PNG file (those before its pixels); nothing when the file cannot be
// read or is not a PNG.
std::optional<PngText> ReadPngText(std::string const& path);

} // namespace keypose_host
