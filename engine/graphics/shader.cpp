#include "engine/graphics/shader.h"

#include <vector>

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
    GLint length = 0;
    glGetShaderiv(id, GL_INFO_LOG_LENGTH, &length);
    // The reported length counts the terminating null; some drivers report 0.
    std::vector<GLchar> info(static_cast<size_t>(length > 0 ? length : 1), '\0');
    glGetShaderInfoLog(id, static_cast<GLsizei>(info.size()), nullptr, info.data());
    if (!log_text.empty()) {
        log_text += '\n';
    }
    log_text += info.data();
    return false;
}

std::string shader::log() {
    std::string text;
    text.swap(log_text);
    return text;
}

} // namespace tulk::graphics
