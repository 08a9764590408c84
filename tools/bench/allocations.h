#pragma once

#include <cstdint>

// Heap allocations made through operator new. The bench executable replaces the global
// operator new to report each one here; anything else linking this library counts none.
//
// While watching, each allocation is told apart by where it comes from: the game and
// engine (this executable, or the C++ library on its behalf) or the GL driver, whose
// shader compiler is C++ too and allocates whenever it builds a new shader variant.
namespace allocations {

enum class origin { game, driver };

void note(origin o);
// Allocations noted as the game's, and as the driver's.
std::uint64_t game_count();
std::uint64_t driver_count();

// Whether allocations are being watched (and so worth telling apart).
void set_watching(bool on);
bool watching();

} // namespace allocations
