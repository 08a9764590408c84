#pragma once

#include "engine/graphics/program.h"

#include <memory>

// A current program from a test's GLSL ES source, the built-in attribute names bound.
std::unique_ptr<tulk::graphics::program> use_test_program(const char* vertex_source,
                                                          const char* fragment_source);

// Draws "square" over the viewport with the texture of the unit "picture" is set to.
std::unique_ptr<tulk::graphics::program> use_picture_program();
