#pragma once

#include "image/canvas.h"

#include <glm/glm.hpp>
#include <string>
#include <utility>
#include <vector>

// One panel of a chart painted on a canvas: milliseconds up the side from 0 to a round
// top, grid lines with their values, a heading that doubles as the legend, and marks.
class chart {
public:
    // (text, colour) pieces of a heading, left to right.
    using pieces = std::vector<std::pair<std::string, glm::vec4>>;

    static const glm::vec4 ink;

    // The plot area: `width` by `height` pixels from (left, top), for values from 0 up
    // to at least `highest` milliseconds.
    chart(canvas& picture, int left, int top, int width, int height, double highest);

    int x_at(double fraction) const; // 0 at the left edge, 1 at the right
    int y_at(double ms) const;       // kept inside the panel

    // Grid lines with their values at the side, and the two axes.
    void axes();
    // A heading line above the panel, `row` lines up from the lowest.
    void heading(const pieces& parts, int row = 0);
    // A label under the bottom axis, centred on `fraction`.
    void label(double fraction, const std::string& text);
    // A horizontal line across the panel.
    void level(double ms, const glm::vec4& colour, int dash = 0);
    // Points at (fraction, ms), joined by lines and each marked with a small square.
    void join(const std::vector<glm::dvec2>& points, const glm::vec4& colour, int dash = 0);
    void mark(double fraction, double ms, const glm::vec4& colour, int size = 5);
    // A series of samples across the panel, each pixel column showing its slowest.
    void columns(const std::vector<double>& ms, const glm::vec4& colour);

private:
    canvas& picture;
    int left;
    int top;
    int width;
    int height;
    double step = 2.0; // between grid lines
    double top_ms = 0.0;
};
