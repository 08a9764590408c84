#include "support/test_context.h"

#include "engine/graphics/engine.h"
#include "engine/io/png.h"

#include <GLES2/gl2.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

void use_headless_video() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
}

std::string make_temp_dir() {
    std::string pattern = "/tmp/ardlow-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    return pattern;
}

test_context::test_context(int width, int height) {
    use_headless_video();
    win = std::make_unique<tulk::graphics::window>("test", 0, 0, width, height, false, false);
    tulk::graphics::init();
    glViewport(0, 0, width, height);
}

test_context::~test_context() = default;

glm::u8vec4 test_context::pixel(int x, int y) const {
    glm::u8vec4 rgba;
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &rgba);
    return rgba;
}

std::vector<unsigned char> test_context::pixels() const {
    std::vector<unsigned char> data(static_cast<size_t>(width()) * height() * 4);
    glReadPixels(0, 0, width(), height(), GL_RGBA, GL_UNSIGNED_BYTE, data.data());
    return data;
}

void test_context::save_png(const std::string& path) const {
    const auto bottom_up = pixels();
    const size_t row = static_cast<size_t>(width()) * 4;
    std::vector<unsigned char> top_down(bottom_up.size());
    for (int y = 0; y < height(); ++y) {
        std::copy_n(bottom_up.begin() + static_cast<long>(row * y), row,
                    top_down.begin() + static_cast<long>(row * (height() - 1 - y)));
    }
    tulk::io::png::write(path, top_down, static_cast<unsigned>(width()),
                         static_cast<unsigned>(height()));
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
