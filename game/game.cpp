#include "game/game.h"

#include "engine/audio/audio.h"
#include "engine/graphics/draw_state.h"
#include "engine/graphics/geometry.h"
#include "engine/util/util.h"
#include "game/block.h"
#include "game/data_files.h"
#include "game/data_location.h"
#include "game/frame_loop.h"
#include "game/game_clock.h"
#include "game/high_score.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

namespace {

using tulk::graphics::model;
using tulk::graphics::scene;
using tulk::graphics::texture;

// Longer than this between two world updates, without the game running meanwhile, and
// the player has been away: the process was stopped or the machine suspended.
constexpr std::int64_t away_ms = 500;
// The top of the title card's area, as a share of the screen's height from the bottom.
constexpr float card_top_share = 0.9f;
// How long a watched replay's game over shows before the program ends.
constexpr std::uint32_t replay_over_ms = 2000;

// A quit asked for while the last saves are made (a quit key, a signal, the window's
// close): it ends the wait at once.
bool asked_to_quit(const key_bindings& keys) {
    SDL_PumpEvents();
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        if (event.type == SDL_QUIT || (event.type == SDL_KEYDOWN && event.key.repeat == 0 &&
                                       keys.action_of(event.key.keysym.scancode) == action::quit)) {
            return true;
        }
    }
    return false;
}

// A damaged sound file is named as it loads; a missing one would go silent unnamed.
void say_missing_sounds() {
    std::string missing;
    for (const char* path : {data_files::title_music, data_files::game_music,
                             data_files::death_sound, data_files::pickup_sound}) {
        std::error_code ec;
        if (!std::filesystem::exists(path, ec)) {
            missing += std::string(missing.empty() ? "" : ", ") + path;
        }
    }
    if (!missing.empty()) {
        std::printf("missing, so never heard: %s\n", missing.c_str());
        std::fflush(stdout);
    }
}

// The title camera's place on its orbit at `angle` degrees.
glm::vec3 title_eye(float angle) {
    const float a = glm::radians(angle);
    return {80.0f * std::sin(a), 20.0f, 80.0f * std::cos(a)};
}

} // namespace

game::game(const tulk::graphics::window& window, settings prefs_)
    : width(window.get_width()), height(window.get_height()),
      saver(data_location::high_score_file()), replays(data_location::high_score_file()),
      attract(prefs_.attract_mode.value_or(true), replays.best_file()),
      clip_volume(glm::mat4(1.0f)), prefs(std::move(prefs_)),
      smooth(prefs.smooth_motion.value_or(false)) {
    shown_in = &window;
    text::init();
    tulk::audio::load_folder("music");
    tulk::audio::load_folder("sfx");
    say_missing_sounds();

    set_up_cameras_and_light();
    make_scenes();
    make_title_card();
    high_score = read_high_score(data_location::high_score_file());
    saver.start_from(high_score);
    make_texts();
    make_game_over_texts();
    fit_menu_and_hints();
    make_backdrop();

    player = std::make_unique<snake>(*play_scene);
    field = std::make_unique<level>();
    field->reset(*play_scene, *title_scene);

    apply_volumes();
    tulk::audio::play_music(data_files::title_music);
}

void game::set_up_cameras_and_light() {
    chase_camera.set_eye(glm::vec3(16.0f, 10.0f, 16.0f));
    chase_camera.set_fovy(45.0f);

    title_camera.set_centre(glm::vec3(0.0f, 0.0f, -1.0f));
    title_camera.set_eye(glm::vec3(0.0f, 0.0f, 0.0f));
    title_camera.set_up(glm::vec3(0.0f, 1.0f, 0.0f));
    title_camera.set_fovy(45.0f);

    light.set_colour(glm::vec3(1.0f, 1.0f, 1.0f));
    light.set_direction(glm::vec3(0.5f, -0.9f, 0.5f));

    shadow_camera.set_projection(tulk::graphics::camera::projection::orthographic);
    shadow_camera.set_up(glm::vec3(0.0f, 1.0f, 0.0f));
    shadow_camera.set_view_height(105.655098f); // 61 times the square root of 3

    overlay_camera.set_projection(tulk::graphics::camera::projection::orthographic);
    overlay_camera.set_z_near(-1000.0f);
    overlay_camera.set_z_far(1000.0f);
    overlay_camera.set_up(glm::vec3(0.0f, 1.0f, 0.0f));
    fit_cameras();
}

