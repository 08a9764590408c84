#pragma once

#include <cstdint>
#include <glm/glm.hpp>
#include <vector>

class block;

namespace tulk::graphics {
class scene;
}

// The player's snake: a chain of cube blocks, head first, that flies continuously along
// its heading, turns with damped yaw, pitch and roll rates, and drags its tapering body
// along its own path.
class snake {
public:
    // The length of a fresh snake; the score is the length minus this.
    static constexpr int start_length = 10;
    // Degrees per update a held turn key adds to its rate, and the most a rate reaches
    // (twice that at double speed).
    static constexpr float turn_step = 0.4f;
    static constexpr float turn_limit = 16.0f;
    // Milliseconds the death animation runs.
    static constexpr std::uint32_t death_duration = 2000;

    explicit snake(tulk::graphics::scene& scene);
    ~snake();

    snake(const snake&) = delete;
    snake& operator=(const snake&) = delete;

    // Back to the start state with ten fresh blocks in the scene.
    void reset(tulk::graphics::scene& scene);

    // One world step: flight while alive, the death shiver while dead.
    void update();

    // Turn inputs (-1, 0, 1 from the keys; any integer acts as a factor) and double speed,
    // taken at the next update.
    void change_pitch(int k);
    void change_yaw(int k);
    void change_roll(int k);
    void set_double_speed(bool on);

    // The inputs as the next update takes them.
    int get_pitch_input() const { return pitch_input; }
    int get_yaw_input() const { return yaw_input; }
    int get_roll_input() const { return roll_input; }
    bool get_double_speed() const { return double_speed; }

    block* get_head() const;
    const std::vector<block*>& get_blocks() const { return blocks; }
    const glm::vec3& get_direction() const { return direction; }
    const glm::vec3& get_up() const { return up; }
    const glm::vec3& get_right() const { return right; }
    float get_pitch_rate() const { return pitch_rate; }
    float get_yaw_rate() const { return yaw_rate; }
    float get_roll_rate() const { return roll_rate; }
    bool get_dead() const { return dead; }
    int get_length() const { return static_cast<int>(blocks.size()); }
    std::uint32_t get_death_time() const { return death_time; }

    // Whether the death animation has run its two seconds (only meaningful while dead).
    bool get_death_done() const;

    // Kills the snake: records the time and plays the blast, on every call.
    void set_dead();

    // Kills the snake when its head overlaps any block from index 10 on.
    void self_intersecting();

    // Takes ownership of b and appends it as the new tail on the old tail's place, then
    // re-tapers every block.
    void add_to_end(block* b);

private:
    void destroy_blocks();
    void fly();
    void shiver();

    std::vector<block*> blocks;
    float speed = 0.4f;
    float pitch_rate = 0.0f;
    float yaw_rate = 0.0f;
    float roll_rate = 0.0f;
    glm::vec3 direction{0.0f};
    glm::vec3 up{0.0f};
    glm::vec3 right{0.0f};
    int pitch_input = 0;
    int yaw_input = 0;
    int roll_input = 0;
    bool double_speed = false;
    bool dead = false;
    std::uint32_t death_time = 0;
};
