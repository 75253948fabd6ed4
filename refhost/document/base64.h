// Base64 (RFC 4648, with padding) for the exact bytes that documents keep: custom attribute
// blocks and texture pixels.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace refhost::document {

std::string EncodeBase64(uint8_t const* bytes, std::size_t size);
// The bytes, or nothing when the text is not padded base64 of the standard alphabet.
std::optional<std::vector<uint8_t>> DecodeBase64(std::string_view text);

} // namespace refhost::document
