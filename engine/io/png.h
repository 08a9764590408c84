#pragma once

#include <string>
#include <vector>

namespace tulk::io {

// The one way PNG files are read and written: 8-bit RGBA, rows top first as stored.
class png {
public:
    // Returns 0 on success, else a lodepng error code for error_text.
    static unsigned read(const std::string& path, std::vector<unsigned char>& rgba, unsigned& width,
                         unsigned& height);
    static unsigned write(const std::string& path, const std::vector<unsigned char>& rgba,
                          unsigned width, unsigned height);
    static const char* error_text(unsigned code);
};

} // namespace tulk::io
