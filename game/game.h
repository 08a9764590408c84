#pragma once

#include "engine/graphics/camera.h"
#include "engine/graphics/light.h"
#include "engine/graphics/model.h"
#include "engine/graphics/scene.h"
#include "engine/graphics/texture.h"
#include "engine/graphics/window.h"
#include "engine/intersections/volume.h"
#include "game/action.h"
#include "game/attract_mode.h"
#include "game/game_clock.h"
#include "game/high_score_saver.h"
#include "game/level.h"
#include "game/motion_interpolation.h"
#include "game/notice.h"
#include "game/pause_menu.h"
#include "game/replay_player.h"
#include "game/replay_recorder.h"
#include "game/replay_store.h"
#include "game/settings.h"
#include "game/snake.h"
#include "game/text.h"
#include "game/text_layout.h"
#include "game/title_hints.h"

#include <SDL2/SDL.h>
#include <cstdint>
#include <glm/glm.hpp>
#include <memory>
#include <optional>
#include <vector>

// The game's long-lived objects and its per-frame work: the title, playing, paused and
// dying states, the key map, the cameras and what is drawn. A session makes it after
// tulk::init and tears it down in two halves around tulk::destroy, before the window goes.
class game {
public:
    static constexpr int backdrop_cube_count = 400;

    // Plays with `prefs`: its volumes and keys, and its file for the changes made in play.
    explicit game(const tulk::graphics::window& window, settings prefs = {});
    ~game();

    game(const game&) = delete;
    game& operator=(const game&) = delete;

    // A press or release of an action, from any input. Quitting and full screen are the
    // frame loop's; here they do nothing.
    void act(action a, bool press);
    // Pauses a game in play as left Alt would and lets go of every turn and speed input,
    // for a window that loses focus or a controller that goes away. Does nothing on the
    // title or while dying.
    void pause();
    // A key of the pause menu (paused only; the steering actions reach it through act).
    void menu_key(pause_menu::key k);
    // What the game asks of the frame loop, which alone can do it; taken once.
    enum class request { quit, full_screen };
    std::optional<request> take_request();
    // Whether a controller is connected, for the title card's lines on the controls.
    void set_pad_connected(bool connected);

    // Fits everything drawn to a new drawable size: the viewport's cameras, the shadow
    // map, the texts and the title card. The game itself goes on as it was.
    void set_screen_size(int width, int height);
    // The title card's size in clip space for a picture of this shape on this screen:
    // as large as fits the card's area (1.5 by 1.6) at the picture's own shape.
    static glm::vec2 card_size(int screen_width, int screen_height, int picture_width,
                               int picture_height);

    // One frame's game work, without the swap and the pacing: update, then draw.
    void frame();
    // The frame's halves: camera placement, the world update and the outline decay...
    void update();
    // ...and drawing the current state; with smooth motion, the world between the last two
    // updates as far as the clock has come from the last towards the next.
    void draw();

    // Smooth motion: frames drawn at the display's rate show the world between updates.
    // The world itself updates the same either way. Takes effect at the next frame.
    void set_smooth_motion(bool on);
    bool get_smooth_motion() const { return smooth; }

    // The destructor's two halves, each run once. First: backdrop and title card gone, high
    // score saved (waiting at most high_score_saver::quit_wait for another run's lock),
    // glyphs released.
    void teardown_first();
    // Then the rest, while the GL context still exists.
    void teardown_second();

    // Paused with nothing left moving: a frame would draw what the last one drew.
    bool at_rest() const;

    // Any key or button pressed, bound or not: on the title the wait for the attract mode
    // starts over, and a game shown by it ends.
    void noticed_input();
    // Plays `r` back in place of a game, with "REPLAY" shown; after its game over the
    // title shows its score for a moment and replay_over() turns true.
    void watch(replay r);
    bool replay_over() const;
    // What is shown in place of a game: nothing, a replay watched, the attract mode's.
    enum class showing { game, replay, best_run };
    showing get_showing() const { return shown; }

