#include "engine/graphics/texture.h"

#include "engine/io/png.h"
#include "engine/util/fatal.h"

#include <algorithm>
#include <utility>

namespace tulk::graphics {

std::array<GLuint, texture::unit_count> texture::sUnits{};

texture::data::data(const std::string& filename, type t) {
    if (t != png) {
        return;
    }
    std::vector<unsigned char> decoded;
    unsigned int w = 0;
    unsigned int h = 0;
    // Refused from its header when the GPU cannot hold it; 0 (no context) sets no limit.
    GLint most = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &most);
    const unsigned int code =
        io::png::read(filename, decoded, w, h, static_cast<unsigned int>(std::max(most, 0)));
    if (code != 0) {
        util::fatal(255, "error loading texture %s: %s\n", filename.c_str(),
                    io::png::error_text(code));
    }
    // Decoded rows run top first; GL's run bottom first. Turned over in place, so a large
    // picture is never held twice.
    const size_t row = static_cast<size_t>(w) * 4;
    for (size_t y = 0; y < h / 2; ++y) {
        std::swap_ranges(decoded.begin() + static_cast<std::ptrdiff_t>(row * y),
                         decoded.begin() + static_cast<std::ptrdiff_t>(row * (y + 1)),
                         decoded.begin() + static_cast<std::ptrdiff_t>(row * (h - 1 - y)));
    }
    pixels = std::move(decoded);
    pixel_width = w;
    pixel_height = h;
}

texture::texture(const std::string& name, format f) : texture_name(name), pixel_format(f) {
    glGenTextures(1, &texture_id);
}

texture::texture(const std::string& name, const data& d, format f) : texture(name, f) {
    set_data(d);
}

texture::~texture() {
    glDeleteTextures(1, &texture_id);
    // GL unbinds a deleted texture; the record must agree, or a texture that later receives
    // the same name would be taken as already bound.
    for (GLuint& bound : sUnits) {
        if (bound == texture_id) {
            bound = 0;
        }
    }
}

void texture::set_data(unsigned int width, unsigned int height, const void* pixels) {
    bind(0);
    this->width = width;
    this->height = height;
    const GLenum f = is_depth() ? GL_DEPTH_COMPONENT : GL_RGBA;
    const GLenum type = is_depth() ? GL_UNSIGNED_SHORT : GL_UNSIGNED_BYTE;
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(f), static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, f, type, pixels);
}

void texture::set_data(const data& d) {
    set_data(d.width(), d.height(), d.get());
}

void texture::set_param(param p, param_value v) {
    bind(0);
    glTexParameteri(GL_TEXTURE_2D, param_to_enum(p), param_value_to_enum(v));
}

void texture::set_nearest_clamped() {
    set_param(min_filter, nearest);
    set_param(mag_filter, nearest);
    set_param(wrap_s, clamp_to_edge);
    set_param(wrap_t, clamp_to_edge);
}

void texture::bind(unsigned int unit) const {
    glActiveTexture(GL_TEXTURE0 + unit);
    if (unit >= unit_count) {
        glBindTexture(GL_TEXTURE_2D, texture_id);
        return;
    }
    if (sUnits[unit] == texture_id) {
        return;
    }
    glBindTexture(GL_TEXTURE_2D, texture_id);
    sUnits[unit] = texture_id;
}

void texture::reset_units() {
    sUnits.fill(0);
}

GLuint texture::bound_on(unsigned int unit) {
    return unit < unit_count ? sUnits[unit] : 0;
}

GLenum texture::param_to_enum(param p) {
    switch (p) {
    case min_filter:
        return GL_TEXTURE_MIN_FILTER;
    case mag_filter:
        return GL_TEXTURE_MAG_FILTER;
    case wrap_s:
        return GL_TEXTURE_WRAP_S;
    case wrap_t:
        return GL_TEXTURE_WRAP_T;
    }
    return GL_INVALID_ENUM;
}

GLint texture::param_value_to_enum(param_value v) {
    switch (v) {
    case linear:
        return GL_LINEAR;
    case nearest:
        return GL_NEAREST;
    case clamp_to_edge:
        return GL_CLAMP_TO_EDGE;
    }
    return GL_INVALID_ENUM;
}

} // namespace tulk::graphics
