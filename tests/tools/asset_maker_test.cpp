// Runs the asset maker as the build does and checks what it leaves behind.
#include "support/test_context.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <string>

namespace fs = std::filesystem;

namespace {

int run_maker(const std::string& folder) {
    const std::string command = std::string("'") + ASSET_MAKER + "' '" + folder + "' > /dev/null";
    return std::system(command.c_str());
}

std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every file under a folder by its relative path, with its bytes.
std::map<std::string, std::string> tree(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), root).string()] = contents(entry.path());
        }
    }
    return files;
}

} // namespace

TEST(asset_maker, two_runs_write_the_same_bytes_as_the_build) {
    const std::string first = make_temp_dir();
    const std::string second = make_temp_dir();
    ASSERT_EQ(run_maker(first), 0);
    ASSERT_EQ(run_maker(second), 0);

    const auto a = tree(first);
    const auto b = tree(second);
    EXPECT_EQ(a.size(), 68u + 1u + 2u + 2u + 3u); // glyphs, title, music, effects, icons
    ASSERT_EQ(a.size(), b.size());
    for (const auto& [path, bytes] : a) {
        SCOPED_TRACE(path);
        ASSERT_TRUE(b.count(path));
        EXPECT_FALSE(bytes.empty());
        EXPECT_TRUE(bytes == b.at(path)) << "differs between runs";
        // The staged copy came from the same maker, so it must match too.
        const fs::path staged = fs::path(std::getenv("ARDLOW_STAGE_DIR")) / path;
        EXPECT_TRUE(contents(staged) == bytes) << "staged copy differs";
    }
    fs::remove_all(first);
    fs::remove_all(second);
}

TEST(asset_maker, fails_without_exactly_one_writable_folder) {
    const std::string dir = make_temp_dir();
    const std::string blocker = dir + "/file";
    std::ofstream(blocker) << "not a folder";
    EXPECT_NE(run_maker(blocker), 0);
    EXPECT_FALSE(fs::exists(blocker + "/textures"));
    fs::remove_all(dir);
    EXPECT_NE(std::system((std::string("'") + ASSET_MAKER + "' > /dev/null").c_str()), 0);
}
