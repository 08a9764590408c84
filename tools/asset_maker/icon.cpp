#include "asset_maker/icon.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Shapes are placed on a unit square, y downwards like the picture.
struct cube {
    glm::vec2 centre;
    float size;
    glm::vec3 colour;
};

// Each cube shows its front, its top and its right side, the faces leaning up and right.
constexpr float depth = 0.35f;
constexpr int samples = 4; // per pixel along each axis

std::vector<cube> scene() {
    const glm::vec3 tail(0.1f, 0.45f, 0.2f);
    const glm::vec3 head(0.35f, 0.95f, 0.4f);
    const glm::vec2 centres[] = {{0.17f, 0.72f}, {0.29f, 0.69f}, {0.42f, 0.70f},
                                 {0.55f, 0.65f}, {0.66f, 0.55f}, {0.74f, 0.41f}};
    const float sizes[] = {0.09f, 0.11f, 0.13f, 0.15f, 0.17f, 0.19f};
    std::vector<cube> cubes;
    for (int i = 0; i < 6; ++i) {
        cubes.push_back({centres[i], sizes[i], glm::mix(tail, head, static_cast<float>(i) / 5.0f)});
    }
    cubes.push_back({{0.81f, 0.17f}, 0.10f, {1.0f, 0.85f, 0.2f}}); // the pickup
    return cubes;
}

bool in_box(glm::vec2 p, glm::vec2 low, glm::vec2 high) {
    return p.x >= low.x && p.x < high.x && p.y >= low.y && p.y < high.y;
}

// The colour of a cube's face under `p`, nearer faces first; alpha 0 where it shows none.
glm::vec4 cube_colour(const cube& c, glm::vec2 p) {
    const glm::vec2 low = c.centre - c.size / 2.0f;
    const glm::vec2 high = c.centre + c.size / 2.0f;
    const float d = c.size * depth;
    if (in_box(p, low, high)) {
        return glm::vec4(c.colour, 1.0f);
    }
    // How far up the slanted faces the point lies, 0 at the front face, 1 at the back.
    const float up = (low.y - p.y) / d;
    if (up >= 0.0f && up <= 1.0f && p.x - d * up >= low.x && p.x - d * up < high.x) {
        return glm::vec4(glm::min(c.colour * 1.35f, glm::vec3(1.0f)), 1.0f);
    }
    const float right = (p.x - high.x) / d;
    if (right >= 0.0f && right <= 1.0f && p.y + d * right >= low.y && p.y + d * right < high.y) {
        return glm::vec4(c.colour * 0.55f, 1.0f);
    }
    return glm::vec4(0.0f);
}

glm::vec4 colour_at(const std::vector<cube>& cubes, glm::vec2 p) {
    // A tile with rounded corners, dark blue to purple like the title card.
    constexpr float inset = 0.03f;
    constexpr float radius = 0.16f;
    const glm::vec2 corner =
        glm::clamp(p, glm::vec2(inset + radius), glm::vec2(1.0f - inset - radius));
    if (glm::length(p - corner) > radius) {
        return glm::vec4(0.0f);
    }
    glm::vec4 colour =
        glm::mix(glm::vec4(0.06f, 0.08f, 0.24f, 1.0f), glm::vec4(0.22f, 0.05f, 0.30f, 1.0f), p.y);
    // Later cubes are nearer: the head hides the body behind it.
    for (const cube& c : cubes) {
        const glm::vec4 face = cube_colour(c, p);
        if (face.a > 0.0f) {
            colour = face;
        }
    }
    // Two eyes on the head's front face.
    const cube& head = cubes[5];
    for (const float y : {-0.22f, 0.14f}) {
        const glm::vec2 eye = head.centre + glm::vec2(0.16f, y) * head.size;
        if (in_box(p, eye, eye + 0.2f * head.size)) {
            colour = glm::vec4(0.05f, 0.05f, 0.1f, 1.0f);
        }
    }
    return colour;
}

} // namespace

namespace icon {

canvas draw(int size) {
    const std::vector<cube> cubes = scene();
    canvas picture(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // The average of samples spread over the pixel smooths the edges; colours are
            // summed weighted by alpha so the transparent surround does not darken them.
            glm::vec4 sum(0.0f);
            for (int j = 0; j < samples; ++j) {
                for (int i = 0; i < samples; ++i) {
                    const glm::vec2 p((x + (i + 0.5f) / samples) / size,
                                      (y + (j + 0.5f) / samples) / size);
                    const glm::vec4 c = colour_at(cubes, p);
                    sum += glm::vec4(glm::vec3(c) * c.a, c.a);
                }
            }
            if (sum.a > 0.0f) {
                picture.set(x, y, glm::vec4(glm::vec3(sum) / sum.a, sum.a / (samples * samples)));
            }
        }
    }
    return picture;
}

} // namespace icon
