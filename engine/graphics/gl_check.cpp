#include "engine/graphics/gl_check.h"

#include "engine/util/fatal.h"

#include <vector>

namespace tulk::graphics {

void gl_fail(const char* label, GLenum code) {
    util::fatal(1, "glerror: %s: %d\n", label, static_cast<int>(code));
}

bool succeeded_or_logged(GLuint object, GLenum status, std::string& log) {
    const bool is_shader = glIsShader(object) == GL_TRUE;
    GLint result = GL_FALSE;
    (is_shader ? glGetShaderiv : glGetProgramiv)(object, status, &result);
    if (result == GL_TRUE) {
        return true;
    }
    GLint length = 0;
    (is_shader ? glGetShaderiv : glGetProgramiv)(object, GL_INFO_LOG_LENGTH, &length);
    // The reported length counts the terminating null; some drivers report 0.
    std::vector<GLchar> info(static_cast<size_t>(length > 0 ? length : 1), '\0');
    (is_shader ? glGetShaderInfoLog : glGetProgramInfoLog)(
        object, static_cast<GLsizei>(info.size()), nullptr, info.data());
    if (!log.empty()) {
        log += '\n';
    }
    log += info.data();
    return false;
}

} // namespace tulk::graphics
