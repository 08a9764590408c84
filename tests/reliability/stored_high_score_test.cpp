#include "game/game.h"
#include "support/test_context.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

// A damaged "highscore" starts the game with the rule's score, shown and written back clean.
TEST(stored_high_score, damaged_files_start_the_game_with_the_rule_value) {
    const struct {
        const char* bytes; // null: no file at all
        unsigned int score;
    } cases[] = {
        {nullptr, 0}, {"31\xff\xfe junk\n12\n", 31}, {"99999999999999999999999999\n", 2147483647}};

    enter_game_copy();

    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes != nullptr ? c.bytes : "no file");
        fs::remove("highscore");
        if (c.bytes != nullptr) {
            std::ofstream("highscore", std::ios::binary) << c.bytes;
        }
        {
            const auto running = start_session(160, 120);
            game& g = running->get_game();
            g.frame();
            EXPECT_EQ(g.get_high_score(), c.score);
            EXPECT_EQ(g.get_high_score_text().get_string(),
                      "high score: " + std::to_string(c.score));
        }
        EXPECT_EQ(read_file("highscore"), std::to_string(c.score) + "\n");
    }
}
