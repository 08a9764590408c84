#include "engine/io/file.h"

#include "support/test_context.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using tulk::io::file;

TEST(file_test, reads_lines_and_whole_text_write_replaces_and_a_missing_file_does_nothing) {
    const std::string dir = make_temp_dir();
    std::ofstream(dir + "/n") << "123\nlast";
    file f(dir + "/n", file::read, file::plain);
    ASSERT_TRUE(f.good());
    EXPECT_EQ(f.read_line(), "123\n");
    EXPECT_EQ(f.read_line(), "last");
    EXPECT_EQ(f.read_line(), "");

    // A long line comes back in pieces; the whole text in one, however long its lines.
    const std::string text = "one\n" + std::string(15000, 'y') + "\nthree\n\nfive";
    std::ofstream(dir + "/t") << text;
    file lines(dir + "/t", file::read, file::binary);
    EXPECT_EQ(lines.read_line(), "one\n");
    EXPECT_EQ(lines.read_line(), std::string(9999, 'y'));
    EXPECT_EQ(lines.read_line(), std::string(5001, 'y') + "\n");
    EXPECT_EQ(file(dir + "/t", file::read, file::plain).read_file(), text);

    {
        file w(dir + "/t", file::write, file::plain);
        w.write_line("42");
        EXPECT_TRUE(w.sync());
    }
    EXPECT_EQ(read_file(dir + "/t"), "42\n");
    std::filesystem::remove_all(dir);

    file missing(dir + "/none", file::read, file::plain);
    EXPECT_FALSE(missing.good());
    EXPECT_EQ(missing.read_file(), "");
    missing.write_line("x");
    EXPECT_FALSE(missing.sync());
}