void game::fit_cameras() {
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    chase_camera.set_aspect_ratio(aspect);
    title_camera.set_aspect_ratio(aspect);
    shadow_camera.set_aspect_ratio(aspect);
    // One unit is one pixel, with the origin at the bottom-left corner of the window.
    overlay_camera.set_view_height(static_cast<float>(height));
    overlay_camera.set_aspect_ratio(aspect);
    overlay_camera.set_centre(glm::vec3(width / 2.0f, height / 2.0f, -1.0f));
    overlay_camera.set_eye(glm::vec3(width / 2.0f, height / 2.0f, 0.0f));
}

void game::set_screen_size(int w, int h) {
    width = w;
    height = h;
    fit_cameras();
    scene::set_global_shadow_map_dimensions(glm::ivec2(2 * width, 2 * height));
    layout.set_screen(width, height);
    fit_title_card();
    fit_menu_and_hints();
}

glm::vec2 game::card_size(int screen_width, int screen_height, int picture_width,
                          int picture_height) {
    // The card's area is 0.75 W by 0.8 H pixels; compared in whole numbers, so that a
    // picture of the area's own shape fills it exactly.
    const long long picture_across = 16LL * picture_width * screen_height;
    const long long area_across = 15LL * picture_height * screen_width;
    const float sw = static_cast<float>(screen_width);
    const float sh = static_cast<float>(screen_height);
    const float aspect = static_cast<float>(picture_width) / static_cast<float>(picture_height);
    if (picture_across == area_across) {
        return {1.5f, 1.6f};
    }
    if (picture_across > area_across) {
        // Wider than the area: full width, shorter.
        return {1.5f, 1.5f * sw / (aspect * sh)};
    }
    return {1.6f * aspect * sh / sw, 1.6f};
}

void game::fit_title_card() {
    const glm::vec2 size = card_size(width, height, static_cast<int>(title_texture->get_width()),
                                     static_cast<int>(title_texture->get_height()));
    title_card->set_size(glm::vec3(size, 1.0f));
}

void game::make_scenes() {
    scene::set_global_shadow_map_dimensions(glm::ivec2(2 * width, 2 * height));
    scene::set_global_pcf(1);
    scene::set_global_shadows(false);
    scene::set_global_outline_colour(glm::vec3(1.0f, 1.0f, 0.0f));
    scene::set_global_outlines(true);
    scene::set_global_outline_thickness(10);

    play_scene = std::make_unique<scene>();
    title_scene = std::make_unique<scene>();
    play_scene->set_camera(&chase_camera);
    play_scene->set_shadow_camera(&shadow_camera);
    play_scene->set_light(&light);
    title_scene->set_shadow_camera(&shadow_camera);
    title_scene->set_camera(&title_camera);
    title_scene->set_light(&light);
}

void game::make_title_card() {
    {
        const texture::data picture(data_files::title_picture, texture::data::type::png);
        title_texture = std::make_unique<texture>("titletex", picture, texture::format::rgba);
    }
    title_texture->set_nearest_clamped();

    title_card = new model();
    fit_title_card();
    title_card->set_pos(glm::vec3(0.0f));
    title_card->set_texture(title_texture.get());
    title_card->set_colour(glm::vec3(1.0f, 1.0f, 1.0f));
    title_card->set_transparent(true);
    title_card->set_material_textured(true);
    title_card->set_geometry(tulk::graphics::geometry::find("cube"));
}

