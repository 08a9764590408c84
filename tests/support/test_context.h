#pragma once

#include "engine/graphics/window.h"
#include "game/session.h"

#include <glm/glm.hpp>
#include <memory>
#include <string>
#include <vector>

// A key event as SDL delivers it, and an event put on SDL's queue.
SDL_Event key_event(Uint32 type, SDL_Scancode code, Uint16 mod = KMOD_NONE, bool repeat = false);
void push(SDL_Event event);

// The bound framebuffer's pixels from (0, 0) up to the given size.
std::vector<unsigned char> read_pixels(int width, int height);

// A real GL ES 2.0 context (SDL offscreen on Mesa) of an explicit size; graphics, no audio.
class test_context {
public:
    explicit test_context(int width = 64, int height = 64);

    int width() const { return win->get_width(); }
    int height() const { return win->get_height(); }

    // Pixels of the bound framebuffer, (0, 0) at the bottom left as GL counts them.
    glm::u8vec4 pixel(int x, int y) const;
    std::vector<unsigned char> pixels() const { return read_pixels(width(), height()); }

private:
    std::unique_ptr<tulk::graphics::window> win;
};

// The whole game in an offscreen window, seeded alike every run. Enter a game copy first.
std::unique_ptr<session> start_session(int width, int height, settings prefs = {});

// Path of a fresh, empty directory for one test's files, removed when the process exits.
std::string make_temp_dir();

// Puts the game's first pickup where the snake's head will be after the next update.
void put_pickup_ahead(game& g);

// First in a death test: the engine's fatal messages go to stdout, death tests read stderr.
void stdout_to_stderr();

// Makes a fresh copy of the staged data the working directory, with dummy audio; returns it.
std::string enter_game_copy();

// The whole file as bytes; empty if it cannot be read.
std::string read_file(const std::string& path);
