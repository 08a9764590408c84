#include "bench/arguments.h"
#include "bench/floor_renderer.h"
#include "bench/report.h"
#include "engine/graphics/camera.h"
#include "engine/graphics/geometry.h"
#include "engine/graphics/program.h"
#include "engine/graphics/scene.h"
#include "support/test_context.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>

using namespace tulk::graphics;
using nlohmann::json;

// The floor replays the engine's frame pixel for pixel but the shadow pass (own framebuffer).
TEST(bench_floor, replays_a_recorded_frame_to_the_same_pixels) {
    test_context ctx(96, 64);
    scene s;
    camera cam;
    cam.set_eye({1.0f, 2.0f, 6.0f});
    s.set_camera(&cam);
    s.set_shadow_camera(&cam);
    scene::set_global_shadows(true);
    scene::set_global_outlines(true);
    scene::set_global_outline_colour({1.0f, 1.0f, 0.0f});
    model models[5];
    const glm::vec4 places[5][3] = {{{0, 0, -2, 0}, {4, 3, 0.5, 0}, {0.2, 0.3, 0.9, 1}},
                                    {{-1, 0, 0, 0}, {1, 1, 1, 0}, {0, 0.8, 0, 1}},
                                    {{1, 0.5, 0, 0}, {0.5, 1, 0.5, 0}, {1, 0, 0, 1}},
                                    {{0.3, -0.6, 1, 0}, {0.8, 0.8, 0.8, 0}, {1, 1, 1, 0.5}},
                                    {{0.5, 0.5, 0, 0}, {0.5, 0.5, 0.5, 0}, {0.9, 0.6, 0.1, 1}}};
    for (int i = 0; i < 5; ++i) {
        models[i].set_geometry(geometry::find(i < 4 ? "cube" : "square"));
        models[i].set_pos(places[i][0]);
        models[i].set_size(places[i][1]);
        models[i].set_colour(places[i][2]);
        models[i].set_outlined(i == 1 || i == 2);
        models[i].set_transparent(i == 3);
        models[i].set_depth_test(i < 4); // the last is an overlay, as the game draws its texts
        if (i < 4) {
            s.add_model(&models[i]);
        }
    }
    models[2].set_outline_colour({1.0f, 0.0f, 1.0f});

    draw_list list;
    geometry::enable_get_draw_calls();
    geometry::get_draw_calls();
    list.start();
    s.draw();
    models[4].draw(glm::mat4(1.0f), cam.get_frustum(), nullptr, nullptr);
    list.stop();
    const std::vector<unsigned char> engine = ctx.pixels();
    EXPECT_EQ(list.get_entries().size() + list.get_skipped(), geometry::get_draw_calls());

    program* in_use = program::get_program_in_use();
    floor_renderer floor;
    floor.save();
    floor.draw(list);
    const std::vector<unsigned char> replayed = ctx.pixels();
    floor.restore();
    EXPECT_TRUE(std::equal(engine.begin(), engine.end(), replayed.begin(),
                           [](int a, int b) { return std::abs(a - b) <= 1; }));
    EXPECT_EQ(ctx.pixel(72, 48), glm::u8vec4(230, 153, 26, 255)); // not two empty frames
    // The engine's belief about the current program and state holds again.
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLuint>(current), in_use->get_id());
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
}

// Parses `line`'s words as the arguments; only a bad argument may say something.
std::optional<int> parse(const std::string& line, arguments& a) {
    std::istringstream in("bench " + line);
    std::vector<std::string> words{std::istream_iterator<std::string>(in), {}};
    std::vector<char*> argv(words.size());
    std::transform(words.begin(), words.end(), argv.begin(), [](auto& w) { return w.data(); });
    FILE* err = std::tmpfile();
    const auto status =
        arguments::parse(static_cast<int>(argv.size()), argv.data(), a, stdout, err);
    EXPECT_EQ(std::ftell(err) > 0, status == 2) << line;
    std::fclose(err);
    return status;
}

TEST(bench_arguments, bad_values_stop_with_status_2_and_help_with_0) {
    for (const char* bad :
         {"--frames 12x", "--frames 0", "--frames -3", "--sizes 800x", "--sizes 80,4",
          "--lengths 9", "--lengths 10,,20", "--piled 2001", "--bogus", "--growth-frames",
          "--seed 4294967296", "stray", "--lengths 2000 --growth-frames 1000"}) {
        arguments a;
        EXPECT_EQ(parse(bad, a), 2) << bad;
    }
    arguments a;
    EXPECT_EQ(parse("--sizes= --lengths=10,60 --seed 4294967295", a), std::nullopt);
    EXPECT_TRUE(a.sizes.empty());
    EXPECT_EQ(a.lengths, std::vector<int>({10, 60}));
    EXPECT_EQ(parse("--help", a), 0);
}

// A scripted and a piled run as JSON: figures, frame kinds, unexplained allocations.
TEST(bench_report, json_carries_the_figures) {
    double ms = 0.0; // 1, 2, ... 6: the median is 3, the 99th percentile 6
    const auto frame = [&ms](char kind, unsigned allocations, unsigned events) {
        bench_run::frame f{.kind = kind, .whole_ms = ++ms, .floor_ms = 2.0};
        f.allocations = allocations;
        f.events = events;
        return f;
    };
    bench_run::result scripted;
    scripted.frames = {frame('t', 0, 0),      frame('p', 500, bench_run::game_started),
                       frame('p', 40, 4 | 2), frame('z', 0, 0),
                       frame('d', 2, 0),      frame('t', 2, bench_run::game_over)};
    bench_run::result grown = scripted;
    grown.length = 60;
    grown.piled = true;
    const report rep({scripted, grown}, report::machine());
    const std::string dir = make_temp_dir();
    // The charts too, so that the sanitizer build runs their drawing.
    ASSERT_TRUE(rep.write_json(dir + "/r.json") && rep.write_plot(dir + "/f.png") &&
                rep.write_growth_plot(dir + "/g.png"));
    const json j = json::parse(read_file(dir + "/r.json"));
    const json& run = j["runs"].at(0);
    EXPECT_EQ(run["whole_frame_ms"], json::parse(R"({"median":3,"p95":6,"p99":6,"max":6})"));
    EXPECT_EQ(run["frame_kinds"], json::parse(R"({"play":2,"title":2,"paused":1,"dying":1})"));
    EXPECT_EQ(run["allocating_frames"]["other"], json::parse(R"([{"frame":4,"allocations":2}])"));
    EXPECT_EQ(j["growth"].at(0)["blocks"], 60);
    EXPECT_EQ(j["growth"].at(0)["game_over_floor"]["median"], 1.5);
}
