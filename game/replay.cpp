#include "game/replay.h"

#include "engine/io/file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <zlib.h>

namespace {

constexpr std::size_t magic_size = std::char_traits<char>::length(replay::magic);
// Version, seed, score, updates, final check, check count, run count.
constexpr std::size_t header_size = magic_size + 7 * 4;

void put32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((v >> (8 * i)) & 0xffu);
    }
}

std::uint32_t crc_of(const void* data, std::size_t size, std::uint32_t crc = 0) {
    return static_cast<std::uint32_t>(
        crc32(crc, static_cast<const Bytef*>(data), static_cast<uInt>(size)));
}

// Reads from a byte string front to back; false once anything ran past its end.
class reader {
public:
    reader(const std::string& bytes, std::size_t from) : bytes(bytes), at(from) {}

    bool u32(std::uint32_t& v) {
        if (bytes.size() - at < 4) {
            return false;
        }
        v = 0;
        for (int i = 0; i < 4; ++i) {
            v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at++])) << (8 * i);
        }
        return true;
    }
    // Seven bits a byte, low first, at most five bytes.
    bool varint(std::uint32_t& v) {
        v = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            if (at == bytes.size()) {
                return false;
            }
            const auto b = static_cast<unsigned char>(bytes[at++]);
            v |= static_cast<std::uint32_t>(b & 0x7fu) << shift;
            if ((b & 0x80u) == 0) {
                return true;
            }
        }
        return false;
    }
    bool byte(std::uint8_t& v) {
        if (at == bytes.size()) {
            return false;
        }
        v = static_cast<std::uint8_t>(bytes[at++]);
        return true;
    }
    std::size_t position() const { return at; }

private:
    const std::string& bytes;
    std::size_t at;
};

} // namespace

void replay::add_update(inputs held) {
    if (!runs.empty() && runs.back().held == held) {
        ++runs.back().count;
    } else {
        runs.push_back({1, held});
    }
    ++updates;
}

std::string replay::encode() const {
    std::string out = magic;
    for (const std::uint32_t v :
         {version, seed, score, updates, final_check, static_cast<std::uint32_t>(checks.size()),
          static_cast<std::uint32_t>(runs.size())}) {
        put32(out, v);
    }
    for (const std::uint32_t c : checks) {
        put32(out, c);
    }
    for (const run& r : runs) {
        for (std::uint32_t v = r.count;; v >>= 7) {
            const bool more = v >= 0x80u;
            out += static_cast<char>((v & 0x7fu) | (more ? 0x80u : 0u));
            if (!more) {
                break;
            }
        }
        out += static_cast<char>(r.held);
    }
    put32(out, crc_of(out.data(), out.size()));
    return out;
}

std::optional<replay> replay::decode(const std::string& bytes, std::string& why) {
    if (bytes.empty()) {
        why = "empty file";
        return std::nullopt;
    }
    if (bytes.compare(0, magic_size, magic) != 0) {
        why = "not a replay (no \"ardlow replay\" line)";
        return std::nullopt;
    }
    reader in(bytes, magic_size);
    replay r;
    std::uint32_t file_version = 0;
    std::uint32_t check_count = 0;
    std::uint32_t run_count = 0;
    if (!in.u32(file_version)) {
        why = "truncated";
        return std::nullopt;
    }
    if (file_version != version) {
        why = "version " + std::to_string(file_version) + ", this game reads version " +
              std::to_string(version);
        return std::nullopt;
    }
    if (!in.u32(r.seed) || !in.u32(r.score) || !in.u32(r.updates) || !in.u32(r.final_check) ||
        !in.u32(check_count) || !in.u32(run_count)) {
        why = "truncated";
        return std::nullopt;
    }
    // Checked before anything is read into memory on their word.
    if (r.updates == 0 || r.updates > most_updates || check_count != r.updates / check_interval ||
        run_count == 0 || run_count > r.updates) {
        why = "impossible counts (" + std::to_string(r.updates) + " updates, " +
              std::to_string(check_count) + " checks, " + std::to_string(run_count) + " runs)";
        return std::nullopt;
    }
    // Each check takes four bytes and each run two at least.
    if (bytes.size() < header_size + 4ull * check_count + 2ull * run_count + 4) {
        why = "truncated";
        return std::nullopt;
    }
    r.checks.resize(check_count);
    for (std::uint32_t& c : r.checks) {
        in.u32(c);
    }
    r.runs.reserve(run_count);
    std::uint64_t total = 0;
    for (std::uint32_t i = 0; i < run_count; ++i) {
        run each{};
        if (!in.varint(each.count) || !in.byte(each.held)) {
            why = "truncated";
            return std::nullopt;
        }
        total += each.count;
        r.runs.push_back(each);
    }
    const std::size_t body = in.position();
    std::uint32_t crc = 0;
    if (!in.u32(crc)) {
        why = "truncated";
        return std::nullopt;
    }
    if (in.position() != bytes.size()) {
        why = std::to_string(bytes.size() - in.position()) + " bytes after the end";
        return std::nullopt;
    }
    if (crc != crc_of(bytes.data(), body)) {
        why = "bad checksum";
        return std::nullopt;
    }
    // Only a writer of its own makes these: the checksum holds.
    if (total != r.updates) {
        why = "the inputs cover " + std::to_string(total) + " updates, not " +
              std::to_string(r.updates);
        return std::nullopt;
    }
    for (const run& each : r.runs) {
        if (each.count == 0 || (each.held & 0x80u) != 0 || (each.held & 3u) == 2 ||
            ((each.held >> 2) & 3u) == 2 || ((each.held >> 4) & 3u) == 2) {
            why = "inputs no key gives";
            return std::nullopt;
        }
    }
    return r;
}

std::optional<replay> replay::read(const std::string& path, std::string& why) {
    tulk::io::file f(path, tulk::io::file::read, tulk::io::file::binary);
    if (!f.good()) {
        why = std::strerror(f.error());
        return std::nullopt;
    }
    if (!f.regular()) {
        why = "not a regular file";
        return std::nullopt;
    }
    // A real recording is far below this; a longer file is no recording of this game.
    constexpr std::uintmax_t most_bytes = 64u << 20;
    std::error_code error;
    if (std::filesystem::file_size(path, error) > most_bytes && !error) {
        why = "too large for a replay";
        return std::nullopt;
    }
    return decode(f.read_file(), why);
}
