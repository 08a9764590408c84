#pragma once

#include "asset_maker/synth.h"

// The game's two sound effects, made in code.
namespace effects {

// The snake's death: a crack of noise over a falling low boom and rumble, one second.
synth blast();
// A pickup eaten: a bright blip rising over an octave and a half, a quarter second.
synth pickup();

} // namespace effects
