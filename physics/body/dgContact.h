#pragma once
// One contact point as every contact routine writes it into an array that
// its caller owns, and the constants all contact routines share.

#include <cstdint>

#include "physics/math/dgVector.h"

class dgBody;
class dgCollision;

struct dgContact {
  dgVector point;        // world space
  dgVector normal;       // unit, from body 1 towards body 0
  uint32_t reserved[8];  // written by no contact routine
  dgBody* body0;
  dgBody* body1;
  dgCollision* collision0;
  dgCollision* collision1;
  int64_t userId;     // the soup face's attribute, sign-extended; 0 between convex shapes
  float penetration;  // overlap minus the slop, never negative
  uint32_t last;      // written by no contact routine
};

// Overlap taken off every reported penetration.
inline constexpr float dgContactSlop = 1.0f / 128.0f;
// Closed-form routines report a contact only at a separation of at most minus this.
inline constexpr float dgContactThreshold = 1.0f / 256.0f;

// The reported penetration for a geometric overlap: overlap - slop, at least 0.
inline float dgContactPenetration(float overlap) {
  const float depth = overlap - dgContactSlop;
  return depth > 0.0f ? depth : 0.0f;
}
