#include "game/high_score_saver.h"

#include "game/high_score.h"

#include <algorithm>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <pthread.h>
#include <string>
#include <system_error>

std::atomic<high_score_saver*> high_score_saver::sActive = nullptr;

struct high_score_saver::shared {
    using clock = std::chrono::steady_clock;

    explicit shared(std::string file) : path(std::move(file)) {}

    // Called while another run holds the lock: sleeps a little; false once the deadline
    // has passed.
    bool keep_waiting() {
        // Often enough that a lock let go is taken at once, seldom enough to cost nothing.
        constexpr std::chrono::milliseconds retry{50};
        std::unique_lock hold(mutex);
        const clock::time_point now = clock::now();
        if (now >= deadline || given_up) {
            return false;
        }
        // finish() wakes it early, to start counting towards the deadline.
        wake.wait_until(hold, std::min(now + retry, deadline));
        return true;
    }

    bool pending() const { return wanted || job || busy; }

    const std::string path;
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::optional<unsigned int> stored;
    std::optional<unsigned int> noted;
    std::optional<unsigned int> handed;
    std::optional<unsigned int> wanted;
    std::function<void()> job;
    clock::time_point job_due;
    // A job waits for no more jobs.
    bool hurry = false;
    bool busy = false;
    bool busy_with_score = false;
    bool stopping = false;
    bool given_up = false;
    clock::time_point deadline = clock::time_point::max();
};

namespace {

// Blocks every signal but the faults on the calling thread until it goes out of scope.
class signals_blocked {
public:
    signals_blocked() {
        sigset_t signals;
        sigfillset(&signals);
        for (const int fault : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT, SIGSYS}) {
            sigdelset(&signals, fault);
        }
        pthread_sigmask(SIG_BLOCK, &signals, &before);
    }
    ~signals_blocked() { pthread_sigmask(SIG_SETMASK, &before, nullptr); }
    signals_blocked(const signals_blocked&) = delete;
    signals_blocked& operator=(const signals_blocked&) = delete;

private:
    sigset_t before{};
};

} // namespace

high_score_saver::high_score_saver(std::string path)
    : state(std::make_shared<shared>(std::move(path))) {
    static const bool hooked = std::atexit(&high_score_saver::at_exit) == 0;
    (void)hooked;
    try {
        // Signals sent to the process go to the main thread, whose handlers turn them into
        // a quit. A file size limit then fails the worker's write with EFBIG instead of
        // ending the process, whatever the process does with SIGXFSZ.
        const signals_blocked blocked;
        worker = std::thread(&high_score_saver::work, state);
    } catch (const std::system_error& e) {
        std::printf("saving on the game's own thread, which a slow disk can hold up: no thread "
                    "for it (%s)\n",
                    e.what());
        std::fflush(stdout);
    }
    // Only now whole, for the exit hook.
    sActive = this;
}

high_score_saver::~high_score_saver() {
    finish();
    high_score_saver* self = this;
    sActive.compare_exchange_strong(self, nullptr);
}

void high_score_saver::start_from(unsigned int score) {
    // Read before the lock: a quit with nothing new to save then needs neither.
    const bool clean = high_score_file_holds(state->path, score);
    const std::lock_guard hold(state->mutex);
    if (clean) {
        state->stored = score;
    }
    state->noted = state->noted.value_or(score);
}

void high_score_saver::save(unsigned int score) {
    {
        const std::lock_guard hold(state->mutex);
        shared& s = *state;
        s.noted = score;
        if (s.stopping || s.handed == score || (!s.handed && s.stored == score)) {
            return;
        }
        s.handed = s.wanted = score;
        s.wake.notify_all();
    }
    if (!threaded()) {
        save_here();
    }
}

void high_score_saver::note(unsigned int score) {
    const std::lock_guard hold(state->mutex);
    state->noted = score;
}

void high_score_saver::save_later(std::function<void()> job) {
    {
        const std::lock_guard hold(state->mutex);
        if (state->stopping) {
            return;
        }
        state->job = std::move(job);
        state->job_due = shared::clock::now() + settle_time;
        state->wake.notify_all();
    }
    if (!threaded()) {
        save_here();
    }
}

