#include <algorithm>
#include <cstring>

#include "host/pascal_string.h"

#include "host/cocoa/ns_string.h"

CStr255::CStr255(std::string_view text) {
    std::size_t length = std::min<std::size_t>(text.size(), 255);
    fBytes[0] = static_cast<unsigned char>(length);
    std::memcpy(fBytes + 1, text.data(), length);
}

CStr255 CStr255::FromPascal(ConstStringPtr pascal) {
    CStr255 result;
    if (pascal) {
        std::memcpy(result.fBytes, pascal, std::size_t{pascal[0]} + 1);
    }
    return result;
}

std::string CStr255::ToString() const {
    return std::string(View());
}

std::string_view CStr255::View() const {
    return {reinterpret_cast<char const*>(fBytes + 1), fBytes[0]};
}

NSString* CStr255::MakeNSString() const {
    return NSString::stringWithUTF8String(View());
}
