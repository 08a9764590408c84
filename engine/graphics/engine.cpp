#include "engine/graphics/engine.h"

#include "engine/audio/audio.h"
#include "engine/graphics/geometry.h"
#include "engine/util/util.h"

#include <GLES2/gl2.h>

namespace tulk {

void init() {
    util::init();
    graphics::init();
    audio::init();
}

void destroy() {
    audio::destroy();
}

namespace graphics {

void init() {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    // Blending is switched on per model; only the function is fixed here.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    geometry::init();
}

} // namespace graphics
} // namespace tulk