void game::make_texts() {
    layout.set_screen(width, height);
    const glm::vec2 top_left(0.0f, 1.0f);

    score_text = std::make_unique<text>();
    layout.add(*score_text, {top_left, glm::vec2(8.0f, -60.0f), 20.0f});
    score_text->set_string("score: ");
    score_text->add(tulk::util::itoa(0));

    // Above the title card's area even where 30 rows from the top would reach into it.
    high_score_text = std::make_unique<text>();
    layout.add(*high_score_text,
               {top_left, glm::vec2(8.0f, -30.0f), 12.0f, glm::vec2(0.0f), card_top_share});
    high_score_text->set_string("high score: ");
    high_score_text->add(tulk::util::itoa(static_cast<int>(high_score)));

    // In the score's size, under the title card: the card leaves at least 43 rows free
    // there on a 4:3 screen of 240 rows, and more on every screen tried, square or tall.
    last_score_text = std::make_unique<text>();
    layout.add(*last_score_text, {glm::vec2(0.0f), glm::vec2(8.0f, 22.0f), 20.0f});
    new_high_score_text = std::make_unique<text>();
    layout.add(*new_high_score_text, {glm::vec2(0.0f), glm::vec2(8.0f, 2.0f), 20.0f});
    new_high_score_text->set_string("NEW HIGH SCORE");

    pause_text = std::make_unique<text>();
    layout.add(*pause_text, {glm::vec2(0.5f), glm::vec2(0.0f), 30.0f, glm::vec2(-0.5f, -0.5f)});
    pause_text->set_string("paused");

    // A row of its own above the high score's, kept off the top edge on a short screen.
    changed_line = std::make_unique<notice>();
    layout.add(changed_line->get_text(),
               {glm::vec2(1.0f), glm::vec2(-8.0f, -16.0f), 12.0f, glm::vec2(-1.0f, 0.0f), 0.95f});
    menu = std::make_unique<pause_menu>(pause_menu::has_windows(SDL_GetCurrentVideoDriver()));
    hints = std::make_unique<title_hints>();
    hints->show(prefs.keys, pad_connected);

    replay_text = std::make_unique<text>();
    layout.add(*replay_text,
               {glm::vec2(0.5f, 1.0f), glm::vec2(0.0f, -40.0f), 20.0f, glm::vec2(-0.5f, -0.5f)});
    press_start_text = std::make_unique<text>();
    layout.add(*press_start_text,
               {glm::vec2(0.5f, 0.0f), glm::vec2(0.0f, 40.0f), 20.0f, glm::vec2(-0.5f, -0.5f)});
    press_start_text->set_string("PRESS START");
}

void game::make_game_over_texts() {
    // "GAME OVER" where "paused" would be, the score and the word on the best under it.
    const glm::vec2 centre(0.5f);
    const glm::vec2 centred(-0.5f);
    game_over_text = std::make_unique<text>();
    layout.add(*game_over_text, {centre, glm::vec2(0.0f), 30.0f, centred});
    game_over_text->set_string("GAME OVER");
    game_over_score_text = std::make_unique<text>();
    layout.add(*game_over_score_text, {centre, glm::vec2(0.0f, -34.0f), 20.0f, centred});
    game_over_best_text = std::make_unique<text>();
    layout.add(*game_over_best_text, {centre, glm::vec2(0.0f, -58.0f), 20.0f, centred});
    game_over_best_text->set_string("NEW HIGH SCORE");
}

void game::fit_menu_and_hints() {
    menu->place(width, height, pause_text->get_font_size(), layout.get_scale());
    const glm::vec2 card = glm::vec2(title_card->get_size()) / 2.0f *
                           glm::vec2(static_cast<float>(width), static_cast<float>(height));
    hints->place(width, height, card);
}

