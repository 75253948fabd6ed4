// Text from outside (a file's bytes, a script's word) as a message shows it: control
// characters, NUL among them, as \xNN, and cut with "..." past a readable length, so that a
// message neither stops short nor runs on for pages.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace refhost {

std::string ShownText(std::string_view text, std::size_t limit = 60);

} // namespace refhost
