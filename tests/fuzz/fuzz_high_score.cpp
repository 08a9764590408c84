// Any bytes read as the first line's number, 0 to 2147483647, which survives a write.

#include "game/high_score.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// The rule, worked out independently: up to 9999 bytes, cut at a line feed or zero byte;
// white space, a sign and digits; negative values count 0, large ones saturate.
long long expected_score(const std::string& bytes) {
    std::string line = bytes.substr(0, 9999);
    line = line.substr(0, line.find('\n'));
    line = line.substr(0, line.find('\0'));
    size_t i = std::min(line.find_first_not_of(" \t\n\v\f\r"), line.size());
    const bool negative = i < line.size() && line[i] == '-';
    i += i < line.size() && (line[i] == '+' || line[i] == '-') ? 1 : 0;
    long long value = 0;
    for (; i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); ++i) {
        value = std::min(value * 10 + (line[i] - '0'), 10'000'000'000LL);
    }
    return negative ? 0 : std::min(value, 2147483647LL);
}

std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void check(bool ok, const char* what, long long got, long long want) {
    if (!ok) {
        std::fprintf(stderr, "%s: got %lld, want %lld\n", what, got, want);
        std::abort();
    }
}

// In memory where possible: every write syncs, which on a disk would be most of the time.
std::string scratch_dir;

const std::string& scratch_path() {
    static const std::string path = [] {
        for (const char* pattern : {"/dev/shm/ardlow-fuzz-XXXXXX", "/tmp/ardlow-fuzz-XXXXXX"}) {
            scratch_dir = pattern;
            if (mkdtemp(scratch_dir.data()) != nullptr) {
                std::atexit([] { std::filesystem::remove_all(scratch_dir); });
                return scratch_dir + "/highscore";
            }
        }
        std::abort();
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string& path = scratch_path();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;

    const unsigned int score = read_high_score(path);
    check(score == expected_score(bytes), "score read", score, expected_score(bytes));
    write_high_score(path, score);
    check(read_all(path) == std::to_string(score) + "\n", "file after the write; its score", score,
          score);
    check(read_high_score(path) == score, "score read back", read_high_score(path), score);
    return 0;
}
