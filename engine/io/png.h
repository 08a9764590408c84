#pragma once

#include <string>
#include <vector>

namespace tulk::io {

// The one way PNG files are read and written: 8-bit RGBA, rows top first as stored.
class png {
public:
    // Returns 0 on success, else a code for error_text. Only a regular file is read, so a
    // FIFO cannot hold the reader. With a `max_side` above 0, a picture whose header
    // declares a wider or taller size is refused before anything is decoded.
    static unsigned read(const std::string& path, std::vector<unsigned char>& rgba, unsigned& width,
                         unsigned& height, unsigned max_side = 0);
    static unsigned write(const std::string& path, const std::vector<unsigned char>& rgba,
                          unsigned width, unsigned height);
    static const char* error_text(unsigned code);

    // Codes of read's own beside lodepng's.
    static constexpr unsigned not_regular = 1000;
    static constexpr unsigned too_large = 1001;
};

} // namespace tulk::io
