#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// Saves the best score off the frame: a worker thread of its own takes the lock, writes the
// file and renames it, so that a lock held by another run or a slow disk never holds up a
// frame. The frame only hands it scores.
//
// The saver made last also finishes at process exit while it lives: when a lost display
// makes Xlib end the process with `exit`, or anything else does, a best score not yet
// saved is saved first, as a quit would have saved it.
class high_score_saver {
public:
    // How long a quit waits for another run's lock before giving the save up.
    static constexpr std::chrono::milliseconds quit_wait{5000};

    explicit high_score_saver(std::string path);
    // finish()
    ~high_score_saver();

    high_score_saver(const high_score_saver&) = delete;
    high_score_saver& operator=(const high_score_saver&) = delete;

    // Hands `score` to the worker and returns at once; it is saved as soon as the lock is
    // free, or replaced by a score handed meanwhile. The score handed last is not saved
    // again.
    void save(unsigned int score);
    // The best score so far, saved only by finish(): the score of a game in progress.
    void note(unsigned int score);

    // Waits until every handed score is saved or given up.
    void wait();
    // Hands a noted score that was not handed yet, then ends the worker. A save still
    // waiting for another run's lock after `limit` is given up, with one line saying so.
    // Later calls do nothing.
    void finish(std::chrono::milliseconds limit = quit_wait);

private:
    using clock = std::chrono::steady_clock;

    void work();
    // Called while another run holds the lock: sleeps a little; false once the deadline
    // has passed.
    bool keep_waiting();
    static void at_exit();

    static high_score_saver* sActive;

    const std::string path;
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::optional<unsigned int> noted;
    std::optional<unsigned int> handed;
    std::optional<unsigned int> wanted;
    bool busy = false;
    bool stopping = false;
    clock::time_point deadline = clock::time_point::max();
    std::thread worker;
};