void game::make_backdrop() {
    backdrop_cubes.reserve(backdrop_cube_count);
    backdrop_offsets.reserve(backdrop_cube_count);
    for (int i = 0; i < backdrop_cube_count; ++i) {
        auto* cube = new model();
        // 80 to 119 units out in any direction.
        const glm::vec3 direction = tulk::util::random_unit_vector();
        backdrop_offsets.push_back(direction * static_cast<float>(tulk::util::rrand(80, 120)));
        cube->set_geometry(tulk::graphics::geometry::find("cube"));
        cube->set_casts_shadow(false);
        backdrop_cubes.push_back(cube);
        play_scene->add_model(cube);
        title_scene->add_model(cube);
    }
}

game::~game() {
    teardown_first();
    teardown_second();
}

unsigned game::get_score() const {
    return static_cast<unsigned>(player->get_length() - snake::start_length);
}

void game::act(action a, bool press) {
    const int hold = press ? 1 : 0;
    // Up dives, as a pilot pushes the stick; inverted, it climbs.
    const int nose_up = prefs.invert_pitch ? -hold : hold;
    if (a == action::mute || a == action::volume_down || a == action::volume_up) {
        if (press) {
            change_setting(a);
            show_notice();
        }
        return;
    }
    if (flow == state::title) {
        if (press && a == action::start) {
            start_game();
        }
        return;
    }
    if (shown == showing::best_run) {
        // Any press ends the show; start starts a game at once.
        if (press) {
            end_playback();
            if (a == action::start) {
                start_game();
            }
        }
        return;
    }
    if (shown == showing::replay && a != action::start) {
        return;
    }
    note_death();
    // The steering keys move the menu and, as ever, still set the snake's turns.
    if (press && flow == state::paused) {
        steer_menu(a);
    }
    switch (a) {
    case action::yaw_left:
        player->change_yaw(hold);
        break;
    case action::yaw_right:
        player->change_yaw(-hold);
        break;
    case action::pitch_up:
        player->change_pitch(nose_up);
        break;
    case action::pitch_down:
        player->change_pitch(-nose_up);
        break;
    case action::roll_left:
        player->change_roll(-hold);
        break;
    case action::roll_right:
        player->change_roll(hold);
        break;
    case action::double_speed:
        player->set_double_speed(press);
        break;
    case action::start:
        // A dying snake cannot be paused.
        if (press && flow == state::playing) {
            open_menu();
        } else if (press && flow == state::paused) {
            flow = state::playing;
        }
        break;
    default:
        break;
    }
}

void game::change_setting(action a) {
    if (a == action::mute) {
        prefs.mute = !prefs.mute;
    } else {
        prefs.change_volume(a == action::volume_up ? 1 : -1);
    }
    apply_volumes();
    save_settings();
}

void game::save_settings() {
    // Off the frame, once a burst of changes is over: a held minus would sync at every repeat.
    saver.save_later([changed = prefs]() mutable { changed.save(); });
}

void game::steer_menu(action a) {
    switch (a) {
    case action::pitch_down: // the Up key's
        menu_key(pause_menu::key::up);
        break;
    case action::pitch_up:
        menu_key(pause_menu::key::down);
        break;
    case action::yaw_left:
        menu_key(pause_menu::key::left);
        break;
    case action::yaw_right:
        menu_key(pause_menu::key::right);
        break;
    default:
        break;
    }
}

void game::menu_key(pause_menu::key k) {
    if (flow != state::paused) {
        return;
    }
    switch (menu->press(k, prefs)) {
    case pause_menu::outcome::changed:
        apply_volumes();
        save_settings();
        break;
    case pause_menu::outcome::resume:
        flow = state::playing;
        break;
    case pause_menu::outcome::quit:
        pending = request::quit;
        break;
    case pause_menu::outcome::smooth:
        // Kept for the next run; the command line still wins there.
        prefs.smooth_motion = !smooth;
        set_smooth_motion(!smooth);
        save_settings();
        break;
    case pause_menu::outcome::full_screen:
        // Kept for the next run as the volumes are; the frame loop switches the window.
        prefs.fullscreen = !shown_in->is_fullscreen();
        save_settings();
        pending = request::full_screen;
        break;
    default:
        break;
    }
}

