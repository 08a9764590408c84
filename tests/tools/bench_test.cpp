#include "bench/bench_run.h"
#include "bench/draw_list.h"
#include "bench/flight_script.h"
#include "bench/floor_renderer.h"
#include "bench/report.h"
#include "bench/stats.h"
#include "engine/audio/audio.h"
#include "engine/graphics/camera.h"
#include "engine/graphics/geometry.h"
#include "engine/graphics/model.h"
#include "engine/graphics/program.h"
#include "engine/graphics/scene.h"
#include "engine/io/png.h"
#include "game/game.h"
#include "game/game_clock.h"
#include "support/test_context.h"

#include <GLES2/gl2.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;
using tulk::graphics::camera;
using tulk::graphics::geometry;
using tulk::graphics::model;
using tulk::graphics::program;
using tulk::graphics::scene;

namespace {

model* flat_cube(const glm::vec3& pos, const glm::vec3& size, const glm::vec4& colour) {
    auto* m = new model;
    m->set_geometry(geometry::find("cube"));
    m->set_pos(pos);
    m->set_size(size);
    m->set_colour(colour);
    return m;
}

} // namespace

TEST(bench_stats, nearest_rank_percentiles) {
    std::vector<double> samples;
    for (int i = 100; i >= 1; --i) {
        samples.push_back(i);
    }
    const stats::summary s = stats::summarise(samples);
    EXPECT_EQ(s.median, 50.0);
    EXPECT_EQ(s.p95, 95.0);
    EXPECT_EQ(s.p99, 99.0);
    EXPECT_EQ(s.max, 100.0);
    // With few samples the high percentiles are the largest one.
    EXPECT_EQ(stats::percentile({3.0, 1.0, 2.0}, 0.99), 3.0);
    EXPECT_EQ(stats::percentile({3.0, 1.0, 2.0}, 0.5), 2.0);
    EXPECT_EQ(stats::summarise({}).max, 0.0);
}

