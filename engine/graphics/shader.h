#pragma once

#include <GLES2/gl2.h>
#include <string>

namespace tulk::graphics {

// One GLSL ES shader object with its source and the compile errors gathered so far.
// Needs a current GL context from construction to destruction.
class shader {
public:
    // The fixed underlying type keeps any integer a valid value, so type_to_enum can
    // reject the ones that name no stage.
    enum type : int { vertex = 0, fragment = 1 };

    // GL_VERTEX_SHADER, GL_FRAGMENT_SHADER, or GL_INVALID_ENUM for any other value.
    static GLenum type_to_enum(type t);

    shader(const std::string& name, type t);
    ~shader();

    shader(const shader&) = delete;
    shader& operator=(const shader&) = delete;

    void set_source(const std::string& text);

    // True when GL reports success. On failure GL's info log is appended to the log
    // (after a "\n" when the log already holds something) and nothing is printed: the
    // creator decides whether the process can go on.
    bool compile();
    // compile(), or on failure print "<label>: <log><separator><source><separator>" and end
    // the process: the one way a shader that does not build is reported.
    void compile_or_die(const std::string& label, const char* separator);

    // The gathered errors; reading empties them.
    std::string log();

    GLuint get_id() const { return id; }
    const std::string& get_name() const { return name; }
    const std::string& get_source() const { return source; }
    GLenum get_type() const { return gl_type; }

private:
    GLuint id;
    std::string name;
    std::string source;
    std::string log_text;
    GLenum gl_type;
};

} // namespace tulk::graphics
