#pragma once

#include "engine/graphics/shader.h"

#include <GLES2/gl2.h>
#include <functional>
#include <glm/glm.hpp>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>

namespace tulk::graphics {

// A linked GL program with its attribute bindings and a cache of uniform locations.
// Owns the shaders attached to it. Needs a current GL context from construction to
// destruction.
class program {
public:
    explicit program(const std::string& name);
    // Destroys the attached shaders and the GL program.
    ~program();

    program(const program&) = delete;
    program& operator=(const program&) = delete;

    // Takes ownership of s as the vertex or fragment shader and attaches it, detaching and
    // destroying the one it replaces. Any other type ends the process.
    void attach_shader(shader* s, shader::type t);

    // One shader of a program to build: its name, its text, and what comes after GL's log
    // and after the text when it does not compile.
    struct stage {
        std::string name;
        std::string text;
        const char* separator = "\n";
    };
    // Compiles both stages, binds `attributes` to locations 0, 1, ... in order and links;
    // a failure prints the log ("vertex shader: ", "fragment shader: " or the link's) and
    // ends the process.
    static program* build(const std::string& name, const stage& vertex, const stage& fragment,
                          std::initializer_list<const char*> attributes);

    // Must come before link().
    void bindAttribLocation(GLuint index, const char* attribute);

    // True when GL reports success; otherwise GL's info log is appended to the log
    // (after a "\n" when the log already holds something). Prints nothing.
    bool link();
    // link(), or on failure print the log and end the process.
    void link_or_die();

    // Link errors and missing-uniform reports; reading empties them.
    std::string log();

    // Makes this program current, skipping GL when it already is.
    void use();

    // Queries GL for the location of a uniform and caches it (again, when cached
    // already). A uniform the program lacks is cached as -1 and reported in the log.
    GLint make_uniform(std::string_view uniform);

    // Set a uniform of this program, which must be current. The location is looked up
    // once per name; a missing uniform goes to GL as -1, which GL ignores.
    void set_uniform(std::string_view uniform, int value);
    void set_uniform(std::string_view uniform, float value);
    void set_uniform(std::string_view uniform, const glm::vec2& value);
    void set_uniform(std::string_view uniform, const glm::vec3& value);
    void set_uniform(std::string_view uniform, const glm::vec4& value);
    void set_uniform(std::string_view uniform, const glm::mat3& value);
    void set_uniform(std::string_view uniform, const glm::mat4& value);

    GLuint get_id() const { return id; }
    const std::string& get_name() const { return name; }
    shader* get_vertex_shader() const { return vertex_shader; }
    shader* get_fragment_shader() const { return fragment_shader; }

    // The program last made current through use(), or null when none is (or it has
    // been destroyed since).
    static program* get_program_in_use() { return sProgramInUse; }

    // glUseProgram calls issued by use() since the last call; the count restarts at 0.
    static unsigned int get_switches();

private:
    GLint location(std::string_view uniform);

    GLuint id;
    std::string name;
    std::string log_text;
    shader* vertex_shader = nullptr;
    shader* fragment_shader = nullptr;
    // Transparent comparison lets lookups by string_view skip building a string.
    std::map<std::string, GLint, std::less<>> uniforms;

    static program* sProgramInUse;
    // Always counted: one increment beside a GL call costs nothing worth switching off.
    static unsigned int sSwitches;
};

} // namespace tulk::graphics
