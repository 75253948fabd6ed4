#include "refhost/view3d/gl_errors.h"

#include <epoxy/gl.h>

#include <cstdio>
#include <stdexcept>

namespace refhost::view3d {

void Fail(std::string const& what) {
    throw std::runtime_error("3D view: " + what);
}

void CheckGl(char const* step) {
    GLenum const error = glGetError();
    if (error != GL_NO_ERROR) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%04X", error);
        Fail(std::string("OpenGL error ") + code + " while " + step);
    }
}

} // namespace refhost::view3d
