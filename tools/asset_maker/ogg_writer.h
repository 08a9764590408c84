#pragma once

#include <string>
#include <vector>

// Encodes float samples as Ogg Vorbis. With a fixed stream serial number the encoder is
// deterministic, so the same samples always give the same bytes.
class ogg_writer {
public:
    // `samples` are interleaved, -1..1. `quality` is libvorbis' VBR quality (-0.1..1).
    // Returns false when the encoder refuses the settings or the file cannot be written.
    static bool write(const std::string& path, const std::vector<float>& samples, int channels,
                      int sample_rate, float quality, int serial, const std::string& title);
};
