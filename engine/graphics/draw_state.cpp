#include "engine/graphics/draw_state.h"

#include "engine/graphics/geometry.h"

namespace tulk::graphics {

bool draw_state::sCaching = true;
int draw_state::sDepth = 0;
const geometry* draw_state::sArraysOwner = nullptr;

draw_state::batch::batch() {
    ++sDepth;
}

draw_state::batch::~batch() {
    if (--sDepth == 0) {
        release_arrays();
    }
}

void draw_state::set_caching(bool on) {
    release_arrays();
    sCaching = on;
}

void draw_state::release_arrays() {
    const geometry* owner = sArraysOwner;
    sArraysOwner = nullptr;
    if (owner != nullptr) {
        owner->disable_arrays();
    }
}

} // namespace tulk::graphics