// The floor must draw what the engine drew: with flat, unlit materials both come out the
// same pixel for pixel, outlines, blending and an overlay without depth test included.
TEST(bench_floor, replays_a_recorded_frame_to_the_same_pixels) {
    test_context ctx(96, 64);
    scene s;
    camera cam;
    cam.set_eye({1.0f, 2.0f, 6.0f});
    cam.set_centre({0.0f, 0.0f, 0.0f});
    cam.set_aspect_ratio(96.0f / 64.0f);
    cam.set_fovy(45.0f);
    s.set_camera(&cam);
    scene::set_global_shadows(false);
    scene::set_global_outlines(true);
    scene::set_global_outline_colour({1.0f, 1.0f, 0.0f});
    scene::set_global_outline_thickness(20);

    model* back = flat_cube({0.0f, 0.0f, -2.0f}, {4.0f, 3.0f, 0.5f}, {0.2f, 0.3f, 0.9f, 1.0f});
    model* outlined = flat_cube({-1.0f, 0.0f, 0.0f}, glm::vec3(1.0f), {0.0f, 0.8f, 0.0f, 1.0f});
    outlined->set_outlined(true);
    model* own_outline = flat_cube({1.0f, 0.5f, 0.0f}, {0.5f, 1.0f, 0.5f}, {1, 0, 0, 1});
    own_outline->set_outlined(true);
    own_outline->set_outline_colour({1.0f, 0.0f, 1.0f});
    model* glass = flat_cube({0.3f, -0.6f, 1.0f}, glm::vec3(0.8f), {1.0f, 1.0f, 1.0f, 0.5f});
    glass->set_transparent(true);
    for (model* m : {back, outlined, own_outline, glass}) {
        s.add_model(m);
    }
    // An overlay square, drawn on top without depth test as the game draws its texts.
    model overlay;
    overlay.set_geometry(geometry::find("square"));
    overlay.set_size(glm::vec3(0.5f));
    overlay.set_pos({0.5f, 0.5f, 0.0f});
    overlay.set_colour(glm::vec4(0.9f, 0.6f, 0.1f, 1.0f));
    overlay.set_depth_test(false);

    draw_list list;
    geometry::enable_get_draw_calls();
    geometry::get_draw_calls();
    list.start();
    s.draw();
    overlay.draw(glm::mat4(1.0f), cam.get_frustum(), nullptr, nullptr);
    list.stop();
    const std::vector<unsigned char> engine = ctx.pixels();
    EXPECT_EQ(list.get_entries().size(), geometry::get_draw_calls());
    EXPECT_EQ(list.get_entries().size(), 2u + 4u + 1u);
    EXPECT_EQ(list.get_entries().back().what, draw_list::shape::square);
    EXPECT_FALSE(list.get_entries().back().depth_test);
    EXPECT_TRUE(list.get_entries().front().cull_front);

    program* in_use = program::get_program_in_use();
    floor_renderer floor;
    floor.save();
    floor.draw(list);
    const std::vector<unsigned char> replayed = ctx.pixels();
    floor.restore();

    size_t differing = 0;
    for (size_t i = 0; i < engine.size(); ++i) {
        differing += std::abs(engine[i] - replayed[i]) > 1;
    }
    EXPECT_EQ(differing, 0u);
    // The picture shows every colour, so the comparison is not between two empty frames.
    const auto shows = [&replayed](int r, int g, int b) {
        for (size_t i = 0; i < replayed.size(); i += 4) {
            if (replayed[i] == r && replayed[i + 1] == g && replayed[i + 2] == b) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(shows(255, 255, 0));
    EXPECT_TRUE(shows(255, 0, 255));
    EXPECT_TRUE(shows(230, 153, 26));

    // The engine's belief about the current program and state holds again.
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    ASSERT_NE(in_use, nullptr);
    EXPECT_EQ(static_cast<GLuint>(current), in_use->get_id());
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    delete back;
    delete outlined;
    delete own_outline;
    delete glass;
}

TEST(bench_floor, shadow_pass_draws_are_counted_not_replayed) {
    test_context ctx(32, 32);
    scene s;
    camera cam;
    cam.set_eye({0.0f, 0.0f, 5.0f});
    cam.set_centre({0.0f, 0.0f, 0.0f});
    s.set_camera(&cam);
    s.set_shadow_camera(&cam);
    scene::set_global_shadows(true);
    model* m = flat_cube(glm::vec3(0.0f), glm::vec3(1.0f), glm::vec4(1.0f));
    s.add_model(m);

    draw_list list;
    list.start();
    s.draw();
    list.stop();
    EXPECT_EQ(list.get_entries().size(), 1u);
    EXPECT_EQ(list.get_skipped(), 1u);
    // Stopped, it records nothing more; started again, it starts empty.
    s.draw();
    EXPECT_EQ(list.get_entries().size(), 1u);
    list.start();
    EXPECT_TRUE(list.get_entries().empty());
    list.stop();
    delete m;
}

TEST(bench_run, record_survives_writing_and_reading) {
    bench_run::result r;
    r.width = 320;
    r.height = 240;
    r.renderer = "llvmpipe (LLVM 15, 256 bits)";
    r.startup_ms = 81.5;
    r.first_frame_ms = 20.25;
    r.peak_rss_kib = 107000;
    r.rss_window_kib = 70000;
    r.skipped_draws = 3;
    bench_run::frame f;
    f.kind = 'z';
    f.update_ms = 0.0125;
    f.whole_ms = 1.5;
    f.floor_ms = 1.25;
    f.draws = 120;
    f.switches = 7;
    f.allocations = 40;
    f.driver_allocations = 2;
    f.events = bench_run::texts_rebuilt | bench_run::pickup_eaten;
    r.frames = {f, bench_run::frame{}};

    const std::string path = make_temp_dir() + "/samples.txt";
    ASSERT_TRUE(bench_run::write(r, path));
    bench_run::result back;
    ASSERT_TRUE(bench_run::read(path, back));
    EXPECT_EQ(back.width, 320);
    EXPECT_EQ(back.renderer, r.renderer);
    EXPECT_DOUBLE_EQ(back.startup_ms, 81.5);
    EXPECT_DOUBLE_EQ(back.first_frame_ms, 20.25);
    EXPECT_EQ(back.peak_rss_kib, 107000);
    EXPECT_EQ(back.rss_window_kib, 70000);
    EXPECT_EQ(back.skipped_draws, 3u);
    ASSERT_EQ(back.frames.size(), 2u);
    EXPECT_EQ(back.frames[0].kind, 'z');
    EXPECT_DOUBLE_EQ(back.frames[0].update_ms, 0.0125);
    EXPECT_EQ(back.frames[0].draws, 120u);
    EXPECT_EQ(back.frames[0].allocations, 40u);
    EXPECT_EQ(back.frames[0].driver_allocations, 2u);
    EXPECT_EQ(back.frames[0].events, f.events);
    EXPECT_EQ(back.frames[1].kind, 'p');

    // A cut-off record is refused.
    fs::resize_file(path, fs::file_size(path) - 8);
    EXPECT_FALSE(bench_run::read(path, back));
    EXPECT_FALSE(bench_run::read(path + ".missing", back));
}

TEST(bench_report, counts_frames_and_explains_allocations) {
    bench_run::result r;
    const auto add = [&r](char kind, double whole, double floor, unsigned allocations,
                          unsigned events) {
        bench_run::frame f;
        f.kind = kind;
        f.whole_ms = whole;
        f.floor_ms = floor;
        f.allocations = allocations;
        f.events = events;
        r.frames.push_back(f);
    };
    add('t', 2.0, 1.0, 0, 0);
    add('p', 3.0, 2.0, 500, bench_run::game_started);
    add('p', 3.0, 2.0, 3, bench_run::pickup_eaten);
    add('p', 3.0, 2.0, 40, bench_run::texts_rebuilt);
    add('z', 3.0, 2.0, 0, 0);
    add('d', 3.0, 2.0, 2, 0);
    add('t', 3.0, 2.0, 2, bench_run::game_over);
    r.frames[4].driver_allocations = 9;

    const report::figures f = report::figure(r);
    EXPECT_EQ(f.title, 2u);
    EXPECT_EQ(f.play, 3u);
    EXPECT_EQ(f.paused, 1u);
    EXPECT_EQ(f.dying, 1u);
    EXPECT_EQ(f.allocating_start, 1u);
    EXPECT_EQ(f.allocating_eaten, 1u);
    EXPECT_EQ(f.allocating_texts, 1u);
    EXPECT_EQ(f.allocating_over, 1u);
    EXPECT_EQ(f.driver_allocating, 1u);
    // Only the dying frame allocated with nothing to explain it.
    EXPECT_EQ(f.allocating_other, std::vector<size_t>{5});
    EXPECT_DOUBLE_EQ(f.ratio_median, 1.5);
}

TEST(bench_report, writes_json_and_a_chart) {
    bench_run::result r;
    r.width = 64;
    r.height = 48;
    for (int i = 0; i < 50; ++i) {
        bench_run::frame f;
        f.whole_ms = 1.0 + i % 5;
        f.floor_ms = 1.0;
        r.frames.push_back(f);
    }
    report::machine where;
    where.cpu = "a \"quoted\" cpu";
    const report rep({r}, where);
    const std::string dir = make_temp_dir();
    ASSERT_TRUE(rep.write_json(dir + "/results.json"));
    ASSERT_TRUE(rep.write_plot(dir + "/frame_times.png"));

    std::ifstream in(dir + "/results.json");
    const std::string json((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(json.find("\"cpu\": \"a \\\"quoted\\\" cpu\""), std::string::npos);
    EXPECT_NE(json.find("\"whole_frame_ms\": {\"median\": 3, \"p95\": 5"), std::string::npos);
    EXPECT_NE(json.find("\"game_over_floor\": {\"median\": 3"), std::string::npos);
    EXPECT_NE(json.find("\"other\": []"), std::string::npos);

    std::vector<unsigned char> rgba;
    unsigned width = 0;
    unsigned height = 0;
    ASSERT_EQ(tulk::io::png::read(dir + "/frame_times.png", rgba, width, height), 0u);
    EXPECT_EQ(width, 1000u);
    EXPECT_EQ(height, 300u);
    fs::remove_all(dir);
}

// The scripted player against the real game: it waits on the title, starts, pauses once
// for as long as it was told, and feeds the snake.
TEST(bench_script, plays_the_real_game) {
    const std::string dir = enter_game_copy();
    static std::uint32_t now = 1000;
    game_clock::set_source([] { return now; });
    {
        test_context ctx(160, 120);
        tulk::audio::init();
        std::srand(1);
        game g(ctx.get_window());

        flight_script::settings settings;
        settings.title_frames = 3;
        settings.pause_at = 20;
        settings.pause_frames = 5;
        settings.feed_every = 10;
        flight_script script(settings);
        int started_at = -1;
        int paused_frames = 0;
        int first_pause = -1;
        for (int frame = 0; frame < 60; ++frame) {
            script.before_frame(g, frame);
            if (script.started_game()) {
                started_at = frame;
            }
            if (g.is_paused()) {
                ++paused_frames;
                first_pause = first_pause < 0 ? frame : first_pause;
            }
            g.frame();
            now += 32;
        }
        EXPECT_EQ(started_at, 3);
        EXPECT_EQ(first_pause, 20);
        EXPECT_EQ(paused_frames, 5);
        EXPECT_FALSE(g.in_title());
        // 50 steered frames (the rest start, pause or resume the game), a pickup every 10.
        EXPECT_EQ(g.get_score(), 5u);

        g.teardown_first();
        tulk::audio::destroy();
        g.teardown_second();
    }
    game_clock::set_source(nullptr);
    fs::remove_all(dir);
}
