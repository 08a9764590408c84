#include "game/replay_store.h"

#include "engine/io/file.h"
#include "engine/io/file_lock.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

using tulk::io::file;

namespace {

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

replay_store::replay_store(const std::string& high_score_file)
    : last(folder_of(high_score_file) + "last.replay"),
      best(folder_of(high_score_file) + "best.replay") {}

void replay_store::warn(const std::string& path, const std::string& why) {
    if (!warned) {
        warned = true;
        std::printf("replay not saved to %s: %s\n", path.c_str(), why.c_str());
        std::fflush(stdout);
    }
}

void replay_store::keep(const replay& r) {
    const std::string bytes = r.encode();
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(lock_wait_ms);
    const tulk::io::file_lock lock(best + ".lock", [deadline] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return std::chrono::steady_clock::now() < deadline;
    });
    if (lock.given_up()) {
        warn(best, "another run still holds " + best + ".lock");
        return;
    }
    const std::string last_target = file::final_target(last);
    if (const int error = file::replace(last_target, bytes); error != 0) {
        warn(last, std::strerror(error));
    }
    const std::string best_target = file::final_target(best);
    std::string why;
    const std::optional<replay> kept = replay::read(best_target, why);
    if (kept && kept->score >= r.score) {
        return;
    }
    if (const int error = file::replace(best_target, bytes); error != 0) {
        warn(best, std::strerror(error));
    }
}
