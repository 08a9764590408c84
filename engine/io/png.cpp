#include "engine/io/png.h"

#include <lodepng.h>

namespace tulk::io {

unsigned png::read(const std::string& path, std::vector<unsigned char>& rgba, unsigned& width,
                   unsigned& height) {
    rgba.clear();
    return lodepng::decode(rgba, width, height, path);
}

unsigned png::write(const std::string& path, const std::vector<unsigned char>& rgba, unsigned width,
                    unsigned height) {
    return lodepng::encode(path, rgba, width, height);
}

const char* png::error_text(unsigned code) {
    return lodepng_error_text(code);
}

} // namespace tulk::io
