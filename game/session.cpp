#include "game/session.h"

#include "engine/graphics/engine.h"

namespace {

void report(const std::function<void(session::step)>& after_step, session::step done) {
    if (after_step) {
        after_step(done);
    }
}

} // namespace

session::session(const window_options& options, const std::function<void(step)>& after_step,
                 settings prefs)
    : win(options.title, options.x, options.y, options.width, options.height, options.fullscreen,
          options.grab_input) {
    report(after_step, step::window);
    tulk::init();
    report(after_step, step::engine);
    played = std::make_unique<game>(win, std::move(prefs));
    report(after_step, step::game);
}

session::session() : session(window_options{}) {}

session::~session() {
    // The game (its models, glyphs, scenes and textures, the high score saved) goes while
    // the context still stands, then the mixer, then the window with the context.
    played.reset();
    tulk::destroy();
}
