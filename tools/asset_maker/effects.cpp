#include "asset_maker/effects.h"

namespace effects {

synth blast() {
    synth s(1.0, false);
    s.noise(0.0, 1.0, 1.0f, 0.0f, 6000.0, 200.0, 0.2);
    s.noise(0.0, 1.0, 1.6f, 0.0f, 400.0, 60.0, 0.45);
    s.sweep(0.0, 1.0, 90.0, 28.0, 0.9f, 0.0f, 0.35);
    // Debris crackling as the cloud settles.
    for (double at : {0.06, 0.13, 0.21, 0.32, 0.45}) {
        s.noise(at, 0.05, 0.35f, 0.0f, 3000.0, 1500.0, 0.01, true);
    }
    s.normalise(0.9f);
    return s;
}

synth pickup() {
    synth s(0.26, false);
    s.sweep(0.0, 0.26, 520.0, 1560.0, 0.6f, 0.0f, 0.15, 3);
    s.sweep(0.08, 0.18, 1040.0, 2080.0, 0.3f, 0.0f, 0.08, 2);
    s.normalise(0.8f);
    return s;
}

} // namespace effects
