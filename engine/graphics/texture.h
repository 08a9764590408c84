#pragma once

#include <GLES2/gl2.h>
#include <array>
#include <string>
#include <vector>

namespace tulk::graphics {

// One GL 2-D texture. A usable texture is constructed, given its pixels (or storage), then
// all four parameters; GL defaults are never relied on and no mipmaps are built.
//
// The class remembers which texture it last bound on each of the units 0 to 7, so binding
// the texture a unit already holds costs no glBindTexture. Texture calls are not error
// checked; errors surface at the next checked GL call.
class texture {
public:
    enum format : unsigned int { rgba = 0, depth = 1 };
    enum param : unsigned int { min_filter = 0, mag_filter = 1, wrap_s = 2, wrap_t = 3 };
    enum param_value : unsigned int { linear = 0, nearest = 1, clamp_to_edge = 2 };

    static constexpr unsigned int unit_count = 8;

    // A decoded picture: 8-bit RGBA, rows bottom first as GL wants them, so texture
    // coordinate t = 0 is the picture's bottom edge. Meant to live only until a texture is
    // built from it.
    class data {
    public:
        enum type : unsigned int { png = 0 };

        // A PNG of any colour type and depth loads as RGBA. One that cannot be read or
        // decoded, is not a regular file, or is wider or taller than GL_MAX_TEXTURE_SIZE
        // prints "error loading texture <file>: <reason>" and ends the process with
        // status 255. Any other type leaves the record empty.
        data(const std::string& filename, type t = png);

        // Null when nothing was loaded.
        const unsigned char* get() const { return pixels.empty() ? nullptr : pixels.data(); }
        unsigned int width() const { return pixel_width; }
        unsigned int height() const { return pixel_height; }

    private:
        std::vector<unsigned char> pixels;
        unsigned int pixel_width = 0;
        unsigned int pixel_height = 0;
    };

    texture(const std::string& name, format f);
    // Also uploads the data as set_data does; sets no parameters.
    texture(const std::string& name, const data& d, format f);
    // Deletes the GL texture and forgets it on every unit that recorded it, so a later
    // texture that GL gives the same name is still bound there.
    virtual ~texture();

    texture(const texture&) = delete;
    texture& operator=(const texture&) = delete;

    // Binds on unit 0 and uploads; null pixels allocate storage with undefined content.
    void set_data(unsigned int width, unsigned int height, const void* pixels);
    void set_data(const data& d);
    // Binds on unit 0. A value outside the enumerations hands GL_INVALID_ENUM to GL, which
    // rejects it and keeps the previous setting.
    void set_param(param p, param_value v);
    // Nearest texels, clamped at the edges: each texel drawn as it is, nothing from the
    // opposite edge.
    void set_nearest_clamped();

    // Makes `unit` active (always) and binds this texture there unless the unit already
    // holds it. Units past 7 are not recorded and always bind.
    void bind(unsigned int unit) const;

    // Forgets every recorded binding; the GL bindings themselves stay.
    static void reset_units();
    // The texture name recorded on `unit`; 0 for none or a unit past 7.
    static GLuint bound_on(unsigned int unit);

    GLuint id() const { return texture_id; }
    const std::string& name() const { return texture_name; }
    unsigned int get_width() const { return width; }
    unsigned int get_height() const { return height; }
    bool is_depth() const { return pixel_format == depth; }

    static GLenum param_to_enum(param p);
    static GLint param_value_to_enum(param_value v);

private:
    GLuint texture_id = 0;
    std::string texture_name;
    unsigned int width = 0;
    unsigned int height = 0;
    format pixel_format;

    static std::array<GLuint, unit_count> sUnits;
};

} // namespace tulk::graphics
