#include "engine/graphics/framebuffer.h"

#include "engine/graphics/gl_check.h"
#include "engine/util/fatal.h"

namespace tulk::graphics {

unsigned int framebuffer::sDefaultWidth = 100;
unsigned int framebuffer::sDefaultHeight = 100;

namespace {

GLenum attachment_for(const texture& t) {
    return t.is_depth() ? GL_DEPTH_ATTACHMENT : GL_COLOR_ATTACHMENT0;
}

} // namespace

framebuffer::framebuffer(const std::string& name, unsigned int width, unsigned int height)
    : name(name), width(width), height(height) {
    glGenFramebuffers(1, &id);
    gl_check("glgenframebuffers");
}

framebuffer::~framebuffer() {
    if (renderbuffer != 0) {
        glDeleteRenderbuffers(1, &renderbuffer);
        gl_check("gldeleterenderbuffers");
    }
    glDeleteFramebuffers(1, &id);
    gl_check("gldeleteframebuffers");
}

void framebuffer::bind() const {
    glBindFramebuffer(GL_FRAMEBUFFER, id);
    gl_check("glbindframebuffer");
    glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    gl_check("glviewport");
}

void framebuffer::unbind() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    gl_check("glbindframebuffer 0");
}

void framebuffer::bind_default() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    gl_check("glbindframebuffer default");
    glViewport(0, 0, static_cast<GLsizei>(sDefaultWidth), static_cast<GLsizei>(sDefaultHeight));
    gl_check("glviewport default");
}

void framebuffer::set_default_dimensions(unsigned int width, unsigned int height) {
    sDefaultWidth = width;
    sDefaultHeight = height;
}

void framebuffer::attach_texture(texture* t) {
    if (t == nullptr) {
        detach_texture();
        return;
    }
    bind();
    if (t->is_depth() && renderbuffer != 0) {
        glDeleteRenderbuffers(1, &renderbuffer);
        gl_check("gldeleterenderbuffers");
        renderbuffer = 0;
    }
    glFramebufferTexture2D(GL_FRAMEBUFFER, attachment_for(*t), GL_TEXTURE_2D, t->id(), 0);
    gl_check("glframebuffertexture2d");
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        util::fatal(1, "framebuffer dead: %i\n", static_cast<int>(status));
    }
    attached_texture = t;
}

void framebuffer::detach_texture() {
    if (attached_texture == nullptr) {
        return;
    }
    bind();
    glFramebufferTexture2D(GL_FRAMEBUFFER, attachment_for(*attached_texture), GL_TEXTURE_2D, 0, 0);
    gl_check("glframebuffertexture2d");
    const bool was_depth = attached_texture->is_depth();
    attached_texture = nullptr;
    if (was_depth) {
        make_renderbuffer();
    }
}

void framebuffer::make_renderbuffer() {
    bind();
    if (renderbuffer == 0) {
        glGenRenderbuffers(1, &renderbuffer);
        gl_check("glgenrenderbuffers");
    }
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
    gl_check("glbindrenderbuffer");
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, static_cast<GLsizei>(width),
                          static_cast<GLsizei>(height));
    gl_check("glrenderbufferstorage");
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, renderbuffer);
    gl_check("glframebufferrenderbuffer");
}

} // namespace tulk::graphics
