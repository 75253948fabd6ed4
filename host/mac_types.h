// Basic Mac OS types at the host interface, at the widths this platform gives them:
// the classic `long` is 32-bit, `short` 16-bit.
#pragma once

#include <cstdint>

using OSErr = int16_t;
using Size = int32_t;
using Ptr = char*;
// A relocatable block: the address of the host's master pointer to the bytes.
using Handle = Ptr*;

// Mac OS error numbers used at the host interface.
inline constexpr OSErr noErr = 0;
inline constexpr OSErr paramErr = -50;
inline constexpr OSErr memFullErr = -108;
inline constexpr OSErr nilHandleErr = -109;

// Pascal strings: a length byte followed by that many characters.
using Str255 = unsigned char[256];
using Str63 = unsigned char[64];
using StringPtr = unsigned char*;
using ConstStringPtr = unsigned char const*;
