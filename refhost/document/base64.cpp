#include "refhost/document/base64.h"

#include <array>

namespace refhost::document {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<int8_t, 256> DecodingTable() {
    std::array<int8_t, 256> table{};
    table.fill(-1);
    for (int i = 0; i < 64; ++i) {
        table[static_cast<uint8_t>(kAlphabet[i])] = static_cast<int8_t>(i);
    }
    return table;
}

constexpr std::array<int8_t, 256> kDecoding = DecodingTable();

} // namespace

std::string EncodeBase64(uint8_t const* bytes, std::size_t size) {
    std::string text;
    text.reserve((size + 2) / 3 * 4);
    for (std::size_t i = 0; i < size; i += 3) {
        uint32_t chunk = uint32_t{bytes[i]} << 16;
        if (i + 1 < size) {
            chunk |= uint32_t{bytes[i + 1]} << 8;
        }
        if (i + 2 < size) {
            chunk |= bytes[i + 2];
        }
        text += kAlphabet[(chunk >> 18) & 63];
        text += kAlphabet[(chunk >> 12) & 63];
        text += i + 1 < size ? kAlphabet[(chunk >> 6) & 63] : '=';
        text += i + 2 < size ? kAlphabet[chunk & 63] : '=';
    }
    return text;
}

std::optional<std::vector<uint8_t>> DecodeBase64(std::string_view text) {
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        bool const last = i + 4 == text.size();
        uint32_t chunk = 0;
        int padding = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            char const c = text[i + k];
            if (c == '=' && last && k >= 2 && (k == 3 || text[i + 3] == '=')) {
                ++padding;
                chunk <<= 6;
                continue;
            }
            int8_t const value = kDecoding[static_cast<uint8_t>(c)];
            if (value < 0 || padding > 0) {
                return std::nullopt;
            }
            chunk = (chunk << 6) | static_cast<uint32_t>(value);
        }
        bytes.push_back(static_cast<uint8_t>(chunk >> 16));
        if (padding < 2) {
            bytes.push_back(static_cast<uint8_t>(chunk >> 8));
        }
        if (padding < 1) {
            bytes.push_back(static_cast<uint8_t>(chunk));
        }
    }
    return bytes;
}

} // namespace refhost::document
