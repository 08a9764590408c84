#pragma once

#include "engine/graphics/program.h"

#include <memory>

// A current program of the engine's built from a test's GLSL ES source, with the built-in
// attribute names bound; a build failure ends the process with its log.
std::unique_ptr<tulk::graphics::program> use_test_program(const char* vertex_source,
                                                          const char* fragment_source);

// Draws "square" over the viewport with the texture of the unit "picture" is set to.
std::unique_ptr<tulk::graphics::program> use_picture_program();
