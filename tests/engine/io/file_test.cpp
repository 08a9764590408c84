#include "engine/io/file.h"

#include "support/test_context.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using tulk::io::file;

namespace {

class file_test : public testing::Test {
protected:
    void SetUp() override { dir = make_temp_dir(); }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string put(const std::string& name, const std::string& bytes) {
        std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
        return dir + "/" + name;
    }

    std::string dir;
};

} // namespace

TEST_F(file_test, reads_lines_with_their_newline_and_the_whole_text) {
    file f(put("n", "123\nlast"), file::read, file::plain);
    ASSERT_TRUE(f.good());
    EXPECT_EQ(f.read_line(), "123\n");
    EXPECT_EQ(f.read_line(), "last");
    EXPECT_EQ(f.read_line(), "");

    // A long line comes back in pieces; the whole text in one, however long its lines.
    const std::string text = "one\n" + std::string(15000, 'y') + "\nthree\n\nfive";
    file lines(put("t", text), file::read, file::binary);
    EXPECT_EQ(lines.read_line(), "one\n");
    EXPECT_EQ(lines.read_line(), std::string(9999, 'y'));
    EXPECT_EQ(lines.read_line(), std::string(5001, 'y') + "\n");
    file whole(put("t", text), file::read, file::plain);
    EXPECT_EQ(whole.read_file(), text);
}

TEST_F(file_test, write_replaces_the_file_and_a_missing_file_does_nothing) {
    put("w", "an older, longer score");
    {
        file f(dir + "/w", file::write, file::plain);
        f.write_line("42");
        EXPECT_TRUE(f.sync());
    }
    EXPECT_EQ(read_file(dir + "/w"), "42\n");

    file missing(dir + "/none", file::read, file::plain);
    EXPECT_FALSE(missing.good());
    EXPECT_EQ(missing.read_file(), "");
    missing.write_line("x");
    EXPECT_FALSE(missing.sync());
    EXPECT_FALSE(std::filesystem::exists(dir + "/none"));
}
