#include "engine/graphics/shader.h"

#include "engine/graphics/gl_check.h"
#include "engine/util/fatal.h"

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
    GLint status = 0;
    glGetShaderiv(id, GL_COMPILE_STATUS, &status);
    if (status == GL_TRUE) {
        return true;
    }
    append_info_log(id, log_text);
    return false;
}

void shader::compile_or_die(const char* failure) {
    if (!compile()) {
        const std::string text = log();
        util::fatal(1, failure, text.c_str(), source.c_str());
    }
}

std::string shader::log() {
    std::string text;
    text.swap(log_text);
    return text;
}

} // namespace tulk::graphics
