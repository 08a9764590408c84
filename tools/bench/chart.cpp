#include "bench/chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

const glm::vec4 chart::ink(0.25f, 0.25f, 0.25f, 1.0f);

namespace {

const glm::vec4 grid_colour(0.88f, 0.88f, 0.88f, 1.0f);
constexpr int heading_scale = 2;

} // namespace

chart::chart(canvas& p, int l, int t, int w, int h, double highest)
    : picture(p), left(l), top(t), width(w), height(h) {
    // At most eight grid steps of 1, 2 or 5 times a power of ten.
    const double least = std::max(highest, 1.0) / 8.0;
    const double power = std::pow(10.0, std::floor(std::log10(least)));
    step = least <= power         ? power
           : least <= 2.0 * power ? 2.0 * power
           : least <= 5.0 * power ? 5.0 * power
                                  : 10.0 * power;
    top_ms = std::ceil(std::max(highest, 1.0) / step) * step;
}

int chart::x_at(double fraction) const {
    return left + static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * width));
}

int chart::y_at(double ms) const {
    const double clamped = std::clamp(ms / top_ms, 0.0, 1.0);
    return top + height - static_cast<int>(std::lround(clamped * height));
}

void chart::axes() {
    for (double ms = 0.0; ms <= top_ms + 1e-9; ms += step) {
        const int y = y_at(ms);
        picture.line(left, y, left + width, y, grid_colour);
        char value[16];
        std::snprintf(value, sizeof value, "%g", ms);
        picture.text(value, left - 6 - canvas::text_width(value, 1), y - 3, 1, 1, ink);
    }
    picture.line(left, top, left, top + height, ink);
    picture.line(left, top + height, left + width, top + height, ink);
}

void chart::heading(const pieces& parts, int row) {
    int x = left;
    const int y = top - 20 - 20 * row;
    for (const auto& [text, colour] : parts) {
        picture.text(text, x, y, heading_scale, heading_scale, colour);
        x += canvas::text_width(text, heading_scale) + 16;
    }
}

void chart::label(double fraction, const std::string& text) {
    const int x = x_at(fraction) - canvas::text_width(text, 1) / 2;
    picture.line(x_at(fraction), top + height, x_at(fraction), top + height + 3, ink);
    picture.text(text, x, top + height + 6, 1, 1, ink);
}

void chart::level(double ms, const glm::vec4& colour, int dash) {
    picture.line(left, y_at(ms), left + width, y_at(ms), colour, dash);
}

void chart::join(const std::vector<glm::dvec2>& points, const glm::vec4& colour, int dash) {
    for (size_t i = 0; i < points.size(); ++i) {
        mark(points[i].x, points[i].y, colour);
        if (i > 0) {
            // Two pixels thick, to stand out from the grid.
            for (int d = 0; d < 2; ++d) {
                picture.line(x_at(points[i - 1].x), y_at(points[i - 1].y) + d, x_at(points[i].x),
                             y_at(points[i].y) + d, colour, dash);
            }
        }
    }
}

void chart::mark(double fraction, double ms, const glm::vec4& colour, int size) {
    picture.fill_rect(x_at(fraction) - size / 2, y_at(ms) - size / 2, size, size, colour);
}

void chart::columns(const std::vector<double>& ms, const glm::vec4& colour) {
    const size_t n = ms.size();
    int last_y = -1;
    for (int column = 0; column < width && n > 0; ++column) {
        const size_t from = n * static_cast<size_t>(column) / width;
        const size_t to = std::max(from + 1, n * static_cast<size_t>(column + 1) / width);
        const double worst = *std::max_element(ms.begin() + from, ms.begin() + std::min(to, n));
        const int y = y_at(worst);
        picture.line(left + column, last_y < 0 ? y : last_y, left + column, y, colour);
        last_y = y;
    }
}
