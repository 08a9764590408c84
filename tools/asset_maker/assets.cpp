#include "asset_maker/assets.h"

#include "asset_maker/effects.h"
#include "asset_maker/icon.h"
#include "asset_maker/ogg_writer.h"
#include "asset_maker/tunes.h"
#include "asset_maker/wav_writer.h"
#include "engine/io/png.h"
#include "game/data_files.h"
#include "game/glyph_table.h"
#include "image/canvas.h"
#include "image/pixel_font.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

constexpr int glyph_scale = 4;
// Dark texels around the strokes keep white text readable over white. Three texels,
// because the game shrinks a 32-texel cell to as little as 12 pixels and samples the
// nearest texel: a band narrower than 32 / 12 texels would fall between the samples in
// places. The picture is larger than the cell, so the band has room above and below.
constexpr int outline_width = 3;
constexpr float music_quality = 0.2f;

bool make_folder(const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        std::printf("asset_maker: cannot create %s: %s\n", folder.c_str(), ec.message().c_str());
        return false;
    }
    return true;
}

bool make_parent(const std::string& path) {
    return make_folder(std::filesystem::path(path).parent_path().string());
}

// Laid out as in an icon theme.
std::string icon_path(int size) {
    return std::to_string(size) + "x" + std::to_string(size) + "/apps/ardlow.png";
}

bool save(const canvas& picture, const std::string& path) {
    const unsigned error = picture.save(path);
    if (error != 0) {
        std::printf("asset_maker: cannot write %s: %s\n", path.c_str(),
                    tulk::io::png::error_text(error));
        return false;
    }
    return true;
}

bool reported(bool ok, const std::string& path) {
    if (!ok) {
        std::printf("asset_maker: cannot write %s\n", path.c_str());
    }
    return ok;
}

// A small fixed-seed generator, so the title's scattered squares never move.
std::uint32_t next_random(std::uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

void draw_scattered_cubes(canvas& c) {
    std::uint32_t state = 20240601u;
    for (int i = 0; i < 90; ++i) {
        const int size = 4 + static_cast<int>(next_random(state) % 10);
        const int x = static_cast<int>(next_random(state) % static_cast<unsigned>(c.width()));
        const int y = static_cast<int>(next_random(state) % static_cast<unsigned>(c.height()));
        const float alpha = 0.08f + static_cast<float>(next_random(state) % 100) / 800.0f;
        c.fill_rect(x, y, size, size, glm::vec4(0.5f, 0.8f, 1.0f, alpha));
    }
}

// A snake of squares tapering to its tail on the left, heading for a pickup, centred.
void draw_snake(canvas& c, int centre_y) {
    constexpr int blocks = 12;
    constexpr int gap = 6;
    constexpr int pickup_distance = 56;
    constexpr int pickup_size = 32;
    int sizes[blocks];
    int length = -gap;
    for (int i = 0; i < blocks; ++i) {
        sizes[i] = 12 + i * 20 / (blocks - 1);
        length += sizes[i] + gap;
    }
    int x = (c.width() - (length + pickup_distance + pickup_size)) / 2;
    for (int i = 0; i < blocks; ++i) {
        const float t = static_cast<float>(i) / (blocks - 1);
        const glm::vec4 colour =
            glm::mix(glm::vec4(0.1f, 0.45f, 0.2f, 1.0f), glm::vec4(0.35f, 0.95f, 0.4f, 1.0f), t);
        c.fill_rect(x, centre_y - sizes[i] / 2, sizes[i], sizes[i], colour);
        x += sizes[i] + gap;
    }
    const int head_right = x - gap;
    const glm::vec4 eye(0.05f, 0.05f, 0.1f, 1.0f);
    c.fill_rect(head_right - 12, centre_y - 10, 6, 6, eye);
    c.fill_rect(head_right - 12, centre_y + 4, 6, 6, eye);
    const int pickup_x = head_right + pickup_distance;
    c.fill_rect(pickup_x + 6, centre_y - 10, 20, 20, glm::vec4(1.0f, 0.85f, 0.2f, 1.0f));
    c.frame(pickup_x, centre_y - 16, pickup_size, pickup_size, 2,
            glm::vec4(1.0f, 1.0f, 0.3f, 0.6f));
}

// Makes every transparent texel within `outline_width` texels of an opaque one opaque black.
void outline(canvas& c) {
    const canvas strokes = c;
    for (int y = 0; y < c.height(); ++y) {
        for (int x = 0; x < c.width(); ++x) {
            if (strokes.get(x, y).a != 0) {
                continue;
            }
            bool near = false;
            for (int dy = -outline_width; dy <= outline_width && !near; ++dy) {
                for (int dx = -outline_width; dx <= outline_width && !near; ++dx) {
                    near = strokes.get(x + dx, y + dy).a != 0;
                }
            }
            if (near) {
                c.set(x, y, glm::vec4(0.0f, 0.0f, 0.0f, 1.0f));
            }
        }
    }
}

} // namespace

