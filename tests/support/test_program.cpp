#include "support/test_program.h"

using tulk::graphics::program;
using tulk::graphics::shader;

std::unique_ptr<program> use_test_program(const char* vertex_source, const char* fragment_source) {
    auto p = std::make_unique<program>("test");
    for (const shader::type type : {shader::vertex, shader::fragment}) {
        auto* s = new shader("test", type);
        s->set_source(type == shader::vertex ? vertex_source : fragment_source);
        s->compile_or_die("test shader: %s\n%s\n");
        p->attach_shader(s, type);
    }
    GLuint index = 0;
    for (const char* attribute : {"position", "normal", "texcoords", "texunit"}) {
        p->bindAttribLocation(index++, attribute);
    }
    p->link_or_die();
    p->use();
    return p;
}

std::unique_ptr<program> use_picture_program() {
    return use_test_program(
        "#version 100\n"
        "attribute vec3 position;\n"
        "attribute vec2 texcoords;\n"
        "varying vec2 uv;\n"
        "void main() { uv = texcoords; gl_Position = vec4(position.xy * 2.0, 0.0, 1.0); }\n",
        "#version 100\n"
        "precision mediump float;\n"
        "uniform sampler2D picture;\n"
        "varying vec2 uv;\n"
        "void main() { gl_FragColor = texture2D(picture, uv); }\n");
}