void high_score_saver::wait() {
    std::unique_lock hold(state->mutex);
    state->hurry = true;
    state->wake.notify_all();
    state->idle.wait(hold, [this] { return !state->pending() || !threaded(); });
    state->hurry = false;
}

void high_score_saver::finish(std::chrono::milliseconds limit,
                              const std::function<bool()>& keep_waiting) {
    shared& s = *state;
    std::unique_lock hold(s.mutex);
    if (s.stopping) {
        return;
    }
    if (s.noted && s.noted != s.handed && !(!s.handed && s.noted == s.stored)) {
        s.handed = s.wanted = s.noted;
    }
    s.stopping = true;
    s.deadline = shared::clock::now() + limit;
    s.wake.notify_all();
    if (!threaded()) {
        hold.unlock();
        save_here();
        return;
    }
    // In short steps, so that a second quit is answered at once.
    constexpr std::chrono::milliseconds step{20};
    while (s.pending() && shared::clock::now() < s.deadline) {
        if (keep_waiting) {
            hold.unlock();
            const bool go_on = keep_waiting();
            hold.lock();
            if (!go_on) {
                break;
            }
        }
        s.idle.wait_until(hold, std::min(shared::clock::now() + step, s.deadline));
    }
    // A worker waiting for another run's lock gives up at once, saying why.
    constexpr std::chrono::milliseconds grace{200};
    s.given_up = true;
    s.wake.notify_all();
    s.idle.wait_for(hold, grace, [&s] { return !s.busy; });
    if (!s.pending()) {
        hold.unlock();
        worker.join();
        return;
    }
    // Left to end with the process; what it still writes goes to a new file, which takes
    // the old one's place whole or not at all.
    const bool score = s.wanted || s.busy_with_score;
    const bool settings_left = s.job || (s.busy && !s.busy_with_score);
    const std::string why = shared::clock::now() >= s.deadline
                                ? "the disk took over " + std::to_string(limit.count()) + " ms"
                                : std::string("quit again before it was done");
    hold.unlock();
    if (score) {
        say_high_score_not_saved(s.path, why);
    }
    if (settings_left) {
        std::printf("settings not saved: %s\n", why.c_str());
        std::fflush(stdout);
    }
    worker.detach();
}

void high_score_saver::work(const std::shared_ptr<shared>& state) {
    shared& s = *state;
    std::unique_lock hold(s.mutex);
    for (;;) {
        if (s.given_up) {
            return;
        }
        if (s.wanted) {
            const unsigned int score = *s.wanted;
            s.wanted.reset();
            s.busy = s.busy_with_score = true;
            hold.unlock();
            write_high_score(s.path, score, [&s] { return s.keep_waiting(); });
            hold.lock();
            s.busy = s.busy_with_score = false;
            s.idle.notify_all();
            continue;
        }
        if (s.job && (s.stopping || s.hurry || shared::clock::now() >= s.job_due)) {
            const std::function<void()> job = std::move(s.job);
            s.job = nullptr;
            s.busy = true;
            hold.unlock();
            job();
            hold.lock();
            s.busy = false;
            s.idle.notify_all();
            continue;
        }
        if (s.stopping) {
            return;
        }
        if (s.job) {
            s.wake.wait_until(hold, s.job_due);
        } else {
            s.wake.wait(hold);
        }
    }
}

void high_score_saver::save_here() {
    shared& s = *state;
    std::unique_lock hold(s.mutex);
    const std::optional<unsigned int> score = s.wanted;
    const std::function<void()> job = std::move(s.job);
    s.wanted.reset();
    s.job = nullptr;
    // Played on meanwhile: a lock held by another run holds up the game only so long.
    const auto until = s.stopping ? s.deadline : shared::clock::now() + quit_wait;
    hold.unlock();
    if (score) {
        write_high_score(s.path, *score, [until] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            return shared::clock::now() < until;
        });
    }
    if (job) {
        job();
    }
}

void high_score_saver::at_exit() {
    if (high_score_saver* active = sActive.load()) {
        active->finish();
    }
}
