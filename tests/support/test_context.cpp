#include "support/test_context.h"

#include "engine/graphics/engine.h"

#include <GLES2/gl2.h>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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

void write_test_wav(const std::string& path, double seconds, int amplitude) {
    constexpr std::uint32_t rate = 44100;
    const auto samples = static_cast<std::uint32_t>(seconds * rate);
    std::ofstream out(path, std::ios::binary);
    const auto put = [&out](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            out.put(static_cast<char>((value >> (8 * i)) & 0xff));
        }
    };
    out << "RIFF";
    put(36 + samples * 2, 4);
    out << "WAVEfmt ";
    // Format size, PCM and mono, rate, bytes a second, 2-byte frames of 16 bits.
    for (const std::uint32_t field : {16u, 1u << 16 | 1u, rate, rate * 2u, 16u << 16 | 2u}) {
        put(field, 4);
    }
    out << "data";
    put(samples * 2, 4);
    for (std::uint32_t i = 0; i < samples; ++i) {
        const double s = amplitude * std::sin(2.0 * M_PI * 440.0 * i / rate);
        put(static_cast<std::uint16_t>(static_cast<std::int16_t>(s)), 2);
    }
}

tulk::graphics::camera ortho_camera(float height, const glm::vec3& eye, const glm::vec3& up) {
    tulk::graphics::camera c;
    c.set_projection(tulk::graphics::camera::orthographic);
    c.set_view_height(height);
    c.set_up(up);
    c.set_eye(eye);
    return c;
}
