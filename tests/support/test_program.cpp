#include "support/test_program.h"

using tulk::graphics::program;

std::unique_ptr<program> use_test_program(const char* vertex_source, const char* fragment_source) {
    std::unique_ptr<program> p(program::build("test", {"testvert", vertex_source},
                                              {"testfrag", fragment_source},
                                              {"position", "normal", "texcoords", "texunit"}));
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
