#include "game/high_score.h"

#include "support/test_context.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Short and ten-digit lines by turns, so that no cut or mixed line passes for a whole one.
unsigned int nth_score(unsigned int n) {
    return n % 2 == 1 ? n : 1000000000u + n;
}

bool written_by_the_writer(unsigned int score) {
    return score < 1000000000u ? score % 2 == 1 : score % 2 == 0;
}

} // namespace

// A writer killed at random, 200 times, leaves a finished write's line and one temporary at most.
TEST(high_score_kill, killed_writer_always_leaves_a_whole_line) {
    const std::string dir = make_temp_dir();
    const std::string path = dir + "/highscore";
    std::mt19937 random(20240611);
    int kills = 0;
    for (int round = 0; round < 200; ++round) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        std::fflush(stdout);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (unsigned int n = 1;; ++n) {
                write_high_score(path, nth_score(n));
                if (n == 1) {
                    // One write is complete: from here on every kill lands in a later one.
                    (void)!write(ready[1], "w", 1);
                }
            }
        }
        close(ready[1]);
        char byte = 0;
        ASSERT_EQ(read(ready[0], &byte, 1), 1);
        close(ready[0]);
        usleep(std::uniform_int_distribution<useconds_t>(0, 4000)(random));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        kills += WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;

        const unsigned int value = read_high_score(path);
        ASSERT_EQ(read_file(path), std::to_string(value) + "\n") << "round " << round;
        ASSERT_TRUE(written_by_the_writer(value)) << "round " << round << ": " << value;

        // A save killed part way may leave its temporary behind, but never more than one.
        int leftovers = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            leftovers += entry.path() != path && entry.path() != path + ".lock";
        }
        ASSERT_LE(leftovers, 1) << "round " << round;
    }
    // The next save clears it.
    write_high_score(path, 1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2);
    EXPECT_EQ(kills, 200);
}