namespace assets {

bool make_font(const std::string& folder) {
    if (!make_folder(folder)) {
        return false;
    }
    // The glyph is centred in a square with a margin, so neighbouring letters never touch.
    const int left = (glyph_table::picture - pixel_font::width * glyph_scale) / 2;
    const int top = (glyph_table::picture - pixel_font::height * glyph_scale) / 2;
    for (const auto& [c, name] : glyph_table::names()) {
        canvas glyph(glyph_table::picture, glyph_table::picture);
        glyph.text(std::string(1, c), left, top, glyph_scale, glyph_scale, glm::vec4(1.0f));
        outline(glyph);
        if (!save(glyph, folder + "/" + name + ".png")) {
            return false;
        }
    }
    return true;
}

bool make_title(const std::string& path) {
    // The shape of the card's area on the 800x480 screen the game was drawn for, so that
    // there every texel is one pixel; the game shows it at this shape on any screen.
    if (!make_parent(path)) {
        return false;
    }
    canvas c(assets::title_width, assets::title_height);
    c.vertical_gradient(glm::vec4(0.04f, 0.06f, 0.2f, 1.0f), glm::vec4(0.2f, 0.04f, 0.26f, 1.0f));
    draw_scattered_cubes(c);
    c.frame(6, 6, c.width() - 12, c.height() - 12, 4, glm::vec4(1.0f, 0.78f, 0.2f, 1.0f));
    c.frame(16, 16, c.width() - 32, c.height() - 32, 2, glm::vec4(0.3f, 0.85f, 0.9f, 0.8f));

    const std::string name = "ARDLOW";
    const int name_x = (c.width() - canvas::text_width(name, 14)) / 2;
    c.text(name, name_x + 5, 36, 14, 12, glm::vec4(0.0f, 0.0f, 0.0f, 0.5f));
    c.text(name, name_x, 30, 14, 12, glm::vec4(1.0f, 0.95f, 0.4f, 1.0f),
           glm::vec4(1.0f, 0.45f, 0.1f, 1.0f));

    draw_snake(c, 148);

    // The lines on the controls are the game's to write, from the keys in use.
    return save(c, path);
}

bool make_music(const std::string& stage) {
    const std::string title = stage + "/" + data_files::title_music;
    const std::string game = stage + "/" + data_files::game_music;
    return make_parent(title) && make_parent(game) &&
           reported(ogg_writer::write(title, tunes::ouroboros().samples(), 2, synth::rate,
                                      music_quality, 0x41524431, "Ouroboros"),
                    title) &&
           reported(ogg_writer::write(game, tunes::buff_proof().samples(), 2, synth::rate,
                                      music_quality, 0x41524432, "Buff Proof"),
                    game);
}

bool make_effects(const std::string& stage) {
    const std::string death = stage + "/" + data_files::death_sound;
    const std::string pickup = stage + "/" + data_files::pickup_sound;
    return make_parent(death) && make_parent(pickup) &&
           reported(wav_writer::write(death, effects::blast().pcm16_mono(), 1, synth::rate),
                    death) &&
           reported(wav_writer::write(pickup, effects::pickup().pcm16_mono(), 1, synth::rate),
                    pickup);
}

bool make_icons(const std::string& folder) {
    for (const int size : icon::sizes) {
        const std::string path = folder + "/" + icon_path(size);
        if (!make_parent(path) || !save(icon::draw(size), path)) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> files() {
    std::vector<std::string> names = {data_files::title_picture, data_files::title_music,
                                      data_files::game_music, data_files::death_sound,
                                      data_files::pickup_sound};
    for (const auto& [c, name] : glyph_table::names()) {
        names.push_back(std::string(data_files::font_folder) + "/" + name + ".png");
    }
    for (const int size : icon::sizes) {
        names.push_back("icons/" + icon_path(size));
    }
    return names;
}

bool up_to_date(const std::string& stage, const std::filesystem::file_time_type& maker_time) {
    for (const std::string& name : files()) {
        std::error_code ec;
        const auto written = std::filesystem::last_write_time(stage + "/" + name, ec);
        if (ec || written < maker_time) {
            return false;
        }
    }
    return true;
}

bool make_all(const std::string& stage) {
    return make_font(stage + "/" + data_files::font_folder) &&
           make_title(stage + "/" + data_files::title_picture) && make_music(stage) &&
           make_effects(stage) && make_icons(stage + "/icons");
}

} // namespace assets
