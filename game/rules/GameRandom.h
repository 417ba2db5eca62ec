#pragma once

// Random fractions for the game's effects and choices, from the program's
// one generator.

#include "platform/Random.h"

// A fraction from 0 to 1, both included.
inline float RandomFraction() { return static_cast<float>(platform::NextRandom()) / platform::kRandomMax; }
