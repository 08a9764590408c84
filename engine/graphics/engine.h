#pragma once

// Engine start and stop, called once each between the window's construction and its
// destruction.
namespace tulk {

// Seeds the random generator, sets the fixed GL state with the built-in geometry and
// opens the audio mixer.
void init();

// Closes the audio mixer and frees every loaded sound and piece of music.
void destroy();

namespace graphics {

// The fixed GL state every frame relies on, and the built-in geometry.
void init();

} // namespace graphics
} // namespace tulk
