#include "engine/graphics/shader.h"

#include "engine/graphics/gl_check.h"
#include "engine/util/fatal.h"

#include <utility>

namespace tulk::graphics {

GLenum shader::type_to_enum(type t) {
    switch (t) {
    case vertex:
        return GL_VERTEX_SHADER;
    case fragment:
        return GL_FRAGMENT_SHADER;
    default:
        return GL_INVALID_ENUM;
    }
}

shader::shader(const std::string& name, type t) : name(name), gl_type(type_to_enum(t)) {
    id = glCreateShader(gl_type);
}

shader::~shader() {
    glDeleteShader(id);
}

void shader::set_source(const std::string& text) {
    source = text;
    const GLchar* text_ptr = source.c_str();
    glShaderSource(id, 1, &text_ptr, nullptr);
}

bool shader::compile() {
    glCompileShader(id);
    return succeeded_or_logged(id, GL_COMPILE_STATUS, log_text);
}

void shader::compile_or_die(const std::string& label, const char* separator) {
    if (!compile()) {
        const std::string message = label + ": " + log() + separator + source + separator;
        util::fatal(1, "%s", message.c_str());
    }
}

std::string shader::log() {
    return std::exchange(log_text, {});
}

} // namespace tulk::graphics
