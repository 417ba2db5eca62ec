#pragma once
// Seeded noise for the game data's pictures and sounds. The same seed always
// gives the same values, so every generation writes the same bytes.

#include <cstdint>

// A hash of a lattice point and a seed, as a value from 0 to 1.
float HashUnit(int32_t x, int32_t y, uint32_t seed);

// A small deterministic generator (one stream per use, independent of the
// program's own random generator).
class SeededRandom {
 public:
  explicit SeededRandom(uint32_t seed) : state_(seed * 2654435761u + 1u) {}
  // Next value from 0 to 1 (1 excluded).
  float Unit();
  // Next value from low to high.
  float Range(float low, float high) { return low + (high - low) * Unit(); }

 private:
  uint32_t state_;
};

// Smooth value noise from 0 to 1 at a point; with a period above 0 it wraps
// in x every period lattice cells, so a picture built from it tiles sideways.
float ValueNoise(float x, float y, uint32_t seed, int32_t periodX = 0);
// Octaves of value noise (each twice the frequency and half the weight of
// the last), from 0 to 1.
float FractalNoise(float x, float y, uint32_t seed, int octaves, int32_t periodX = 0);
