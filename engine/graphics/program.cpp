#include "engine/graphics/program.h"

#include "engine/graphics/gl_check.h"
#include "engine/util/fatal.h"

#include <glm/gtc/type_ptr.hpp>
#include <utility>

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
    if (t != shader::vertex && t != shader::fragment) {
        util::fatal(1, "program %s: shader %s of no known type %d\n", name.c_str(),
                    s->get_name().c_str(), static_cast<int>(t));
    }
    shader*& slot = t == shader::vertex ? vertex_shader : fragment_shader;
    if (slot != nullptr) {
        glDetachShader(id, slot->get_id());
        delete slot;
    }
    slot = s;
    glAttachShader(id, s->get_id());
}

program* program::build(const std::string& name, const stage& vertex, const stage& fragment,
                        std::initializer_list<const char*> attributes) {
    auto* p = new program(name);
    for (const stage* each : {&vertex, &fragment}) {
        const shader::type type = each == &vertex ? shader::vertex : shader::fragment;
        auto* s = new shader(each->name, type);
        s->set_source(each->text);
        s->compile_or_die(type == shader::vertex ? "vertex shader" : "fragment shader",
                          each->separator);
        p->attach_shader(s, type);
    }
    GLuint index = 0;
    for (const char* attribute : attributes) {
        p->bindAttribLocation(index++, attribute);
    }
    p->link_or_die();
    return p;
}

void program::bindAttribLocation(GLuint index, const char* attribute) {
    glBindAttribLocation(id, index, attribute);
}

bool program::link() {
    glLinkProgram(id);
    return succeeded_or_logged(id, GL_LINK_STATUS, log_text);
}

void program::link_or_die() {
    if (!link()) {
        const std::string text = log();
        util::fatal(1, "%s", text.c_str());
    }
}

std::string program::log() {
    return std::exchange(log_text, {});
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
