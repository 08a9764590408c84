#include "asset_maker/wav_writer.h"

#include <cstdio>

namespace {

void put16(std::vector<unsigned char>& out, std::uint16_t v) {
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void put32(std::vector<unsigned char>& out, std::uint32_t v) {
    put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

void put_tag(std::vector<unsigned char>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

} // namespace

bool wav_writer::write(const std::string& path, const std::vector<std::int16_t>& samples,
                       int channels, int sample_rate) {
    const auto data_bytes = static_cast<std::uint32_t>(samples.size() * 2);
    const auto block = static_cast<std::uint16_t>(channels * 2);
    std::vector<unsigned char> out;
    out.reserve(44 + data_bytes);
    put_tag(out, "RIFF");
    put32(out, 36 + data_bytes);
    put_tag(out, "WAVE");
    put_tag(out, "fmt ");
    put32(out, 16);
    put16(out, 1); // integer PCM
    put16(out, static_cast<std::uint16_t>(channels));
    put32(out, static_cast<std::uint32_t>(sample_rate));
    put32(out, static_cast<std::uint32_t>(sample_rate) * block);
    put16(out, block);
    put16(out, 16);
    put_tag(out, "data");
    put32(out, data_bytes);
    for (std::int16_t s : samples) {
        put16(out, static_cast<std::uint16_t>(s));
    }

    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    const bool written = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && written;
}
