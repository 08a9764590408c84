#pragma once

#include "engine/graphics/program.h"

#include <memory>

// A program of the engine's own classes built from a test's GLSL ES source, with the
// built-in vertex format's attribute names bound, and made current. A compile or link
// failure ends the process with its log.
std::unique_ptr<tulk::graphics::program> use_test_program(const char* vertex_source,
                                                          const char* fragment_source);

// Draws the "square" geometry over the whole viewport, showing the texture bound to the
// unit that the sampler "picture" is set to.
std::unique_ptr<tulk::graphics::program> use_picture_program();
