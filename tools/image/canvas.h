#pragma once

#include <glm/glm.hpp>
#include <string>
#include <vector>

// An RGBA picture to paint on, top row first as PNG stores it; it starts fully transparent.
class canvas {
public:
    canvas(int width, int height);

    int width() const { return w; }
    int height() const { return h; }
    const std::vector<unsigned char>& rgba() const { return data; }
    glm::u8vec4 get(int x, int y) const;

    // Painting clips to the picture. Colours are 0..1; blending is "over" by alpha.
    void set(int x, int y, const glm::vec4& colour);
    void blend(int x, int y, const glm::vec4& colour);
    void fill_rect(int x, int y, int width, int height, const glm::vec4& colour);
    void frame(int x, int y, int width, int height, int thickness, const glm::vec4& colour);
    // A one-pixel line with both ends included; with `dash` > 0 it draws that many pixels,
    // leaves as many out, and so on.
    void line(int x0, int y0, int x1, int y1, const glm::vec4& colour, int dash = 0);
    void vertical_gradient(const glm::vec4& top, const glm::vec4& bottom);

    // Text in the pixel font, each font pixel a block of sx by sy, with one blank column
    // between characters. The colour runs from top to bottom over the glyph height.
    void text(const std::string& s, int x, int y, int sx, int sy, const glm::vec4& top,
              const glm::vec4& bottom);
    void text(const std::string& s, int x, int y, int sx, int sy, const glm::vec4& colour) {
        text(s, x, y, sx, sy, colour, colour);
    }
    static int text_width(const std::string& s, int sx);

    // Returns 0 on success, else the PNG writer's error code.
    unsigned save(const std::string& path) const;

private:
    int w;
    int h;
    std::vector<unsigned char> data;
};
