#include "engine/io/file.h"

#include "support/test_context.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using tulk::io::file;

namespace {

class file_test : public testing::Test {
protected:
    void SetUp() override { dir = make_temp_dir(); }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string put(const std::string& name, const std::string& bytes) {
        const std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string bytes(const std::string& name) {
        std::ifstream in(dir + "/" + name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::string dir;
};

} // namespace

TEST_F(file_test, read_line_returns_lines_with_their_newline_then_empty) {
    const std::string path = put("n", "123\nlast");
    file f(path, file::read, file::plain);
    ASSERT_TRUE(f.good());
    EXPECT_EQ(f.read_line(), "123\n");
    EXPECT_EQ(f.read_line(), "last");
    EXPECT_EQ(f.read_line(), "");

    file empty(put("e", ""), file::read, file::plain);
    ASSERT_TRUE(empty.good());
    EXPECT_EQ(empty.read_line(), "");
}

TEST_F(file_test, long_line_comes_back_in_pieces) {
    const std::string longline(12000, 'x');
    file f(put("long", longline + "\n"), file::read, file::binary);
    EXPECT_EQ(f.read_line(), std::string(9999, 'x'));
    EXPECT_EQ(f.read_line(), std::string(2001, 'x') + "\n");
    EXPECT_EQ(f.read_line(), "");
}

TEST_F(file_test, read_file_returns_the_whole_text) {
    const std::string text = "one\n" + std::string(15000, 'y') + "\nthree\n\nfive";
    file f(put("t", text), file::read, file::plain);
    EXPECT_EQ(f.read_file(), text);
}

TEST_F(file_test, write_modes_create_truncate_and_append) {
    {
        file f(dir + "/w", file::write, file::plain);
        ASSERT_TRUE(f.good());
        f.write_line("42");
    }
    EXPECT_EQ(bytes("w"), "42\n");
    {
        file f(dir + "/w", file::append, file::binary);
        f.write_str("ab");
        f.write_line("");
    }
    EXPECT_EQ(bytes("w"), "42\nab\n");
    {
        file f(dir + "/w", file::write_update, file::plain);
        f.write_str("z");
        EXPECT_TRUE(f.sync());
    }
    EXPECT_EQ(bytes("w"), "z");
}

TEST_F(file_test, file_that_cannot_open_is_not_good_and_ignores_writes) {
    file missing(dir + "/none", file::read, file::plain);
    EXPECT_FALSE(missing.good());
    EXPECT_EQ(missing.read_line(), "");
    EXPECT_EQ(missing.read_file(), "");
    missing.write_line("x");
    EXPECT_FALSE(missing.sync());
    EXPECT_FALSE(std::filesystem::exists(dir + "/none"));

    // An access outside the table gives no mode at all.
    file bad(put("b", "data"), static_cast<file::access>(9), file::plain);
    EXPECT_FALSE(bad.good());
}

TEST_F(file_test, sync_reports_a_write_that_did_not_arrive) {
    file full("/dev/full", file::write, file::plain);
    ASSERT_TRUE(full.good());
    full.write_line("7");
    EXPECT_FALSE(full.sync());
}
