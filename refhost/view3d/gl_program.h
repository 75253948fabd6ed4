// One linked GLSL program, owned; needs the context it was made in to be current.
#pragma once

#include <epoxy/gl.h>

#include <string>

namespace refhost::view3d {

class GlProgram {
public:
    // Compiles and links the two stages; throws std::runtime_error with the name given and
    // the compiler's or linker's log.
    GlProgram(char const* name, char const* vertexSource, char const* fragmentSource);
    GlProgram(GlProgram const&) = delete;
    GlProgram& operator=(GlProgram const&) = delete;
    ~GlProgram();

    GLuint id() const { return fId; }
    // The uniform's location (-1, ignored by OpenGL, when the program does not use it).
    GLint Uniform(char const* name) const { return glGetUniformLocation(fId, name); }
    GLint Uniform(std::string const& name) const { return Uniform(name.c_str()); }

private:
    GLuint fId = 0;
};

} // namespace refhost::view3d
