#pragma once

#include <cstdint>

// Single-precision conversion factors shared by every rotation and heading
// function of the engine.
constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kRadiansToDegrees = 57.29578f;
constexpr float kPi = 3.1415927f;

// Ceiling of x as an int: 2.0 gives 2, 2.1 gives 3, -2.5 gives -2.
int RoundToInt(float x);

// x without its fraction as an int. A plain conversion of NaN or of a value
// beyond int's range is undefined: NaN gives 0 and the rest saturate.
int TruncateToInt(double x);

// A draw in [0, max]; 0 without drawing when max <= 0.
float RandomFloat(float max);

// A draw in [min, max]; min without drawing when max - min <= 0.
float RandomRange(float min, float max);

// min + draw % r, with r = (max - min) taken as an unsigned 16-bit range;
// min without drawing when r is 0.
int RandomInt(int min, int max);

// draw % n for a 16-bit n; 0 without drawing when n is 0.
int RandomBelow(uint16_t n);

// Seeds the program's generator from the current time.
void SeedRandom();

// Angle in degrees of the direction (across, forward), measured from the
// forward axis toward the across axis, in (-180, 180].
float HeadingDegreesOf(float across, float forward);

// acos(dot / lengthProduct) in degrees. Rounding can push the cosine of
// (anti)parallel directions just past +-1, so it is clamped first; a zero
// length product gives 0.
float AngleFromCosine(float dot, float lengthProduct);
