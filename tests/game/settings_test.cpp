#include "game/settings.h"

#include "game/command_line.h"

#include "support/test_context.h"

#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;
using testing::HasSubstr;

TEST(settings, bad_lines_are_named_and_keep_their_defaults_while_the_rest_apply) {
    const fs::path path = fs::path(make_temp_dir()) / "settings.ini";
    const std::string text = "[audio]\n"
                             "music_volume = 70 ; a comment\n"
                             "effects_volume = 101\n"
                             "mute = maybe\n"
                             "loudness = 3\n"
                             "[controls]\n"
                             "start = p\n"
                             "yaw_left = Banana\n"
                             "yaw_right = P\n"
                             "pitch_up = Up, Keypad 8\n"
                             "this line is no setting\n"
                             "[display]\n"
                             "window_width = 1280\n"
                             "smooth_motion = true\n";
    std::ofstream(path) << text;
    testing::internal::CaptureStderr();
    settings s(path.string());
    const std::string err = testing::internal::GetCapturedStderr();
    for (const char* why : {":3: \"effects_volume\" in [audio] must be a whole number from 0",
                            ":4: \"mute\" in [audio] must be true or false",
                            ":5: unknown setting \"loudness\"", ":8: unknown key name \"Banana\"",
                            ":9: key \"P\" is bound twice", ":11: not a \"name = value\" line"}) {
        EXPECT_THAT(err, HasSubstr(path.string() + why));
    }
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 6) << err;

    EXPECT_EQ(s.music_volume, 70);
    EXPECT_EQ(s.effects_volume, 100);
    EXPECT_FALSE(s.mute);
    EXPECT_EQ(s.window_width, 1280);
    EXPECT_FALSE(s.window_height);
    EXPECT_EQ(s.smooth_motion, true);
    const key_bindings& k = s.keys;
    EXPECT_EQ(k.keys_of(action::start), std::vector{SDL_SCANCODE_P});
    EXPECT_EQ(k.action_of(SDL_SCANCODE_LALT), std::nullopt);
    EXPECT_EQ(k.keys_of(action::yaw_left), std::vector{SDL_SCANCODE_LEFT});
    EXPECT_EQ(k.keys_of(action::yaw_right), std::vector{SDL_SCANCODE_RIGHT});
    // A key the file gives one action is taken from the action that had it by default.
    EXPECT_EQ(k.action_of(SDL_SCANCODE_UP), action::pitch_up);
    EXPECT_EQ(k.action_of(SDL_SCANCODE_KP_8), action::pitch_up);
    EXPECT_TRUE(k.keys_of(action::pitch_down).empty());

    // A hand edit with a fault is never overwritten.
    testing::internal::CaptureStderr();
    s.mute = true;
    EXPECT_FALSE(s.save());
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr(path.string()));
    EXPECT_EQ(read_file(path), text);
}

TEST(settings, a_change_is_saved_and_read_back_but_a_kept_file_is_never_written) {
    const fs::path dir = make_temp_dir();
    // The folder is made at the first save, not before.
    const fs::path path = dir / "config/ardlow/settings.ini";
    settings s(path.string());
    EXPECT_EQ(s.text(), settings().text());
    EXPECT_FALSE(fs::exists(dir / "config"));
    s.mute = true;
    s.change_volume(-1);
    s.change_volume(-11); // no lower than 0
    s.change_volume(3);
    s.keys.bind(action::start, {SDL_SCANCODE_P, SDL_SCANCODE_KP_PLUS});
    ASSERT_TRUE(s.save());
    const settings back(path.string());
    EXPECT_TRUE(back.mute && back.music_volume == 30 && back.effects_volume == 30);
    EXPECT_EQ(back.keys.keys_of(action::start),
              (std::vector{SDL_SCANCODE_P, SDL_SCANCODE_KP_PLUS}));
    EXPECT_EQ(back.keys.action_of(SDL_SCANCODE_KP_PLUS), action::start);
    EXPECT_EQ(back.text(), s.text());
    EXPECT_THAT(back.text(), testing::Not(HasSubstr("[display]")));

    // Read-only, or a folder in its place: named, read where it can be, and left as it is.
    chmod(path.c_str(), 0444);
    const std::string before = read_file(path);
    settings read_only(path.string());
    EXPECT_TRUE(read_only.mute);
    read_only.mute = false;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(read_only.save());
    EXPECT_FALSE(read_only.save());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_THAT(err, HasSubstr(path.string()));
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << "said once";
    EXPECT_EQ(read_file(path), before);

    const fs::path folder = dir / "folder.ini";
    fs::create_directory(folder);
    testing::internal::CaptureStderr();
    settings unreadable(folder.string());
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr(folder.string() + " not read"));
    EXPECT_FALSE(unreadable.mute);
    unreadable.mute = true;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(unreadable.save());
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(fs::is_directory(folder) && !fs::exists(dir / "folder.ini.new"));
}

TEST(settings, smooth_motion_is_the_command_line_s_else_the_file_s_else_off) {
    const auto choice = [](std::vector<std::string> args, const settings& prefs) {
        args.insert(args.begin(), "ardlow");
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        command_line c;
        EXPECT_EQ(
            command_line::parse(static_cast<int>(argv.size()), argv.data(), c, stdout, stderr),
            std::nullopt);
        return c.smooth_motion_for(prefs);
    };
    const fs::path path = fs::path(make_temp_dir()) / "settings.ini";
    settings on(path.string());
    on.smooth_motion = true;
    ASSERT_TRUE(on.save());
    const settings back(path.string());
    EXPECT_EQ(back.smooth_motion, true);
    EXPECT_FALSE(choice({}, settings()));
    EXPECT_TRUE(choice({}, back));
    EXPECT_FALSE(choice({"--smooth", "--no-smooth"}, back)); // the last one given
    EXPECT_TRUE(choice({"--no-smooth", "--window", "--smooth"}, settings()));
}
