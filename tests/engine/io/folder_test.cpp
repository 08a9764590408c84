#include "engine/io/folder.h"

#include "support/test_context.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using tulk::io::folder;

namespace {

std::vector<std::string> sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

class folder_test : public testing::Test {
protected:
    void SetUp() override {
        dir = make_temp_dir() + "/";
        for (const char* name : {"ua.png", "Blast(1).wav", "a.b.c", ".DS_Store", "._ua.png"}) {
            std::ofstream(dir + name) << "x";
        }
        std::filesystem::create_directories(dir + "sub/deeper");
        std::ofstream(dir + "sub/inner.txt") << "t";
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string dir;
};

} // namespace

TEST_F(folder_test, flat_listing_names_files_and_sub_directories) {
    const folder kept(dir, false, false);
    // Hidden names are left out, as are "." and "..".
    EXPECT_EQ(sorted(kept.get_filenames()),
              (std::vector<std::string>{"Blast(1).wav", "a.b.c", "sub", "ua.png"}));
    EXPECT_TRUE(kept.get_folders().empty());

    // Stripping cuts at the last dot only.
    EXPECT_EQ(sorted(folder(dir, true, false).get_filenames()),
              (std::vector<std::string>{"Blast(1)", "a.b", "sub", "ua"}));
}

TEST_F(folder_test, recursive_listing_descends_with_appended_paths) {
    const folder top(dir, true, true);
    EXPECT_EQ(sorted(top.get_filenames()), (std::vector<std::string>{"Blast(1)", "a.b", "ua"}));
    const auto subs = top.get_folders();
    ASSERT_EQ(subs.size(), 1u);
    EXPECT_EQ(subs[0].get_path(), dir + "sub");
    EXPECT_EQ(subs[0].get_filenames(), (std::vector<std::string>{"inner"}));
    // No separator is added, so "deeper" hangs straight off "sub".
    const auto deeper = subs[0].get_folders();
    ASSERT_EQ(deeper.size(), 1u);
    EXPECT_EQ(deeper[0].get_path(), dir + "subdeeper");
}

TEST_F(folder_test, missing_directory_lists_nothing) {
    for (const bool recursive : {false, true}) {
        const folder none(dir + "absent/", true, recursive);
        EXPECT_TRUE(none.get_filenames().empty());
        EXPECT_TRUE(none.get_folders().empty());
    }
    // A plain file is no directory either.
    EXPECT_TRUE(folder(dir + "ua.png", false, false).get_filenames().empty());
}
