#include "support/test_context.h"

#include "engine/graphics/engine.h"
#include "game/block.h"

#include <GLES2/gl2.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

std::string make_temp_dir() {
    static std::vector<std::string> made; // outlives the handler registered after it
    std::string pattern = "/tmp/ardlow-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    if (made.empty()) {
        std::atexit([] {
            std::error_code ignored; // a child that dropped its rights cannot remove them
            for (const std::string& dir : made) {
                std::filesystem::remove_all(dir, ignored);
            }
        });
    }
    made.push_back(pattern);
    return pattern;
}

test_context::test_context(int width, int height) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    win = std::make_unique<tulk::graphics::window>("test", 0, 0, width, height, false, false);
    tulk::graphics::init();
    glViewport(0, 0, width, height);
}

glm::u8vec4 test_context::pixel(int x, int y) const {
    glm::u8vec4 rgba;
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &rgba);
    return rgba;
}

SDL_Event key_event(Uint32 type, SDL_Scancode code, Uint16 mod, bool repeat) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.scancode = code;
    event.key.keysym.mod = mod;
    event.key.repeat = repeat ? 1 : 0;
    return event;
}

void push(SDL_Event event) {
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

std::vector<unsigned char> read_pixels(int width, int height) {
    std::vector<unsigned char> data(static_cast<size_t>(width) * height * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, data.data());
    return data;
}

std::unique_ptr<session> start_session(int width, int height, settings prefs) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    return std::make_unique<session>(
        session::window_options{"test", 0, 0, width, height, false, false},
        [](session::step done) {
            if (done == session::step::engine) {
                std::srand(1);
            }
        },
        std::move(prefs));
}

void put_pickup_ahead(game& g) {
    const snake& s = g.get_snake();
    g.get_level().get_pickups().front()->set_pos(s.get_head()->pos + 0.4f * s.get_direction());
}

void stdout_to_stderr() {
    std::fflush(stdout);
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

std::string enter_game_copy() {
    namespace fs = std::filesystem;
    const fs::path stage = std::getenv("ARDLOW_STAGE_DIR");
    const std::string dir = make_temp_dir();
    for (const char* folder : {"textures", "music", "sfx"}) {
        fs::copy(stage / folder, fs::path(dir) / folder, fs::copy_options::recursive);
    }
    fs::current_path(dir);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    return dir;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
