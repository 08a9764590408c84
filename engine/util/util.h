#pragma once

#include <glm/glm.hpp>
#include <string>

namespace tulk::util {

// Seeds the standard random generator from the current time in whole seconds.
void init();

// A random integer in [low, high); low when the range is empty.
int rrand(int low, int high);

// A random direction: x, y and z drawn in that order from rrand(-1000, 1000), drawn again
// when all three are zero, and scaled to unit length.
glm::vec3 random_unit_vector();

// Decimal text of an integer, as "%d" prints it.
std::string itoa(int value);

// Fixed-point text with exactly `decimals` digits after the point. The separator is
// always a point, whatever the locale, because the text goes into shader source.
std::string ftoa(float value, int decimals);

} // namespace tulk::util
