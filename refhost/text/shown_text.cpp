#include "refhost/text/shown_text.h"

#include <cstdio>

namespace refhost {

std::string ShownText(std::string_view text, std::size_t limit) {
    std::string shown;
    for (char c : text) {
        if (shown.size() >= limit) {
            return shown + "...";
        }
        auto const byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            shown += escaped;
        } else {
            shown += c;
        }
    }
    return shown;
}

} // namespace refhost
