#pragma once

#include <cstdint>
#include <glm/glm.hpp>
#include <string>

namespace tulk::util {

// Seeds the standard random generator from the current time in whole seconds.
void init();

// A seed drawn from the standard random generator, and that generator restarted from a
// seed: everything drawn after reseed(n) comes out the same for the same n.
std::uint32_t draw_seed();
void reseed(std::uint32_t seed);

// A random integer in [low, high); low when the range is empty.
int rrand(int low, int high);

// A random direction: x, y and z drawn in that order from rrand(-1000, 1000), drawn again
// when all three are zero, and scaled to unit length.
glm::vec3 random_unit_vector();

// Sine and cosine of an angle in degrees, from basic double arithmetic only: the same bits on
// every machine, which the C library's sinf and cosf do not promise (they differ between
// architectures and between CPU variants of one), so a world turned with these plays out the
// same everywhere.
void sin_cos_degrees(float degrees, float& sine, float& cosine);

// Decimal text of an integer, as "%d" prints it.
std::string itoa(int value);

// Fixed-point text with exactly `decimals` digits after the point. The separator is
// always a point, whatever the locale, because the text goes into shader source.
std::string ftoa(float value, int decimals);

} // namespace tulk::util
