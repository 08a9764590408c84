#include "game/high_score.h"
#include "game/high_score_saver.h"

#include "support/test_context.h"

#include <climits>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Runs `body` in a child as an unprivileged user, under a time limit; `said` judges it.
template <typename Body>
void as_nobody(Body body, const testing::Matcher<const std::string&>& said) {
    EXPECT_EXIT(
        {
            alarm(20);
            if (geteuid() == 0 &&
                (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) {
                std::exit(2);
            }
            stdout_to_stderr();
            body();
            std::exit(testing::Test::HasFailure() ? 1 : 0);
        },
        testing::ExitedWithCode(0), said);
}

// What a save must leave alone: the same file, of the same kind and size.
std::tuple<ino_t, mode_t, off_t> identity(const std::string& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    return {st.st_ino, st.st_mode, st.st_size};
}

class high_score_test : public testing::Test {
protected:
    void SetUp() override { fs::permissions(dir, fs::perms::all); }

    const std::string dir = make_temp_dir();
    const std::string path = dir + "/highscore";
};

} // namespace

// A second run saving at the same time waits for the lock, then keeps the better score.
TEST_F(high_score_test, a_save_waits_for_the_lock_and_keeps_a_score_saved_meanwhile) {
    alarm(60); // a deadlock fails the test
    const int lock = open((path + ".lock").c_str(), O_RDWR | O_CREAT, 0666);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        close(lock); // the child's copy would hold the lock too
        write_high_score(path, 10);
        _exit(0);
    }
    usleep(300000);
    EXPECT_EQ(waitpid(child, nullptr, WNOHANG), 0) << "saved while the lock was held";
    std::ofstream(path) << "42\n";
    close(lock);
    int status = 0;
    waitpid(child, &status, 0);
    alarm(0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(read_file(path), "42\n");

    // A score past what the reader takes back is saved as the most it does take.
    write_high_score(path, UINT_MAX);
    EXPECT_EQ(read_high_score(path), 2147483647u);
}

// A file that cannot be read reads as 0, is named once, and is never saved over or waited on.
TEST_F(high_score_test, unreadable_or_irregular_file_is_named_once_and_kept) {
    const std::string locked = dir + "/locked", fifo = dir + "/fifo", folder = dir + "/folder";
    std::ofstream(locked) << "42\n";
    fs::permissions(locked, fs::perms::none);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    fs::create_directory(folder);
    as_nobody(
        [&] {
            for (const std::string& p : {locked, fifo, folder}) {
                const auto before = identity(p);
                EXPECT_EQ(read_high_score(p), 0u) << p;
                write_high_score(p, 7);
                write_high_score(p, 8);
                EXPECT_EQ(identity(p), before) << p;
            }
        },
        testing::MatchesRegex("[^\n]*/locked not read[^\n]*\n[^\n]*/fifo not read[^\n]*\n"
                              "[^\n]*/folder not read[^\n]*\n"));
}

// A link's target takes the score, also from a folder that takes no new files.
TEST_F(high_score_test, links_stay_and_read_only_folders_still_save) {
    const std::string open_dir = dir + "/open", shut = dir + "/shut";
    fs::create_directories(open_dir);
    fs::create_directories(shut);
    fs::permissions(open_dir, fs::perms::all);
    std::ofstream(open_dir + "/real") << "7\n";
    std::ofstream(open_dir + "/other") << "8\n";
    std::ofstream(shut + "/bound") << "9\n";
    fs::permissions(shut + "/bound", fs::perms(0666));
    fs::create_symlink("real", open_dir + "/highscore");
    fs::create_symlink("../open/other", shut + "/highscore");
    fs::permissions(shut, fs::perms(0555));
    const ino_t bound = std::get<0>(identity(shut + "/bound"));
    const struct {
        std::string saved, holder;
    } cases[] = {{open_dir + "/highscore", open_dir + "/real"},
                 {shut + "/highscore", open_dir + "/other"},
                 {shut + "/bound", shut + "/bound"}};
    as_nobody(
        [&] {
            for (const auto& c : cases) {
                write_high_score(c.saved, 42);
                EXPECT_EQ(read_file(c.holder), "42\n") << c.saved;
            }
            // Checked in the child: a death test runs the whole test afresh there.
            EXPECT_TRUE(fs::is_symlink(open_dir + "/highscore") &&
                        fs::is_symlink(shut + "/highscore"));
            EXPECT_EQ(std::get<0>(identity(shut + "/bound")), bound);
        },
        testing::Eq(""));
}

// A damaged file is written clean at the quit.
TEST_F(high_score_test, the_saver_saves_each_burst_once_and_only_what_is_new) {
    std::ofstream(path) << "7\n";
    const auto before = identity(path);
    {
        high_score_saver saver(path);
        saver.start_from(read_high_score(path));
        std::vector<int> ran;
        for (int i = 0; i < 5; ++i) {
            saver.save_later([&ran, i] { ran.push_back(i); });
        }
        saver.wait();
        EXPECT_EQ(ran, std::vector{4});
        saver.save(7);
    }
    EXPECT_EQ(identity(path), before);

    // Read-only or not, the file keeps its mode.
    std::ofstream(path) << "7 and more\n";
    fs::permissions(path, fs::perms(0440));
    {
        high_score_saver saver(path);
        saver.start_from(read_high_score(path));
    }
    EXPECT_EQ(read_file(path), "7\n");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0440));
}

// A second quit while a save waits for another run's lock ends the wait at once, named.
TEST_F(high_score_test, a_quit_asked_again_gives_a_held_save_up_at_once) {
    alarm(60); // a quit that waits out its hour fails the test
    std::ofstream(path) << "1\n";
    const int lock = open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);
    testing::internal::CaptureStdout();
    {
        high_score_saver saver(path);
        saver.start_from(1);
        saver.note(5);
        saver.finish(std::chrono::hours(1), [] { return false; });
    }
    EXPECT_THAT(testing::internal::GetCapturedStdout(),
                testing::HasSubstr("high score not saved to " + path + ": "));
    EXPECT_EQ(read_file(path), "1\n");
    close(lock);
    alarm(0);
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// Without memory for another thread's stack the game says so and saves on its own thread.
TEST_F(high_score_test, with_no_thread_to_spare_the_saves_are_made_on_the_callers) {
    EXPECT_EXIT(
        {
            stdout_to_stderr();
            std::ifstream statm("/proc/self/statm");
            long pages = 0;
            statm >> pages;
            rlimit tight{};
            getrlimit(RLIMIT_AS, &tight);
            tight.rlim_cur = static_cast<rlim_t>(pages * sysconf(_SC_PAGESIZE) + (2 << 20));
            setrlimit(RLIMIT_AS, &tight);
            high_score_saver saver(path);
            EXPECT_FALSE(saver.threaded());
            saver.save(9);
            EXPECT_EQ(read_file(path), "9\n");
            std::exit(testing::Test::HasFailure() ? 1 : 0);
        },
        testing::ExitedWithCode(0), "saving on the game's own thread");
}
#endif