std::optional<game::request> game::take_request() {
    return std::exchange(pending, std::nullopt);
}

void game::open_menu() {
    flow = state::paused;
    menu->reset();
}

void game::set_pad_connected(bool connected) {
    if (connected != pad_connected) {
        pad_connected = connected;
        hints->show(prefs.keys, pad_connected);
    }
}

void game::show_notice() {
    changed_line->show(notice::sound_line(prefs.music_volume, prefs.effects_volume, prefs.mute),
                       game_clock::now());
}

void game::apply_volumes() {
    tulk::audio::set_volumes(prefs.mute ? 0 : prefs.music_volume,
                             prefs.mute ? 0 : prefs.effects_volume);
}

void game::pause() {
    note_death();
    if (flow != state::playing) {
        return;
    }
    open_menu();
    player->change_yaw(0);
    player->change_pitch(0);
    player->change_roll(0);
    player->set_double_speed(false);
}

void game::frame() {
    update();
    draw();
}

void game::update() {
    place_cameras();
    // The player comes back to a paused game, not to a snake that flew on unsteered.
    const bool world_runs = flow == state::playing || flow == state::dying;
    if (world_runs && was_away()) {
        pause();
    }
    if (flow == state::playing || flow == state::dying) {
        update_world();
    } else {
        last_update_time.reset();
    }
    if (flow == state::title && shown == showing::game && !replay_ended) {
        if (std::optional<replay> best = attract.due(game_clock::now())) {
            start_playback(std::move(*best), showing::best_run);
        }
    }
    decay_outlines();
    if (smooth) {
        motion.capture(*player, *field, chase_camera, angle, game_clock::now());
    }
}

void game::set_smooth_motion(bool on) {
    if (smooth && !on) {
        // Every model drawn where it is, as without smooth motion.
        motion.place_models(1.0f);
    }
    smooth = on;
    motion.forget();
}

bool game::was_away() {
    const std::uint32_t now = game_clock::with_suspend();
    const std::uint32_t processor = game_clock::processor();
    // A slow frame of our own is no absence: it took processor time.
    const bool away =
        last_update_time && static_cast<std::int64_t>(now - *last_update_time) -
                                    static_cast<std::int64_t>(processor - last_update_processor) >
                                away_ms;
    last_update_time = now;
    last_update_processor = processor;
    return away;
}

void game::noticed_input() {
    if (flow == state::title) {
        attract.restart(game_clock::now());
    } else if (shown == showing::best_run) {
        end_playback();
    }
}

void game::watch(replay r) {
    start_playback(std::move(r), showing::replay);
}

bool game::replay_over() const {
    return replay_ended && game_clock::now() - *replay_ended >= replay_over_ms;
}

void game::start_playback(replay r, showing what) {
    shown = what;
    replay_text->set_string(what == showing::replay
                                ? std::string("REPLAY")
                                : "BEST RUN " + tulk::util::itoa(static_cast<int>(r.score)));
    // As a game starts, from the recording's seed.
    player->reset(*play_scene);
    tulk::util::reseed(r.seed);
    field->reset(*play_scene, *title_scene);
    playback = std::make_unique<replay_player>(std::move(r));
    show_score(0);
    tulk::audio::play_music(data_files::game_music);
    flow = state::playing;
}

void game::end_playback() {
    if (shown == showing::replay) {
        replay_ended = game_clock::now();
        last_score_text->set_string("SCORE ");
        last_score_text->add(tulk::util::itoa(static_cast<int>(playback->get_replay().score)));
        last_score = playback->get_replay().score;
        beat_best = false;
    }
    playback.reset();
    shown = showing::game;
    tulk::audio::play_music(data_files::title_music);
    flow = state::title;
    attract.restart(game_clock::now());
}

bool game::at_rest() const {
    return flow == state::paused && scene::get_global_outline_thickness() <= 10 && !shows_notice();
}

