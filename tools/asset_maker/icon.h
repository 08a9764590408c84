#pragma once

#include "image/canvas.h"

// The desktop icon: a snake of cubes heading for a pickup on a dark rounded tile.
namespace icon {

// The sizes installed into the desktop's icon theme, in pixels.
inline constexpr int sizes[] = {48, 128, 256};

// Drawn at each size from the same shapes, so small icons stay sharp instead of being
// shrunk from a large one.
canvas draw(int size);

} // namespace icon