    // Where the game is: exactly one of these at a time.
    enum class state { title, playing, paused, dying };
    state get_state() const { return flow; }
    bool in_title() const { return flow == state::title; }
    bool is_paused() const { return flow == state::paused; }
    const key_bindings& get_keys() const { return prefs.keys; }
    const settings& get_settings() const { return prefs; }
    unsigned get_high_score() const { return high_score; }
    unsigned get_score() const;
    float get_angle() const { return angle; }
    snake& get_snake() { return *player; }
    level& get_level() { return *field; }
    text& get_score_text() { return *score_text; }
    text& get_high_score_text() { return *high_score_text; }
    text& get_pause_text() { return *pause_text; }
    text& get_replay_text() { return *replay_text; }
    text& get_press_start_text() { return *press_start_text; }
    // The title's word on the last game: its score, and whether it beat the best stored
    // before it. Shown from its game over until the next game starts.
    text& get_last_score_text() { return *last_score_text; }
    text& get_new_high_score_text() { return *new_high_score_text; }
    // From the death to the title: "GAME OVER", the score and whether it beat the best.
    bool shows_game_over() const { return flow == state::dying; }
    text& get_game_over_text() { return *game_over_text; }
    text& get_game_over_score_text() { return *game_over_score_text; }
    text& get_game_over_best_text() { return *game_over_best_text; }
    pause_menu& get_menu() { return *menu; }
    title_hints& get_hints() { return *hints; }
    // The line on what a key just changed, and whether it is up now.
    text& get_notice_text() { return changed_line->get_text(); }
    bool shows_notice() const { return changed_line->visible(game_clock::now()); }
    bool shows_last_score() const { return in_title() && last_score.has_value(); }
    bool shows_new_high_score() const { return shows_last_score() && beat_best; }
    // Where the texts sit; texts added to it follow every change of the screen's size.
    text_layout& get_text_layout() { return layout; }
    tulk::graphics::model& get_title_card() { return *title_card; }
    int get_width() const { return width; }
    int get_height() const { return height; }
    high_score_saver& get_saver() { return saver; }
    tulk::graphics::camera& get_chase_camera() { return chase_camera; }
    tulk::graphics::camera& get_title_camera() { return title_camera; }
    tulk::graphics::camera& get_shadow_camera() { return shadow_camera; }
    tulk::graphics::scene& get_play_scene() { return *play_scene; }
    tulk::graphics::scene& get_title_scene() { return *title_scene; }
    const std::vector<tulk::graphics::model*>& get_backdrop_cubes() const { return backdrop_cubes; }
    const std::vector<glm::vec3>& get_backdrop_offsets() const { return backdrop_offsets; }

private:
    // Set-up, in this order.
    void set_up_cameras_and_light();
    void fit_cameras();
    void make_scenes();
    void make_title_card();
    void fit_title_card();
    void make_texts();
    void make_backdrop();

    bool was_away();
    void place_cameras();
    void update_world();
    void decay_outlines();
    void start_game();
    // A snake that died in play turns the game to dying.
    void note_death();
    void end_game();
    void start_playback(replay r, showing what);
    void end_playback();
    void show_score(unsigned score);
    void draw_overlay(text& t);
    void make_game_over_texts();
    void show_game_over(unsigned score);
    void draw_game_over();
    void open_menu();
    void steer_menu(action a);
    void fit_menu_and_hints();
    void draw_menu();
    void draw_hints();
    void show_notice();
    void move_backdrop(const glm::vec3& eye);
    void draw_scene(tulk::graphics::scene& s, tulk::graphics::camera& world_camera,
                    tulk::graphics::camera& drawn);

    int width;
    int height;
    high_score_saver saver;
    replay_store replays;
    replay_recorder recorder;
    attract_mode attract;
    std::unique_ptr<replay_player> playback;
    showing shown = showing::game;
    // When a watched replay's game ended.
    std::optional<std::uint32_t> replay_ended;

    tulk::graphics::camera chase_camera;
    tulk::graphics::camera title_camera;
    tulk::graphics::light light;
    tulk::graphics::camera shadow_camera;
    tulk::graphics::camera overlay_camera;
    // The title card is placed straight in clip space, so it is culled against this.
    tulk::intersections::volume clip_volume;
    std::unique_ptr<tulk::graphics::scene> play_scene;
    std::unique_ptr<tulk::graphics::scene> title_scene;
    std::unique_ptr<tulk::graphics::texture> title_texture;
    tulk::graphics::model* title_card = nullptr;
    unsigned high_score = 0;
    std::unique_ptr<text> score_text;
    std::unique_ptr<text> high_score_text;
    std::unique_ptr<text> pause_text;
    // "REPLAY" or "BEST RUN n" over a game played back, and the attract mode's hint.
    std::unique_ptr<text> replay_text;
    std::unique_ptr<text> press_start_text;
    std::unique_ptr<text> last_score_text;
    std::unique_ptr<text> new_high_score_text;
    std::unique_ptr<text> game_over_text;
    std::unique_ptr<text> game_over_score_text;
    std::unique_ptr<text> game_over_best_text;
    std::unique_ptr<pause_menu> menu;
    std::unique_ptr<title_hints> hints;
    std::unique_ptr<notice> changed_line;
    // The window, read for whether it is full screen; switching it is the frame loop's.
    const tulk::graphics::window* shown_in = nullptr;
    std::optional<request> pending;
    bool pad_connected = false;
    unsigned best_before_game = 0;
    // The score of the last game that ended, and whether it beat the best before it.
    std::optional<unsigned> last_score;
    bool beat_best = false;
    text_layout layout;
    std::vector<tulk::graphics::model*> backdrop_cubes;
    std::vector<glm::vec3> backdrop_offsets;
    std::unique_ptr<snake> player;
    std::unique_ptr<level> field;

    void apply_volumes();
    void change_setting(action a);
    void save_settings();

    settings prefs;

    // When the last world update ran, by both clocks; none while the world stands still.
    std::optional<std::uint32_t> last_update_time;
    std::uint32_t last_update_processor = 0;

    // Smooth motion, its last two updates, and the cameras it draws with.
    bool smooth = false;
    motion_interpolation motion;
    tulk::graphics::camera drawn_chase_camera;
    tulk::graphics::camera drawn_title_camera;

    state flow = state::title;
    unsigned last_shown_score = 0;
    // Orbit of the title camera in degrees; never wrapped.
    float angle = 20.0f;
    bool first_half_done = false;
};
