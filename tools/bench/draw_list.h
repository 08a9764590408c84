#pragma once

#include "engine/graphics/model.h"

#include <cstdint>
#include <glm/glm.hpp>
#include <vector>

namespace tulk::graphics {
class geometry;
}

// The draws of one frame as the engine issued them: shape, final matrix, flat colour and
// the few switches of fixed state they ran under. Filled through the model's draw
// observer while recording, and replayed by the floor.
class draw_list {
public:
    enum class shape : std::uint8_t { cube, square };

    struct entry {
        glm::mat4 mvp;
        glm::vec4 colour;
        shape what;
        bool cull_front; // the outline pass draws back faces
        bool depth_test;
        bool blend;
    };

    // Room for this many draws without allocating while recording.
    explicit draw_list(size_t capacity = 4096);
    ~draw_list();

    draw_list(const draw_list&) = delete;
    draw_list& operator=(const draw_list&) = delete;

    // Empties the list and makes it the one the engine's draws go to. Needs the built-in
    // geometry.
    void start();
    // The engine's draws go nowhere again.
    void stop();

    const std::vector<entry>& get_entries() const { return entries; }
    // Draws of the shadow pass and of shapes other than the cube and the square: the floor
    // has no counterpart for them, so they are only counted.
    unsigned get_skipped() const { return skipped; }

private:
    static void observe(const tulk::graphics::model& m, tulk::graphics::model::pass p,
                        const glm::mat4& mvp);
    void add(const tulk::graphics::model& m, tulk::graphics::model::pass p, const glm::mat4& mvp);

    std::vector<entry> entries;
    unsigned skipped = 0;
    const tulk::graphics::geometry* cube = nullptr;
    const tulk::graphics::geometry* square = nullptr;
    // The engine sets depth testing and blending per model and the outline pass only ever
    // turns depth testing on, so both carry over from draw to draw and frame to frame,
    // starting from the engine's initial state.
    bool depth_on = true;
    bool blend_on = false;

    static draw_list* sRecording;
};
