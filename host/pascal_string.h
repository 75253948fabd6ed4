// A Pascal string of at most 255 characters, the form of every string at the host
// interface: byte 0 holds the length, the characters follow.
#pragma once

#include <string>
#include <string_view>

#include "host/mac_types.h"

class NSString;

class CStr255 {
public:
    CStr255() = default;
    // Longer text is cut at 255 characters.
    CStr255(std::string_view text);
    CStr255(char const* text) : CStr255(std::string_view(text)) {}
    // Copies a Pascal string image (length byte first).
    static CStr255 FromPascal(ConstStringPtr pascal);

    unsigned Length() const { return fBytes[0]; }
    bool IsEmpty() const { return fBytes[0] == 0; }
    std::string ToString() const;
    std::string_view View() const;
    // The text as the view toolkit's string; the host keeps it alive.
    NSString* MakeNSString() const;
    // The Pascal image: the length byte, then the characters. Writers must keep the length
    // byte equal to the characters they leave.
    ConstStringPtr Pascal() const { return fBytes; }
    StringPtr Pascal() { return fBytes; }

    bool operator==(CStr255 const& other) const { return View() == other.View(); }

private:
    Str255 fBytes{};
};
static_assert(sizeof(CStr255) == 256);
