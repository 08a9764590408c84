#include "image/canvas.h"

#include "engine/io/png.h"
#include "image/pixel_font.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>

namespace {

unsigned char to_byte(float v) {
    return static_cast<unsigned char>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

} // namespace

canvas::canvas(int width, int height)
    : w(width), h(height), data(static_cast<std::size_t>(width) * height * 4, 0) {}

glm::u8vec4 canvas::get(int x, int y) const {
    if (x < 0 || x >= w || y < 0 || y >= h) {
        return glm::u8vec4(0);
    }
    const std::size_t i = (static_cast<std::size_t>(y) * w + x) * 4;
    return glm::u8vec4(data[i], data[i + 1], data[i + 2], data[i + 3]);
}

void canvas::set(int x, int y, const glm::vec4& colour) {
    if (x < 0 || x >= w || y < 0 || y >= h) {
        return;
    }
    const std::size_t i = (static_cast<std::size_t>(y) * w + x) * 4;
    for (int c = 0; c < 4; ++c) {
        data[i + c] = to_byte(colour[c]);
    }
}

void canvas::blend(int x, int y, const glm::vec4& colour) {
    const glm::vec4 under = glm::vec4(get(x, y)) / 255.0f;
    const float a = colour.a + under.a * (1.0f - colour.a);
    if (a <= 0.0f) {
        set(x, y, glm::vec4(0.0f));
        return;
    }
    const glm::vec3 rgb =
        (glm::vec3(colour) * colour.a + glm::vec3(under) * under.a * (1.0f - colour.a)) / a;
    set(x, y, glm::vec4(rgb, a));
}

void canvas::fill_rect(int x, int y, int width, int height, const glm::vec4& colour) {
    for (int j = y; j < y + height; ++j) {
        for (int i = x; i < x + width; ++i) {
            blend(i, j, colour);
        }
    }
}

void canvas::frame(int x, int y, int width, int height, int thickness, const glm::vec4& colour) {
    fill_rect(x, y, width, thickness, colour);
    fill_rect(x, y + height - thickness, width, thickness, colour);
    fill_rect(x, y + thickness, thickness, height - 2 * thickness, colour);
    fill_rect(x + width - thickness, y + thickness, thickness, height - 2 * thickness, colour);
}

void canvas::line(int x0, int y0, int x1, int y1, const glm::vec4& colour, int dash) {
    // Bresenham's: one pixel per step along the longer axis.
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    for (int n = 0;; ++n) {
        if (dash <= 0 || (n / dash) % 2 == 0) {
            set(x0, y0, colour);
        }
        if (x0 == x1 && y0 == y1) {
            return;
        }
        const int e2 = 2 * error;
        if (e2 >= dy) {
            error += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}

void canvas::vertical_gradient(const glm::vec4& top, const glm::vec4& bottom) {
    for (int y = 0; y < h; ++y) {
        const float t = h > 1 ? static_cast<float>(y) / static_cast<float>(h - 1) : 0.0f;
        const glm::vec4 colour = glm::mix(top, bottom, t);
        for (int x = 0; x < w; ++x) {
            set(x, y, colour);
        }
    }
}

void canvas::text(const std::string& s, int x, int y, int sx, int sy, const glm::vec4& top,
                  const glm::vec4& bottom) {
    const int advance = (pixel_font::width + 1) * sx;
    for (std::size_t n = 0; n < s.size(); ++n) {
        const int left = x + static_cast<int>(n) * advance;
        for (int row = 0; row < pixel_font::height; ++row) {
            const float t = static_cast<float>(row) / (pixel_font::height - 1);
            const glm::vec4 colour = glm::mix(top, bottom, t);
            for (int col = 0; col < pixel_font::width; ++col) {
                if (pixel_font::pixel(s[n], col, row)) {
                    fill_rect(left + col * sx, y + row * sy, sx, sy, colour);
                }
            }
        }
    }
}

int canvas::text_width(const std::string& s, int sx) {
    if (s.empty()) {
        return 0;
    }
    return static_cast<int>(s.size()) * (pixel_font::width + 1) * sx - sx;
}

unsigned canvas::save(const std::string& path) const {
    return tulk::io::png::write(path, data, static_cast<unsigned>(w), static_cast<unsigned>(h));
}
