#pragma once

#include "engine/graphics/model.h"
#include "engine/graphics/texture.h"

#include <glm/glm.hpp>
#include <map>
#include <string>
#include <vector>

// A line of fixed-width bitmap glyphs: a root model carrying position and colour, with
// one textured square per character under it. The owner draws get_model().
class text {
public:
    text();
    virtual ~text();

    text(const text&) = delete;
    text& operator=(const text&) = delete;

    void set_string(const std::string& s);
    void add(const std::string& s);
    void add(char c);
    void set_font_size(float size);
    // Glyphs `height` tall and `width` across (also the advance), where a line must keep
    // the width of one drawn in another font; set_font_size makes them square again.
    void set_glyph_size(float height, float width);
    // Where the text box sits relative to the position, in box widths and heights:
    // (0, 0) puts its lower-left corner there, (-0.5, -0.5) centres it.
    void set_normalized_origin(const glm::vec2& origin);

    // Moving or recolouring keeps the glyph models; only the setters above rebuild.
    void set_pos(const glm::vec2& pos);
    void set_pos(const glm::vec3& pos);
    glm::vec3 get_pos() const;
    void set_colour(const glm::vec3& colour);
    glm::vec3 get_colour() const;

    const std::string& get_string() const { return characters; }
    float get_font_size() const { return font_size; }
    float get_glyph_width() const { return glyph_width; }
    const glm::vec2& get_normalized_origin() const { return normalized_origin; }
    float get_length() const { return length; }
    tulk::graphics::model* get_model() { return model; }

    // Loads every PNG of "textures/font" (relative to the working directory) and fills
    // the glyph table. Call once, with a GL context and the built-in geometry ready.
    static void init();
    // Releases the glyph textures and empties the table. Texts must no longer be drawn.
    static void destroy();

    // The glyph of each character, upper case only; owns the textures. A lookup of a
    // character without a glyph leaves a null entry behind.
    static std::map<char, tulk::graphics::texture*> sFontMap;

private:
    void make_text_model();

    // Textures loaded from the font folder that no character uses (a stray file, or one
    // whose name another file already gave); destroy() releases them with the glyphs.
    static std::vector<tulk::graphics::texture*> sSpareTextures;

    std::string characters;
    tulk::graphics::model* model;
    glm::vec2 normalized_origin{0.0f, 0.0f};
    float font_size = 10.0f;
    float glyph_width = 10.0f;
    float length = 0.0f;
};
