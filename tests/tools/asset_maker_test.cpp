// Runs the asset maker as the build does and checks what it leaves behind.
#include "support/test_context.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>

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

// The build's run staged the data, so a second run must write the same bytes.
TEST(asset_maker, a_second_run_writes_the_same_bytes_as_the_build) {
    const std::string dir = make_temp_dir();
    ASSERT_EQ(run_maker(dir), 0);
    const auto files = tree(dir);
    EXPECT_EQ(files.size(), 68u + 1u + 2u + 2u + 3u); // glyphs, title, music, effects, icons;
    for (const auto& [path, bytes] : files) {
        const fs::path staged = fs::path(std::getenv("ARDLOW_STAGE_DIR")) / path;
        EXPECT_TRUE(!bytes.empty() && read_file(staged) == bytes) << path;
    }
}
