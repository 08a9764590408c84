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

} // namespace

TEST(folder, lists_files_flat_or_recursively_with_appended_paths) {
    const std::string dir = make_temp_dir() + "/";
    for (const char* name : {"ua.png", "Blast(1).wav", "a.b.c", ".DS_Store", "._ua.png"}) {
        std::ofstream(dir + name) << "x";
    }
    std::filesystem::create_directories(dir + "sub");
    std::ofstream(dir + "sub/inner.txt") << "t";

    const folder kept(dir, false, false);
    // Hidden names are left out, as are "." and "..".
    EXPECT_EQ(sorted(kept.get_filenames()),
              (std::vector<std::string>{"Blast(1).wav", "a.b.c", "sub", "ua.png"}));
    EXPECT_TRUE(kept.get_folders().empty());

    // Stripping cuts at the last dot only.
    EXPECT_EQ(sorted(folder(dir, true, false).get_filenames()),
              (std::vector<std::string>{"Blast(1)", "a.b", "sub", "ua"}));
    // Neither a missing directory nor a plain file lists anything.
    EXPECT_TRUE(folder(dir + "absent/", true, true).get_filenames().empty() &&
                folder(dir + "ua.png", false, false).get_filenames().empty());

    const folder top(dir, true, true);
    EXPECT_EQ(sorted(top.get_filenames()), (std::vector<std::string>{"Blast(1)", "a.b", "ua"}));
    const auto subs = top.get_folders();
    ASSERT_EQ(subs.size(), 1u);
    EXPECT_EQ(subs[0].get_path(), dir + "sub"); // no separator added
    EXPECT_EQ(subs[0].get_filenames(), (std::vector<std::string>{"inner"}));
}
