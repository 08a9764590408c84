#include "game/replay.h"
#include "game/replay_store.h"

#include "support/test_context.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A recording of `updates` updates whose inputs change every `every` updates.
replay made_up(std::uint32_t score, std::uint32_t updates, std::uint32_t every = 7) {
    replay r;
    r.seed = 0xdeadbeef;
    r.score = score;
    const replay::inputs held[] = {0x00, 0x01, 0x43, 0x3f, 0x10, 0x4c};
    for (std::uint32_t u = 0; u < updates; ++u) {
        r.add_update(held[(u / every) % std::size(held)]);
        if (r.updates % replay::check_interval == 0) {
            r.checks.push_back(u * 2654435761u);
        }
    }
    r.final_check = 0x12345678;
    return r;
}

// Writes past `bytes` fail with EFBIG instead of ending the process.
void limit_file_size(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit small{};
    small.rlim_cur = small.rlim_max = bytes;
    setrlimit(RLIMIT_FSIZE, &small);
}

std::string why_not(const std::string& bytes) {
    std::string why;
    EXPECT_FALSE(replay::decode(bytes, why).has_value()) << why;
    return why;
}

void put32(std::string& bytes, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>((v >> (8 * i)) & 0xffu);
    }
}

} // namespace

TEST(replay_file, round_trips_compactly_and_names_every_kind_of_damage) {
    // A ten-minute game (18750 updates of 32 ms) with a change every third of a second.
    const replay r = made_up(123, 18750, 10);
    const std::string bytes = r.encode();
    EXPECT_LT(bytes.size(), 100u * 1024u);
    std::string why;
    const std::optional<replay> back = replay::decode(bytes, why);
    ASSERT_TRUE(back.has_value()) << why;
    EXPECT_EQ(*back, r);
    // A long run takes more than one byte for its count.
    EXPECT_EQ(*replay::decode(made_up(1, 5000, 5000).encode(), why), made_up(1, 5000, 5000));

    EXPECT_EQ(why_not("ardlow highscore\n" + bytes.substr(14)).substr(0, 12), "not a replay");
    std::string later = bytes;
    put32(later, 14, 2);
    EXPECT_EQ(why_not(later), "version 2, this game reads version 1");
    // Cut anywhere, it is truncated, never read past its end.
    for (std::size_t size = 14; size < bytes.size(); size += size < 100 ? 1 : 97) {
        EXPECT_EQ(why_not(bytes.substr(0, size)), "truncated") << size;
    }
    EXPECT_EQ(why_not(bytes + "x"), "1 bytes after the end");
    for (const std::size_t at :
         {std::size_t{18}, std::size_t{40}, bytes.size() / 2, bytes.size() - 5}) {
        std::string flipped = bytes;
        flipped[at] = static_cast<char>(flipped[at] ^ 0x20);
        EXPECT_NE(why_not(flipped), "") << at;
    }
    std::string body_flipped = bytes;
    body_flipped[bytes.size() / 2] ^= 1;
    EXPECT_EQ(why_not(body_flipped), "bad checksum");
    // Counts no game has, refused before anything is allocated on their word.
    for (const auto& [field, value] :
         {std::pair{26u, 0xffffffffu}, {26u, 0u}, {34u, 5u}, {38u, 0u}, {38u, 0x7fffffffu}}) {
        std::string absurd = bytes;
        put32(absurd, field, value);
        EXPECT_EQ(why_not(absurd).substr(0, 17), "impossible counts") << field;
    }
}

TEST(replay_file, inputs_survive_the_file_and_reading_names_what_is_no_recording) {
    const std::string dir = make_temp_dir();
    std::string why;
    EXPECT_FALSE(replay::read(dir + "/none", why));
    EXPECT_EQ(why, "No such file or directory");
    EXPECT_FALSE(replay::read(dir, why));
    EXPECT_EQ(why, "not a regular file");
    std::ofstream(dir + "/empty");
    EXPECT_FALSE(replay::read(dir + "/empty", why));
    EXPECT_EQ(why, "empty file");

    // Inputs a game can hold, and one that no key gives with a valid checksum.
    replay r;
    for (const replay::inputs held : {0x00, 0x7f, 0x33, 0x4d}) {
        r.add_update(held);
    }
    std::ofstream(dir + "/r", std::ios::binary) << r.encode();
    ASSERT_TRUE(replay::read(dir + "/r", why)) << why;
    EXPECT_EQ(replay::read(dir + "/r", why)->runs.size(), 4u);
    replay bad;
    bad.add_update(0x02);
    EXPECT_EQ(why_not(bad.encode()), "inputs no key gives");
}

class replay_store_test : public testing::Test {
protected:
    const std::string dir = make_temp_dir();
    replay_store store{dir + "/highscore"};

    std::optional<std::uint32_t> best_score() {
        std::string why;
        const std::optional<replay> r = replay::read(store.best_file(), why);
        return r ? std::optional(r->score) : std::nullopt;
    }
};

TEST_F(replay_store_test, the_best_is_replaced_only_by_a_higher_score) {
    EXPECT_EQ(store.last_file(), dir + "/last.replay");
    store.keep(made_up(20, 100));
    EXPECT_EQ(best_score(), 20u);
    store.keep(made_up(5, 90));
    store.keep(made_up(20, 80));
    EXPECT_EQ(best_score(), 20u);
    EXPECT_EQ(read_file(store.best_file()), made_up(20, 100).encode());
    // The last game is always the last.
    EXPECT_EQ(read_file(store.last_file()), made_up(20, 80).encode());
    store.keep(made_up(21, 70));
    EXPECT_EQ(best_score(), 21u);
    // A damaged best is no best.
    std::ofstream(store.best_file()) << "ardlow replay\nrubbish";
    store.keep(made_up(1, 60));
    EXPECT_EQ(best_score(), 1u);
}

// Runs ending at once each keep the higher of theirs and what is kept.
TEST_F(replay_store_test, runs_ending_together_keep_the_highest) {
    alarm(60);
    std::vector<pid_t> children;
    for (std::uint32_t k = 0; k < 6; ++k) {
        std::fflush(stdout);
        const pid_t child = fork();
        if (child == 0) {
            replay_store own(dir + "/highscore");
            for (std::uint32_t round = 0; round < 20; ++round) {
                own.keep(made_up(round * 6 + k, 50 + k));
            }
            _exit(0);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_EQ(status, 0);
    }
    alarm(0);
    EXPECT_EQ(best_score(), 19u * 6 + 5);
    std::string why;
    EXPECT_TRUE(replay::read(store.last_file(), why)) << why;
}

// A write that fails (the file size limit) says so and leaves both files as they were.
TEST_F(replay_store_test, a_failed_write_keeps_the_old_files) {
    store.keep(made_up(3, 100));
    const std::string before = read_file(store.best_file());
    EXPECT_EXIT(
        {
            stdout_to_stderr();
            limit_file_size(2048);
            store.keep(made_up(30, 10000));
            store.keep(made_up(31, 10000));
            std::exit(0);
        },
        testing::ExitedWithCode(0),
        testing::MatchesRegex("replay not saved to .*last.replay: File too large\n"));
    EXPECT_EQ(read_file(store.best_file()), before);
    EXPECT_EQ(read_file(store.last_file()), before);
    EXPECT_FALSE(fs::exists(store.best_file() + ".new"));
}
