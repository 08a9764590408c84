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
    // The game's models and glyphs go while the engine still stands; its scenes and
    // textures after the mixer has closed; the window, holding the context, last.
    played->teardown_first();
    tulk::destroy();
    played->teardown_second();
    played.reset();
}
