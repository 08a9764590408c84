#pragma once

#include <GLES2/gl2.h>
#include <string>

namespace tulk::graphics {

// Prints "glerror: <label>: <code>" and ends the process with status 1.
[[noreturn]] void gl_fail(const char* label, GLenum code);

// Ends the process when the GL calls since the last check raised an error. `label` is the
// lower-case name of the call just made. Inline, because it runs after every GL call on the
// draw path and the error branch is almost never taken.
inline void gl_check(const char* label) {
    const GLenum code = glGetError();
    if (code != GL_NO_ERROR) [[unlikely]] {
        gl_fail(label, code);
    }
}

// Whether a shader's compile or a program's link succeeded (`status` is GL_COMPILE_STATUS
// or GL_LINK_STATUS); when not, GL's info log of the object is appended to `log`, after a
// "\n" when `log` already holds something.
bool succeeded_or_logged(GLuint object, GLenum status, std::string& log);

} // namespace tulk::graphics
