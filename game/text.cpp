#include "game/text.h"

#include "engine/graphics/geometry.h"
#include "engine/io/folder.h"
#include "game/data_files.h"
#include "game/glyph_table.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <set>
#include <vector>

using tulk::graphics::geometry;
using tulk::graphics::model;
using tulk::graphics::texture;

std::map<char, texture*> text::sFontMap;
std::vector<texture*> text::sSpareTextures;

text::text() : model(new tulk::graphics::model) {
    // The root only carries the transform and colour; at size zero it shows nothing.
    model->set_geometry(geometry::find("square"));
    model->set_size(glm::vec3(0.0f));
    model->set_depth_test(false);
}

text::~text() {
    delete model;
}

void text::set_string(const std::string& s) {
    characters = s;
    make_text_model();
}

void text::add(const std::string& s) {
    characters += s;
    make_text_model();
}

void text::add(char c) {
    characters += c;
    make_text_model();
}

void text::set_font_size(float size) {
    font_size = size;
    glyph_width = size;
    make_text_model();
}

void text::set_glyph_size(float height, float width) {
    if (font_size == height && glyph_width == width) {
        return;
    }
    font_size = height;
    glyph_width = width;
    make_text_model();
}

void text::set_normalized_origin(const glm::vec2& origin) {
    normalized_origin = origin;
    make_text_model();
}

void text::set_pos(const glm::vec2& pos) {
    model->set_pos(glm::vec3(pos, 0.0f));
}

void text::set_pos(const glm::vec3& pos) {
    model->set_pos(pos);
}

glm::vec3 text::get_pos() const {
    return model->get_pos();
}

void text::set_colour(const glm::vec3& colour) {
    model->set_colour(colour);
    for (size_t i = 0; i < model->get_child_count(); ++i) {
        model->get_child(i)->set_colour(colour);
    }
}

glm::vec3 text::get_colour() const {
    return glm::vec3(model->get_colour());
}

void text::init() {
    // Both listings read the same directory in the same order, so entry i of the
    // stripped one names entry i of the whole one without its extension.
    const std::vector<std::string> files =
        tulk::io::folder(data_files::font_folder, false, false).get_filenames();
    const std::vector<std::string> stems =
        tulk::io::folder(data_files::font_folder, true, false).get_filenames();
    // Should the folder change between the two reads, pair only what both saw.
    const size_t count = std::min(files.size(), stems.size());

    std::set<std::string> wanted;
    for (const auto& [c, name] : glyph_table::names()) {
        wanted.insert(name);
    }
    std::map<std::string, texture*> loaded;
    for (size_t i = 0; i < count; ++i) {
        // What other systems leave on a copied card (Thumbs.db, desktop.ini, notes).
        if (wanted.count(stems[i]) == 0) {
            std::printf("%s/%s skipped: no glyph has that name\n", data_files::font_folder,
                        files[i].c_str());
            std::fflush(stdout);
            continue;
        }
        texture* glyph;
        {
            const texture::data image(std::string(data_files::font_folder) + "/" + files[i],
                                      texture::data::png);
            glyph = new texture(files[i], image, texture::rgba);
        }
        glyph->set_nearest_clamped();
        texture*& slot = loaded[stems[i]];
        if (slot != nullptr) {
            sSpareTextures.push_back(slot);
        }
        slot = glyph;
    }

    std::string missing;
    for (const auto& [c, name] : glyph_table::names()) {
        const auto found = loaded.find(name);
        if (found == loaded.end()) {
            sFontMap[c] = nullptr;
            missing += " " + name;
        } else {
            sFontMap[c] = found->second;
            loaded.erase(found);
        }
    }
    for (const auto& [name, spare] : loaded) {
        sSpareTextures.push_back(spare);
    }
    // Their characters draw as plain blocks; a player should learn why.
    if (!missing.empty()) {
        std::printf("glyphs missing from %s, drawn as blocks:%s\n", data_files::font_folder,
                    missing.c_str());
        std::fflush(stdout);
    }
}

void text::destroy() {
    for (auto& [c, glyph] : sFontMap) {
        delete glyph;
    }
    sFontMap.clear();
    for (texture* spare : sSpareTextures) {
        delete spare;
    }
    sSpareTextures.clear();
}

void text::make_text_model() {
    while (model->get_child(0) != nullptr) {
        model->delete_child(model->get_child(0));
    }

    length = static_cast<float>(characters.size()) * glyph_width;
    const float x0 = length * normalized_origin.x + glyph_width * 0.5f;
    const float y0 = font_size * normalized_origin.y + font_size * 0.5f;

    // From the registry, not the root: the root's geometry can be changed through get_model.
    geometry* square = geometry::find("square");
    for (size_t i = 0; i < characters.size(); ++i) {
        const char c = characters[i];
        auto* glyph = new tulk::graphics::model;
        if (c == ' ') {
            // Spaces still take their place in the line.
            glyph->set_visible(false);
        }
        glyph->set_geometry(square);
        const char key = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        texture* picture = sFontMap[key];
        glyph->set_texture(picture);
        // A picture wider than the cell carries an outline past it, drawn over the
        // neighbours' empty margins: the letter keeps its size and place.
        const float overhang = picture == nullptr
                                   ? 1.0f
                                   : static_cast<float>(picture->get_width()) / glyph_table::cell;
        glyph->set_size(glm::vec3(glyph_width * overhang, font_size * overhang, font_size));
        glyph->set_pos(glm::vec3(x0 + glyph_width * static_cast<float>(i), y0, 0.0f));
        // A rebuild keeps the text's colour.
        glyph->set_colour(get_colour());
        glyph->set_material_textured(true);
        glyph->set_transparent(true);
        glyph->set_material_lit(false);
        glyph->set_depth_test(false);
        model->add_child(glyph);
    }
}
