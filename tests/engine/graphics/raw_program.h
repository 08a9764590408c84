#pragma once

// A GLSL ES program built with raw GL calls, for tests that need to draw before the engine's
// own shader classes are involved. Binds the built-in vertex format's attribute names to
// their locations.

#include <GLES2/gl2.h>
#include <gtest/gtest.h>
#include <string>

inline GLuint compile_raw_shader(GLenum type, const char* source) {
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[1024] = {};
        glGetShaderInfoLog(shader, sizeof(log), nullptr, log);
        ADD_FAILURE() << "shader does not compile: " << log;
    }
    return shader;
}

// Links and uses the program; a failure is reported to the running test.
inline GLuint use_raw_program(const char* vertex_source, const char* fragment_source) {
    const GLuint program = glCreateProgram();
    glAttachShader(program, compile_raw_shader(GL_VERTEX_SHADER, vertex_source));
    glAttachShader(program, compile_raw_shader(GL_FRAGMENT_SHADER, fragment_source));
    glBindAttribLocation(program, 0, "position");
    glBindAttribLocation(program, 1, "normal");
    glBindAttribLocation(program, 2, "texcoords");
    glBindAttribLocation(program, 3, "texunit");
    glLinkProgram(program);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[1024] = {};
        glGetProgramInfoLog(program, sizeof(log), nullptr, log);
        ADD_FAILURE() << "program does not link: " << log;
    }
    glUseProgram(program);
    return program;
}

// Draws in a flat colour, whatever the vertices.
inline GLuint use_flat_program() {
    return use_raw_program("#version 100\n"
                           "attribute vec3 position;\n"
                           "void main() { gl_Position = vec4(position, 1.0); }\n",
                           "#version 100\n"
                           "precision mediump float;\n"
                           "void main() { gl_FragColor = vec4(1.0); }\n");
}
