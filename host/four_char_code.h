// Four-character codes name scene object kinds, attribute types and the like.
// They are 32-bit integers with the first character in the most significant byte,
// so "xfrm"_4cc == 0x7866726D and the codes compare and sort as their text does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

using FourCharCode = uint32_t;

constexpr FourCharCode MakeFourCharCode(char a, char b, char c, char d) {
    return (static_cast<FourCharCode>(static_cast<unsigned char>(a)) << 24) |
           (static_cast<FourCharCode>(static_cast<unsigned char>(b)) << 16) |
           (static_cast<FourCharCode>(static_cast<unsigned char>(c)) << 8) |
           static_cast<FourCharCode>(static_cast<unsigned char>(d));
}

// "xfrm"_4cc; a literal that is not exactly four characters does not compile.
consteval FourCharCode operator""_4cc(const char* text, std::size_t length) {
    if (length != 4) {
        throw "a four-character code has exactly four characters";
    }
    return MakeFourCharCode(text[0], text[1], text[2], text[3]);
}

// The code as its four characters, for messages and files.
inline std::string FourCharCodeText(FourCharCode code) {
    return {static_cast<char>(code >> 24), static_cast<char>((code >> 16) & 0xFF),
            static_cast<char>((code >> 8) & 0xFF), static_cast<char>(code & 0xFF)};
}
