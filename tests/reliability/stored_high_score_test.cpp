#include "engine/audio/audio.h"
#include "game/game.h"
#include "support/test_context.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>

namespace fs = std::filesystem;

namespace {

struct stored_case {
    const char* what;
    std::optional<std::string> bytes; // none: no file at all
    unsigned int score;
};

} // namespace

// Whatever a damaged "highscore" holds, the real game starts with the score the reading
// rules give, shows it, and writes it back as one clean line when it closes. (The fuzz
// target tries every other kind of bytes against the same rules.)
TEST(stored_high_score, damaged_files_start_the_game_with_the_rule_value) {
    const stored_case cases[] = {
        {"missing", std::nullopt, 0},
        {"empty", std::string(), 0},
        {"blank first line", std::string("\n42\n"), 0},
        {"letters", std::string("high score\n"), 0},
        {"digits then garbage", std::string("31\xff\xfe junk\n12\n"), 31},
        {"far past 32 bits", std::string("99999999999999999999999999\n"), 2147483647},
        {"negative", std::string("-5\n"), 0},
    };

    const fs::path previous = fs::current_path();
    const fs::path dir = enter_game_copy();
    test_context context(160, 120);

    for (const stored_case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove("highscore");
        if (c.bytes) {
            std::ofstream("highscore", std::ios::binary) << *c.bytes;
        }
        tulk::audio::init();
        {
            game g(context.get_window());
            g.frame();
            EXPECT_EQ(g.get_high_score(), c.score);
            EXPECT_EQ(g.get_high_score_text().get_string(),
                      "high score: " + std::to_string(c.score));
            g.teardown_first();
            tulk::audio::destroy();
            g.teardown_second();
        }
        EXPECT_EQ(read_file("highscore"), std::to_string(c.score) + "\n");
    }

    fs::current_path(previous);
    fs::remove_all(dir);
}
