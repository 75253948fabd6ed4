#include "refhost/view3d/gl_program.h"

#include <stdexcept>
#include <vector>

namespace refhost::view3d {

namespace {

template <typename GetLength, typename GetLog>
std::string LogOf(GLuint object, GetLength getLength, GetLog getLog) {
    GLint length = 0;
    getLength(object, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    getLog(object, static_cast<GLsizei>(log.size()), nullptr, log.data());
    return log.data();
}

GLuint Compile(char const* name, GLenum stage, char const* source) {
    GLuint const shader = glCreateShader(stage);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        std::string const log = LogOf(shader, glGetShaderiv, glGetShaderInfoLog);
        glDeleteShader(shader);
        throw std::runtime_error(std::string("3D view: the ") + name +
                                 (stage == GL_VERTEX_SHADER ? " vertex" : " fragment") +
                                 " shader does not compile: " + log);
    }
    return shader;
}

} // namespace

GlProgram::GlProgram(char const* name, char const* vertexSource, char const* fragmentSource) {
    GLuint const vertex = Compile(name, GL_VERTEX_SHADER, vertexSource);
    GLuint fragment = 0;
    try {
        fragment = Compile(name, GL_FRAGMENT_SHADER, fragmentSource);
    } catch (...) {
        glDeleteShader(vertex);
        throw;
    }
    fId = glCreateProgram();
    glAttachShader(fId, vertex);
    glAttachShader(fId, fragment);
    glLinkProgram(fId);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint ok = GL_FALSE;
    glGetProgramiv(fId, GL_LINK_STATUS, &ok);
    if (!ok) {
        std::string const log = LogOf(fId, glGetProgramiv, glGetProgramInfoLog);
        glDeleteProgram(fId);
        throw std::runtime_error(std::string("3D view: the ") + name +
                                 " program does not link: " + log);
    }
}

GlProgram::~GlProgram() {
    glDeleteProgram(fId);
}

} // namespace refhost::view3d
