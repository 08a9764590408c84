#include "support/test_program.h"

#include <gtest/gtest.h>

using tulk::graphics::program;
using tulk::graphics::shader;

namespace {

shader* compiled(shader::type type, const char* source) {
    auto* s = new shader("test", type);
    s->set_source(source);
    EXPECT_TRUE(s->compile()) << s->log();
    return s;
}

} // namespace

std::unique_ptr<program> use_test_program(const char* vertex_source, const char* fragment_source) {
    auto p = std::make_unique<program>("test");
    p->attach_shader(compiled(shader::vertex, vertex_source), shader::vertex);
    p->attach_shader(compiled(shader::fragment, fragment_source), shader::fragment);
    p->bindAttribLocation(0, "position");
    p->bindAttribLocation(1, "normal");
    p->bindAttribLocation(2, "texcoords");
    p->bindAttribLocation(3, "texunit");
    EXPECT_TRUE(p->link()) << p->log();
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
