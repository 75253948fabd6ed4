// How the 3D view reports failures: std::runtime_error with a message that starts "3D view: ".
#pragma once

#include <string>

namespace refhost::view3d {

[[noreturn]] void Fail(std::string const& what);

// Throws when OpenGL has recorded an error, naming the step that was being taken.
void CheckGl(char const* step);

} // namespace refhost::view3d
