#include "engine/io/png.h"

#include "engine/io/file.h"

#include <lodepng.h>

namespace tulk::io {

namespace {

constexpr size_t header_size = 33;

} // namespace

unsigned png::read(const std::string& path, std::vector<unsigned char>& rgba, unsigned& width,
                   unsigned& height, unsigned max_side) {
    rgba.clear();
    file f(path, file::read, file::binary);
    if (!f.good()) {
        return 78; // lodepng's own code for a file that cannot be opened
    }
    if (!f.regular()) {
        return not_regular;
    }
    // The signature and the header chunk: enough to judge the size before reading on.
    std::string bytes = f.read_bytes(header_size);
    if (max_side > 0) {
        // A small file can declare gigabytes of pixels; the header alone says how many.
        lodepng::State state;
        if (const unsigned code = lodepng_inspect(
                &width, &height, &state, reinterpret_cast<const unsigned char*>(bytes.data()),
                bytes.size())) {
            return code;
        }
        if (width > max_side || height > max_side) {
            return too_large;
        }
    }
    bytes += f.read_file();
    return lodepng::decode(rgba, width, height,
                           reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

unsigned png::write(const std::string& path, const std::vector<unsigned char>& rgba, unsigned width,
                    unsigned height) {
    return lodepng::encode(path, rgba, width, height);
}

const char* png::error_text(unsigned code) {
    switch (code) {
    case not_regular:
        return "not a regular file";
    case too_large:
        return "picture wider or taller than allowed";
    default:
        return lodepng_error_text(code);
    }
}

} // namespace tulk::io
