#include "game/high_score.h"

#include "support/test_context.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Standard output into a pipe: unlike a capture file, a pipe is not held to the file
// size limit that one test sets.
class stdout_pipe {
public:
    stdout_pipe() {
        std::fflush(stdout);
        saved = dup(STDOUT_FILENO);
        if (pipe(ends) == 0) {
            dup2(ends[1], STDOUT_FILENO);
        }
    }
    std::string finish() {
        std::fflush(stdout);
        dup2(saved, STDOUT_FILENO);
        close(saved);
        close(ends[1]);
        std::string text;
        char buffer[256];
        for (ssize_t n; (n = read(ends[0], buffer, sizeof buffer)) > 0;) {
            text.append(buffer, static_cast<size_t>(n));
        }
        close(ends[0]);
        return text;
    }

private:
    int saved = -1;
    int ends[2] = {-1, -1};
};

class high_score_test : public testing::Test {
protected:
    void SetUp() override {
        dir = make_temp_dir();
        path = dir + "/highscore";
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    void put(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    std::string bytes() {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    unsigned int read_text(const std::string& text) {
        put(text);
        return read_high_score(path);
    }
    // Everything in the directory: a failed or finished write leaves no temporary behind.
    std::vector<std::string> entries() {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir)) {
            names.push_back(e.path().filename().string());
        }
        return names;
    }

    std::string dir;
    std::string path;
};

} // namespace

TEST_F(high_score_test, missing_or_empty_file_reads_zero) {
    EXPECT_EQ(read_high_score(path), 0u);
    EXPECT_EQ(read_text(""), 0u);
    EXPECT_EQ(read_text("\n25\n"), 0u); // only the first line counts
    EXPECT_EQ(read_text("score: 9\n"), 0u);
}

TEST_F(high_score_test, first_line_parses_like_strtol) {
    EXPECT_EQ(read_text("  17abc\n"), 17u);
    EXPECT_EQ(read_text("\t+8\n"), 8u);
    EXPECT_EQ(read_text("0x1f\n"), 0u);
    EXPECT_EQ(read_text("007"), 7u);
    EXPECT_EQ(read_text("12\n34\n"), 12u);
    EXPECT_EQ(read_text("2147483647\n"), 2147483647u);
    EXPECT_EQ(read_text("2147483648\n"), 2147483647u);
    EXPECT_EQ(read_text("99999999999999999999999\n"), 2147483647u);
}

TEST_F(high_score_test, negative_value_reads_zero) {
    EXPECT_EQ(read_text("-5\n"), 0u);
    EXPECT_EQ(read_text("-2147483648\n"), 0u);
    EXPECT_EQ(read_text("-99999999999999999999\n"), 0u);
    EXPECT_EQ(read_text("-0\n"), 0u);
}

TEST_F(high_score_test, write_replaces_the_file_with_one_decimal_line) {
    write_high_score(path, 0);
    EXPECT_EQ(bytes(), "0\n");
    write_high_score(path, 42);
    EXPECT_EQ(bytes(), "42\n");
    EXPECT_EQ(read_high_score(path), 42u);

    put("123456789\nrubbish\n");
    write_high_score(path, 7);
    EXPECT_EQ(bytes(), "7\n");
    write_high_score(path, 2147483647u);
    EXPECT_EQ(read_high_score(path), 2147483647u);
    EXPECT_EQ(entries(), std::vector<std::string>{"highscore"});
}

TEST_F(high_score_test, write_gives_the_file_ordinary_permissions) {
    const mode_t mask = umask(022);
    write_high_score(path, 3);
    umask(mask);
    EXPECT_EQ(std::filesystem::status(path).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read | std::filesystem::perms::others_read);
}

TEST_F(high_score_test, failed_write_keeps_the_old_file_and_says_so_once) {
    put("31\n");
    // A file size limit of zero fails the write part way, as a full disk would, and
    // stops root as well as anyone.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit none = old;
    none.rlim_cur = 0;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &none), 0);

    stdout_pipe out;
    write_high_score(path, 99);
    write_high_score(path, 100);
    const std::string said = out.finish();
    setrlimit(RLIMIT_FSIZE, &old);

    EXPECT_EQ(bytes(), "31\n");
    EXPECT_EQ(read_high_score(path), 31u);
    EXPECT_EQ(entries(), std::vector<std::string>{"highscore"});
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("highscore"), std::string::npos) << said;
}

TEST_F(high_score_test, unwritable_places_skip_the_write) {
    testing::internal::CaptureStdout();
    // The directory is a plain file: nothing can be created in it.
    put("12\n");
    write_high_score(path + "/highscore", 5);
    // The target is a directory: the rename cannot replace it.
    std::filesystem::create_directory(dir + "/taken");
    std::ofstream(dir + "/taken/keep") << "k";
    write_high_score(dir + "/taken", 5);
    const std::string said = testing::internal::GetCapturedStdout();

    EXPECT_EQ(bytes(), "12\n");
    EXPECT_TRUE(std::filesystem::exists(dir + "/taken/keep"));
    EXPECT_EQ(std::filesystem::directory_iterator(dir + "/taken")->path().filename(), "keep");
    auto names = entries();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"highscore", "taken"}));
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}
