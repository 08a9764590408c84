// Runs the asset maker as the build does and checks what it leaves behind.
#include "asset_maker/assets.h"
#include "game/data_files.h"
#include "support/test_context.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

int run_maker(const std::string& folder) {
    const std::string command = std::string("'") + ASSET_MAKER + "' '" + folder + "' > /dev/null";
    return std::system(command.c_str());
}

// Every file under a folder by its relative path, with its bytes.
std::map<std::string, std::string> tree(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), root).string()] = read_file(entry.path());
        }
    }
    return files;
}

} // namespace

// A second run writes the build's bytes, exactly the files the maker lists (the build trusts
// that list to remake); over a complete stage it writes nothing, and remakes a missing file.
TEST(asset_maker, writes_its_listed_files_as_the_build_did_and_remakes_only_what_is_missing) {
    const std::string dir = make_temp_dir();
    ASSERT_EQ(run_maker(dir), 0);
    const auto files = tree(dir);
    const std::vector<std::string> listed = assets::files();
    EXPECT_EQ(std::set<std::string>(listed.begin(), listed.end()).size(), files.size());
    for (const std::string& name : listed) {
        EXPECT_EQ(files.count(name), 1u) << name;
    }
    for (const auto& [path, bytes] : files) {
        const fs::path staged = fs::path(std::getenv("ARDLOW_STAGE_DIR")) / path;
        EXPECT_TRUE(!bytes.empty() && read_file(staged) == bytes) << path;
    }

    const fs::path title = fs::path(dir) / data_files::title_picture;
    const fs::path glyph = fs::path(dir) / data_files::font_folder / "ua.png";
    const auto title_time = fs::last_write_time(title) + std::chrono::hours(1);
    fs::last_write_time(title, title_time);
    ASSERT_EQ(run_maker(dir), 0);
    EXPECT_EQ(fs::last_write_time(title), title_time);
    fs::remove(glyph);
    ASSERT_EQ(run_maker(dir), 0);
    EXPECT_EQ(read_file(glyph), files.at(fs::relative(glyph, dir).string()));
}
