#include "engine/graphics/buffer.h"

#include "engine/graphics/gl_check.h"

namespace tulk::graphics {

buffer::buffer() {
    glGenBuffers(1, &id);
    gl_check("glgenbuffers");
}

buffer::~buffer() {
    glDeleteBuffers(1, &id);
    gl_check("gldeletebuffers");
}

void buffer::bind() const {
    glBindBuffer(GL_ARRAY_BUFFER, id);
    gl_check("glbindbuffer");
}

void buffer::set_data(int size, const void* data) {
    bind();
    this->size = size;
    glBufferData(GL_ARRAY_BUFFER, size, data, GL_STATIC_DRAW);
    gl_check("glbufferdata");
}

} // namespace tulk::graphics
