#include "engine/graphics/program.h"

#include "engine/graphics/gl_check.h"
#include "engine/util/fatal.h"

#include <glm/gtc/type_ptr.hpp>

namespace tulk::graphics {

program* program::sProgramInUse = nullptr;
unsigned int program::sSwitches = 0;

program::program(const std::string& name) : name(name) {
    id = glCreateProgram();
}

program::~program() {
    delete vertex_shader;
    delete fragment_shader;
    glDeleteProgram(id);
    // A later program could be allocated at this address and would then be taken for
    // current without being bound.
    if (sProgramInUse == this) {
        sProgramInUse = nullptr;
    }
}

void program::attach_shader(shader* s, shader::type t) {
    if (t == shader::vertex) {
        vertex_shader = s;
    } else if (t == shader::fragment) {
        fragment_shader = s;
    } else {
        return;
    }
    glAttachShader(id, s->get_id());
}

void program::bindAttribLocation(GLuint index, const char* attribute) {
    glBindAttribLocation(id, index, attribute);
}

bool program::link() {
    glLinkProgram(id);
    GLint status = 0;
    glGetProgramiv(id, GL_LINK_STATUS, &status);
    if (status == GL_TRUE) {
        return true;
    }
    append_info_log(id, log_text);
    return false;
}

void program::link_or_die() {
    if (!link()) {
        const std::string text = log();
        util::fatal(1, "%s", text.c_str());
    }
}

std::string program::log() {
    std::string text;
    text.swap(log_text);
    return text;
}

void program::use() {
    if (sProgramInUse == this) {
        return;
    }
    sProgramInUse = this;
    glUseProgram(id);
    ++sSwitches;
}

unsigned int program::get_switches() {
    const unsigned int n = sSwitches;
    sSwitches = 0;
    return n;
}

GLint program::make_uniform(std::string_view uniform) {
    auto entry = uniforms.find(uniform);
    if (entry == uniforms.end()) {
        entry = uniforms.emplace(std::string(uniform), 0).first;
    }
    entry->second = glGetUniformLocation(id, entry->first.c_str());
    if (entry->second == -1) {
        log_text += "\nerror: uniform \"";
        log_text += entry->first;
        log_text += "\" in program \"";
        log_text += name;
        log_text += "\" doesn't exist\n";
    }
    return entry->second;
}

GLint program::location(std::string_view uniform) {
    const auto entry = uniforms.find(uniform);
    return entry != uniforms.end() ? entry->second : make_uniform(uniform);
}

void program::set_uniform(std::string_view uniform, int value) {
    glUniform1i(location(uniform), value);
}

void program::set_uniform(std::string_view uniform, float value) {
    glUniform1f(location(uniform), value);
}

void program::set_uniform(std::string_view uniform, const glm::vec2& value) {
    glUniform2f(location(uniform), value.x, value.y);
}

void program::set_uniform(std::string_view uniform, const glm::vec3& value) {
    glUniform3f(location(uniform), value.x, value.y, value.z);
}

void program::set_uniform(std::string_view uniform, const glm::vec4& value) {
    glUniform4f(location(uniform), value.x, value.y, value.z, value.w);
}

void program::set_uniform(std::string_view uniform, const glm::mat3& value) {
    glUniformMatrix3fv(location(uniform), 1, GL_FALSE, glm::value_ptr(value));
}

void program::set_uniform(std::string_view uniform, const glm::mat4& value) {
    glUniformMatrix4fv(location(uniform), 1, GL_FALSE, glm::value_ptr(value));
}

} // namespace tulk::graphics
