#include "game/high_score_saver.h"

#include "game/high_score.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <pthread.h>

high_score_saver* high_score_saver::sActive = nullptr;

high_score_saver::high_score_saver(std::string path) : path(std::move(path)) {
    static const bool hooked = std::atexit(&high_score_saver::at_exit) == 0;
    (void)hooked;
    sActive = this;
    // Signals sent to the process go to the main thread, whose handlers turn them into a
    // quit. A file size limit then fails the worker's write with EFBIG instead of ending
    // the process, whatever the process does with SIGXFSZ. Faults stay deliverable.
    sigset_t signals;
    sigset_t before;
    sigfillset(&signals);
    for (const int fault : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT, SIGSYS}) {
        sigdelset(&signals, fault);
    }
    pthread_sigmask(SIG_BLOCK, &signals, &before);
    worker = std::thread(&high_score_saver::work, this);
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

high_score_saver::~high_score_saver() {
    finish();
    if (sActive == this) {
        sActive = nullptr;
    }
}

void high_score_saver::save(unsigned int score) {
    const std::lock_guard hold(mutex);
    noted = score;
    if (stopping || handed == score) {
        return;
    }
    handed = wanted = score;
    wake.notify_all();
}

void high_score_saver::note(unsigned int score) {
    const std::lock_guard hold(mutex);
    noted = score;
}

void high_score_saver::wait() {
    std::unique_lock hold(mutex);
    idle.wait(hold, [this] { return !wanted && !busy; });
}

void high_score_saver::finish(std::chrono::milliseconds limit) {
    {
        const std::lock_guard hold(mutex);
        if (stopping) {
            return;
        }
        if (noted && noted != handed) {
            handed = wanted = noted;
        }
        stopping = true;
        deadline = clock::now() + limit;
        wake.notify_all();
    }
    worker.join();
}

void high_score_saver::work() {
    std::unique_lock hold(mutex);
    for (;;) {
        wake.wait(hold, [this] { return wanted || stopping; });
        if (!wanted) {
            return;
        }
        const unsigned int score = *wanted;
        wanted.reset();
        busy = true;
        hold.unlock();
        write_high_score(path, score, [this] { return keep_waiting(); });
        hold.lock();
        busy = false;
        idle.notify_all();
    }
}

bool high_score_saver::keep_waiting() {
    // Often enough that a lock let go is taken at once, seldom enough to cost nothing.
    constexpr std::chrono::milliseconds retry{50};
    std::unique_lock hold(mutex);
    const clock::time_point now = clock::now();
    if (now >= deadline) {
        return false;
    }
    // finish() wakes it early, to start counting towards the deadline.
    wake.wait_until(hold, std::min(now + retry, deadline));
    return true;
}

void high_score_saver::at_exit() {
    if (sActive != nullptr) {
        sActive->finish();
    }
}
