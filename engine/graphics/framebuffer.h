#pragma once

#include "engine/graphics/texture.h"

#include <GLES2/gl2.h>
#include <string>

namespace tulk::graphics {

// A GL framebuffer object of fixed size with one attached texture (not owned) and, when
// needed, a depth renderbuffer (owned). Binding it also sets the viewport to its size;
// bind_default returns to the window with the window's viewport. Every GL call is checked.
class framebuffer {
public:
    framebuffer(const std::string& name, unsigned int width, unsigned int height);
    // Deletes the framebuffer and its renderbuffer; the attached texture stays alive.
    ~framebuffer();

    framebuffer(const framebuffer&) = delete;
    framebuffer& operator=(const framebuffer&) = delete;

    // Binds and sets the viewport to this framebuffer's size.
    void bind() const;
    // Binds the window's framebuffer and leaves the viewport alone.
    static void unbind();
    // Binds the window's framebuffer with the default viewport.
    static void bind_default();
    // The window's size, recorded when it is created; 100 x 100 before.
    static void set_default_dimensions(unsigned int width, unsigned int height);

    // A depth texture goes to the depth attachment (replacing any renderbuffer), any other
    // to colour attachment 0. Ends the process with "framebuffer dead: <status>" when the
    // result is incomplete. Leaves this framebuffer bound; null detaches.
    void attach_texture(texture* t);
    // Detaches the texture; a detached depth texture is replaced by a depth renderbuffer.
    // Does nothing when no texture is attached.
    void detach_texture();
    // Gives this framebuffer a 16-bit depth renderbuffer of its size.
    void make_renderbuffer();

    texture* get_texture() const { return attached_texture; }
    unsigned int get_width() const { return width; }
    unsigned int get_height() const { return height; }

private:
    GLuint id = 0;
    GLuint renderbuffer = 0;
    std::string name;
    texture* attached_texture = nullptr;
    unsigned int width;
    unsigned int height;

    static unsigned int sDefaultWidth;
    static unsigned int sDefaultHeight;
};

} // namespace tulk::graphics
