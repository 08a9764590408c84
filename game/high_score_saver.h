#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

// Saves off the frame: a worker thread of its own takes the high score's lock, writes the
// file and renames it, and writes the settings, so that a lock held by another run or a
// slow disk never holds up a frame. The frame only hands it scores and settings. Where no
// thread can be started, it says so once and saves on the caller's thread instead.
//
// The saver made last also finishes at process exit while it lives: when a lost display
// makes Xlib end the process with `exit`, or anything else does, a best score not yet
// saved is saved first, as a quit would have saved it.
class high_score_saver {
public:
    // How long a quit waits for the saves still to be made before giving them up.
    static constexpr std::chrono::milliseconds quit_wait{5000};
    // How long a settings change waits for the next one: a held key's repeats save once.
    static constexpr std::chrono::milliseconds settle_time{300};

    // Saves to `path`; with an empty path no score is kept.
    explicit high_score_saver(std::string path);
    // finish()
    ~high_score_saver();

    high_score_saver(const high_score_saver&) = delete;
    high_score_saver& operator=(const high_score_saver&) = delete;

    // The score read at start. Where the file holds it as a save would write it, neither
    // save() nor finish() writes it again; a missing or damaged file is written at finish.
    void start_from(unsigned int score);
    // Hands `score` to the worker and returns at once; it is saved as soon as the lock is
    // free, or replaced by a score handed meanwhile. The score handed last is not saved
    // again.
    void save(unsigned int score);
    // The best score so far, saved only by finish(): the score of a game in progress.
    void note(unsigned int score);
    // Runs `job` on the worker once no other job has come for settle_time; a job handed
    // meanwhile takes its place.
    void save_later(std::function<void()> job);

    // Waits until every handed score and job is saved or given up; a job waits no longer
    // for the next.
    void wait();
    // Hands a noted score that was not handed yet, then ends the worker. Saves not made
    // after `limit`, or once `keep_waiting` (asked every few milliseconds) returns false,
    // are given up, with one line naming what was not saved. Later calls do nothing.
    void finish(std::chrono::milliseconds limit = quit_wait,
                const std::function<bool()>& keep_waiting = nullptr);

    // Whether the saves go to a worker thread.
    bool threaded() const { return worker.joinable(); }

private:
    struct shared;

    static void work(const std::shared_ptr<shared>& s);
    // Saves what is pending on the calling thread, for a saver with no worker.
    void save_here();
    static void at_exit();

    static std::atomic<high_score_saver*> sActive;

    // Also the worker's: a worker given up on at a quit may outlive the saver.
    std::shared_ptr<shared> state;
    std::thread worker;
};
