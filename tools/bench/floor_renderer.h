#pragma once

#include "bench/draw_list.h"

#include <GLES2/gl2.h>
#include <memory>

namespace tulk::graphics {
class program;
}

// The least OpenGL ES 2.0 that issues a recorded frame's draws: one fixed flat-colour
// program, one buffer holding the cube and square strips bound once, one matrix and one
// colour per draw, and the fixed state switched only where the recorded draws switch it.
// It shares the game's context, so save() and restore() keep the engine's view of the
// current program and state true around it.
class floor_renderer {
public:
    // Needs a current GL context.
    floor_renderer();
    ~floor_renderer();

    floor_renderer(const floor_renderer&) = delete;
    floor_renderer& operator=(const floor_renderer&) = delete;

    // Remembers the program and fixed state in force.
    void save();
    // Clears colour and depth and issues every draw of the list.
    void draw(const draw_list& list);
    // Puts back what save() found.
    void restore();

private:
    void set_capability(GLenum cap, bool on);

    std::unique_ptr<tulk::graphics::program> flat;
    GLuint buffer = 0;
    GLint mvp = -1;
    GLint colour = -1;

    GLint saved_program = 0;
    GLint saved_buffer = 0;
    GLint saved_cull = GL_BACK;
    bool saved_depth = true;
    bool saved_blend = false;
};
