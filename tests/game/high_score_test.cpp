#include "game/high_score.h"

#include "support/test_context.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

class high_score_test : public testing::Test {
protected:
    void SetUp() override {
        dir = make_temp_dir();
        path = dir + "/highscore";
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    unsigned int read_text(const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
        return read_high_score(path);
    }
    std::string contents() {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string dir;
    std::string path;
};

} // namespace

TEST_F(high_score_test, first_line_parses_as_a_decimal_clamped_to_32_bits) {
    EXPECT_EQ(read_high_score(path), 0u); // missing
    EXPECT_EQ(read_text(""), 0u);
    EXPECT_EQ(read_text("  17abc\n"), 17u);
    EXPECT_EQ(read_text("\n25\n"), 0u); // only the first line counts
    EXPECT_EQ(read_text("2147483648\n"), 2147483647u);
    EXPECT_EQ(read_text("99999999999999999999999\n"), 2147483647u);
    // A negative score could never be beaten.
    EXPECT_EQ(read_text("-5\n"), 0u);
    EXPECT_EQ(read_text("-99999999999999999999\n"), 0u);
}

TEST_F(high_score_test, write_replaces_the_file_with_one_decimal_line) {
    std::ofstream(path) << "123456789\nrubbish\n";
    write_high_score(path, 42);
    EXPECT_EQ(contents(), "42\n");
    write_high_score(path, 2147483647u);
    EXPECT_EQ(read_high_score(path), 2147483647u);
}

TEST_F(high_score_test, failed_write_keeps_the_old_file_and_says_so_once) {
    std::ofstream(path) << "31\n";
    // A file size limit of zero fails the write midway, as a full disk would, and stops
    // root as well as anyone. Standard output goes to a pipe, which the limit spares.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit none = old;
    none.rlim_cur = 0;
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &none), 0);
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    dup2(ends[1], STDOUT_FILENO);
    write_high_score(path, 99);
    write_high_score(path, 100);
    setrlimit(RLIMIT_FSIZE, &old);
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(ends[1]);
    std::string said(4096, '\0');
    said.resize(static_cast<size_t>(std::max<ssize_t>(0, read(ends[0], said.data(), 4096))));

    EXPECT_EQ(contents(), "31\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1); // no temporary
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("highscore"), std::string::npos) << said;
}
