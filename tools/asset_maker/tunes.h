#pragma once

#include "asset_maker/synth.h"

// The game's two pieces of music, composed in code. Each is a whole number of bars long
// and rendered into a looped buffer, so it repeats without a seam.
namespace tunes {

// Title music: calm A minor arpeggios at 105 beats a minute, 16 bars.
synth ouroboros();
// In-game music: driving D minor at 140 beats a minute, 24 bars.
synth buff_proof();

} // namespace tunes
