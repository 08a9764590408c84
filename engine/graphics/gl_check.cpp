#include "engine/graphics/gl_check.h"

#include "engine/util/fatal.h"

namespace tulk::graphics {

void gl_fail(const char* label, GLenum code) {
    util::fatal(1, "glerror: %s: %d\n", label, static_cast<int>(code));
}

} // namespace tulk::graphics
