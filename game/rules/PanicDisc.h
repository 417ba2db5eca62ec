#pragma once

// The shape of a Panic disc for a skill level: how many rings and gems, the
// highest colour and shape, how full it starts and how the group generator
// reshapes it. Harder levels give larger, fuller discs with more colours
// and fewer ready-made groups.

#include <cstdint>

// Levels above this play as this one.
constexpr uint32_t kMaxPanicLevel = 100;

struct PanicDiscPlan {
  // The level the plan was drawn for, after the cap.
  uint32_t level = 0;
  unsigned rings = 0;
  unsigned gemsPerRing = 0;
  // Highest colour index (3 to 8; Panic never makes Gold) and shape index.
  uint16_t highestColour = 0;
  uint16_t highestShape = 0;
  float fillRatio = 0.0f;
  // What the group generator aims at, and its two stopping sizes.
  float groupRatio = 0.0f;
  unsigned smallestGroup = 0;
  unsigned largestGroup = 0;
};

// Draws a plan for the stored level from the program's generator (four
// draws: rings, gems, colours, shapes).
PanicDiscPlan DrawPanicDiscPlan(uint32_t storedLevel);