void game::start_game() {
    // A fresh snake and field: nothing is drawn on its way from the last game.
    motion.forget();
    player->reset(*play_scene);
    // Each game's random placement from a seed of its own, so that it can be replayed.
    const std::uint32_t seed = tulk::util::draw_seed();
    tulk::util::reseed(seed);
    recorder.start(seed);
    field->reset(*play_scene, *title_scene);
    tulk::audio::play_music(data_files::game_music);
    flow = state::playing;
    best_before_game = high_score;
}

void game::end_game() {
    const unsigned score = get_score();
    last_score_text->set_string("SCORE ");
    last_score_text->add(tulk::util::itoa(static_cast<int>(score)));
    last_score = score;
    beat_best = score > best_before_game;
    // Saved at the death already, unless a pickup came after it.
    saver.save(high_score);
    tulk::audio::play_music(data_files::title_music);
    flow = state::title;
    attract.restart(game_clock::now());
}

void game::place_cameras() {
    const glm::vec3& d = light.get_direction();
    const glm::vec3 eye = -100.0f * d;
    shadow_camera.set_eye(eye);
    shadow_camera.set_centre(eye + d);

    angle += 1.0f;
    title_camera.set_eye(title_eye(angle));
}

void game::update_world() {
    // The frame that ends the game still runs the whole update, then draws the title.
    // A game played back ends where its recording does; the clock decides nothing in it.
    const bool ends =
        playback ? playback->last_update_next() : player->get_dead() && player->get_death_done();
    if (ends && !playback) {
        end_game();
    }
    if (playback) {
        playback->before_update(*player);
    } else {
        recorder.before_update(*player);
    }
    player->update();
    field->update();

    const unsigned score = get_score();
    if (score != last_shown_score) {
        show_score(score);
    }

    player->self_intersecting();

    const block* head = player->get_head();
    if (!player->get_dead()) {
        chase_camera.set_centre(head->pos);
    }
    chase_camera.set_up(player->get_up());
    chase_camera.set_eye(chase_camera.get_centre() - 20.0f * player->get_direction() +
                         head->size.x * player->get_up());

    move_backdrop(chase_camera.get_eye());
    field->check_intersections(*player, *play_scene);
    if (playback) {
        playback->after_update(*player);
    } else {
        recorder.after_update(*player);
    }
    if (ends && playback) {
        end_playback();
    } else if (ends) {
        replays.keep(recorder.finish(*last_score, *player));
    }
    note_death();
}

void game::note_death() {
    // The game is lost: its score is safe from now on, whatever ends the process next.
    if (flow == state::playing && player->get_dead()) {
        flow = state::dying;
        if (!playback) {
            saver.save(high_score);
        }
        show_game_over(get_score());
    }
}

void game::show_score(unsigned score) {
    score_text->set_string("score: ");
    score_text->add(tulk::util::itoa(static_cast<int>(score)));
    // A game played back is no game of this player's.
    if (score >= high_score && !playback) {
        high_score = score;
        saver.note(high_score);
    }
    high_score_text->set_string("high score: ");
    high_score_text->add(tulk::util::itoa(static_cast<int>(high_score)));
    last_shown_score = score;
}

void game::decay_outlines() {
    int thickness =
        static_cast<int>(static_cast<float>(scene::get_global_outline_thickness()) * 0.9f);
    if (thickness < 10) {
        thickness = 10;
    }
    scene::set_global_outline_thickness(thickness);
}

void game::move_backdrop(const glm::vec3& eye) {
    for (size_t i = 0; i < backdrop_cubes.size(); ++i) {
        backdrop_cubes[i]->set_pos(eye + backdrop_offsets[i]);
    }
}

void game::draw_overlay(text& t) {
    t.get_model()->draw(overlay_camera.get_view_projection_matrix(), overlay_camera.get_frustum(),
                        nullptr, nullptr);
}

void game::show_game_over(unsigned score) {
    game_over_score_text->set_string("SCORE ");
    game_over_score_text->add(tulk::util::itoa(static_cast<int>(score)));
}

