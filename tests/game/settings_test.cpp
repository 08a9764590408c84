#include "game/settings.h"

#include "game/command_line.h"

#include "support/test_context.h"

#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
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

// What the file lacks goes to the end of its section, a missing section to the end.
TEST(settings, a_save_rewrites_only_what_changed_and_keeps_every_other_line) {
    const fs::path path = fs::path(make_temp_dir()) / "settings.ini";
    const std::string text = "# my settings\n"
                             "[audio]\n"
                             "music_volume = 70 ; quieter at night\n"
                             "\n"
                             "; effects as they come\n"
                             "[controls]\n"
                             "start=p\n"
                             "smooth_motion = true\n"
                             "\n"
                             "[title]\n"
                             "banner = on\n";
    std::ofstream(path) << text;
    testing::internal::CaptureStderr();
    settings s(path.string());
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr(":8: unknown setting"));
    EXPECT_EQ(s.text(), text) << "nothing changed, nothing rewritten";
    s.music_volume = 50;
    s.mute = true;
    s.keys.bind(action::fullscreen, {SDL_SCANCODE_F12});
    s.window_width = 800;
    ASSERT_TRUE(s.save());
    EXPECT_EQ(read_file(path), "# my settings\n"
                               "[audio]\n"
                               "music_volume = 50 ; quieter at night\n"
                               "mute = true\n"
                               "\n"
                               "; effects as they come\n"
                               "[controls]\n"
                               "start=p\n"
                               "smooth_motion = true\n"
                               "fullscreen = F12\n"
                               "\n"
                               "[title]\n"
                               "banner = on\n"
                               "\n"
                               "[display]\n"
                               "window_width = 800\n");
    // A copy saves into the same file, from what the last save wrote.
    settings copy = s;
    copy.mute = false;
    ASSERT_TRUE(copy.save());
    EXPECT_THAT(read_file(path), HasSubstr("music_volume = 50 ; quieter at night\nmute = false\n"));
}

// Lines the reader would misread are named, each with its own number, and read as nothing.
TEST(settings, over_long_indented_and_comment_only_lines_are_named_and_ignored) {
    const fs::path path = fs::path(make_temp_dir()) / "settings.ini";
    std::string text = "[audio]\n; " + std::string(settings::longest_line, 'x') + " mute = true\n" +
                       "music_volume = 40\n"
                       "  effects_volume = 10\n"
                       "[controls]\n"
                       "mute = ;\n"
                       "quit = Left Alt\n"
                       "start =\n"
                       "[display]\n"
                       "window_width = 15\n"
                       "window_height = 16384\n";
    for (int i = 0; i < 6; ++i) {
        text += "nonsense\n";
    }
    std::ofstream(path) << text;
    testing::internal::CaptureStderr();
    const settings s(path.string());
    const std::string err = testing::internal::GetCapturedStderr();
    for (const char* why :
         {":2: longer than 198 characters", ":4: an indented line",
          ":6: \"mute\" in [controls] has a comment", ":7: it leaves start with no key",
          ":8: it leaves start with no key",
          ":10: \"window_width\" in [display] must be a whole number from 16 to 16384",
          ":12: not a \"name = value\" line", ":15: not a", ": 2 more bad lines"}) {
        EXPECT_THAT(err, HasSubstr(path.string() + why)) << err;
    }
    EXPECT_THAT(err, testing::Not(HasSubstr(":16:")));
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), settings::named_bad_lines + 1) << err;
    EXPECT_FALSE(s.mute);
    EXPECT_EQ(s.music_volume, 40);
    EXPECT_EQ(s.effects_volume, 100);
    EXPECT_EQ(s.keys.keys_of(action::mute), std::vector{SDL_SCANCODE_M});
    EXPECT_EQ(s.keys.keys_of(action::start), std::vector{SDL_SCANCODE_LALT});
    EXPECT_EQ(s.keys.keys_of(action::quit), (std::vector{SDL_SCANCODE_Q, SDL_SCANCODE_ESCAPE}));
    EXPECT_EQ(s.window_height, 16384);
    EXPECT_FALSE(s.window_width);
}

TEST(settings, every_key_and_the_longest_binding_survive_a_save) {
    std::vector<SDL_Scancode> named;
    std::set<std::string> names;
    for (int code = 1; code < SDL_NUM_SCANCODES; ++code) {
        const auto key = static_cast<SDL_Scancode>(code);
        const std::string name = key_bindings::name_of(key);
        if (!name.empty()) {
            EXPECT_EQ(key_bindings::key_named(name), key) << name;
            EXPECT_TRUE(names.insert(name).second) << name << " names two keys";
            named.push_back(key);
        }
    }
    EXPECT_EQ(key_bindings::name_of(SDL_SCANCODE_APPLICATION), "Application");
    EXPECT_EQ(key_bindings::key_named("menu"), SDL_SCANCODE_MENU);

    // As many keys as one line of names without spaces can hold.
    const fs::path path = fs::path(make_temp_dir()) / "settings.ini";
    settings s(path.string());
    std::vector<SDL_Scancode> many;
    size_t length = std::string("double_speed=").size() - 1;
    for (const SDL_Scancode key : named) {
        length += 1 + key_bindings::name_of(key).size();
        if (key != SDL_SCANCODE_Q && key != SDL_SCANCODE_LALT && length <= settings::longest_line) {
            many.push_back(key);
        }
    }
    s.keys.bind(action::double_speed, many);
    ASSERT_TRUE(s.save());
    testing::internal::CaptureStderr();
    const settings back(path.string());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(back.keys.keys_of(action::double_speed), many);
    std::istringstream lines(read_file(path));
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), settings::longest_line) << line;
    }
    // One more key would not fit: nothing is written.
    many.push_back(SDL_SCANCODE_F24);
    s.keys.bind(action::double_speed, many);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(s.save());
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr("\"double_speed\" would be"));
    EXPECT_EQ(back.text(), read_file(path));
}

// Never rewritten in place where no new file can be made beside it.
TEST(settings, a_failed_save_leaves_the_old_file_untouched) {
    const fs::path path = fs::path(make_temp_dir()) / "settings.ini";
    const std::string text = "[audio]\nmute = false\n[controls]\nquit = Escape, Keypad Tab\n";
    std::ofstream(path) << text;
    settings s(path.string());
    // No file can be made by the name the save writes first.
    fs::create_directory(path.string() + ".new");
    std::ofstream(path.string() + ".new/x") << "";
    s.mute = true;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(s.save());
    EXPECT_THAT(testing::internal::GetCapturedStderr(),
                HasSubstr("settings not saved to " + path.string()));
    EXPECT_EQ(read_file(path), text);
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
