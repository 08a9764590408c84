#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes 16-bit PCM WAV files (RIFF, little-endian), the format the game's effects use.
class wav_writer {
public:
    // `samples` are interleaved when there is more than one channel. Returns false when
    // the file cannot be written.
    static bool write(const std::string& path, const std::vector<std::int16_t>& samples,
                      int channels, int sample_rate);
};