void game::draw_game_over() {
    draw_overlay(*game_over_text);
    draw_overlay(*game_over_score_text);
    // A game played back beats nothing.
    if (!playback && get_score() > best_before_game) {
        draw_overlay(*game_over_best_text);
    }
}

void game::draw_menu() {
    menu->show(prefs, {shown_in->is_fullscreen(), smooth});
    for (text* line : menu->get_texts()) {
        draw_overlay(*line);
    }
}

void game::draw_hints() {
    for (text* t : hints->get_texts()) {
        draw_overlay(*t);
    }
}

// With smooth motion the scene is drawn through a copy of its camera, placed between the
// last two updates; the world's own camera is left as the world set it.
void game::draw_scene(scene& s, tulk::graphics::camera& world_camera,
                      tulk::graphics::camera& drawn) {
    if (!smooth) {
        s.draw();
        return;
    }
    s.set_camera(&drawn);
    s.draw();
    s.set_camera(&world_camera);
}

void game::draw() {
    // One batch for the scene and the overlays, so that GL state carries across them.
    const tulk::graphics::draw_state::batch batch;
    const float alpha = smooth ? motion.alpha(game_clock::now(), frame_loop::period_ms) : 1.0f;
    if (flow != state::title) {
        if (smooth) {
            motion.place_models(alpha);
            const motion_interpolation::view v = motion.chase_at(alpha, chase_camera);
            drawn_chase_camera = chase_camera;
            drawn_chase_camera.set_centre(v.centre);
            drawn_chase_camera.set_up(v.up);
            drawn_chase_camera.set_eye(v.eye);
            move_backdrop(v.eye);
        }
        draw_scene(*play_scene, chase_camera, drawn_chase_camera);
        draw_overlay(*score_text);
        draw_overlay(*high_score_text);
        if (flow == state::paused) {
            draw_overlay(*pause_text);
            draw_menu();
        }
        if (flow == state::dying) {
            draw_game_over();
        }
        if (shows_notice()) {
            draw_overlay(changed_line->get_text());
        }
        if (shown != showing::game) {
            draw_overlay(*replay_text);
        }
        if (shown == showing::best_run) {
            draw_overlay(*press_start_text);
        }
        return;
    }
    if (smooth) {
        drawn_title_camera = title_camera;
        drawn_title_camera.set_eye(title_eye(motion.title_angle_at(alpha, angle)));
        move_backdrop(drawn_title_camera.get_eye());
    } else {
        move_backdrop(title_camera.get_eye());
    }
    draw_scene(*title_scene, title_camera, drawn_title_camera);
    title_card->draw(glm::mat4(1.0f), clip_volume, nullptr, nullptr);
    draw_hints();
    draw_overlay(*high_score_text);
    if (shows_last_score()) {
        draw_overlay(*last_score_text);
    }
    if (shows_new_high_score()) {
        draw_overlay(*new_high_score_text);
    }
    if (shows_notice()) {
        draw_overlay(changed_line->get_text());
    }
}

void game::teardown_first() {
    if (first_half_done) {
        return;
    }
    first_half_done = true;
    for (model* cube : backdrop_cubes) {
        delete cube;
    }
    delete title_card;
    title_card = nullptr;
    saver.finish(high_score_saver::quit_wait, [this] { return !asked_to_quit(prefs.keys); });
    text::destroy();
}

void game::teardown_second() {
    field.reset();
    player.reset();
    backdrop_cubes.clear();
    backdrop_offsets.clear();
    pause_text.reset();
    game_over_text.reset();
    game_over_score_text.reset();
    game_over_best_text.reset();
    menu.reset();
    hints.reset();
    changed_line.reset();
    replay_text.reset();
    press_start_text.reset();
    last_score_text.reset();
    new_high_score_text.reset();
    score_text.reset();
    high_score_text.reset();
    title_texture.reset();
    title_scene.reset();
    play_scene.reset();
}
