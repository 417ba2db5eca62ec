#pragma once
// Bodies placed on the stack as the world's collide services place them,
// over shapes made by a world's shape cache, for the contact tests.

#include "physics/body/dgBody.h"
#include "physics/body/dgContact.h"
#include "support/TestWorld.h"

// A body carrying one reference of a collision, placed by a matrix.
class PlacedBody {
 public:
  // Takes over the caller's reference of collision.
  PlacedBody(dgCollision* collision, const dgMatrix& matrix);
  ~PlacedBody();
  PlacedBody(const PlacedBody&) = delete;
  PlacedBody& operator=(const PlacedBody&) = delete;

  // Moves the body; the collision matrix follows.
  void Place(const dgMatrix& matrix);

  dgBody body;
};

// A matrix with no rotation at (x, y, z).
dgMatrix At(float x, float y, float z);
// A rotation by angle (radians) about a unit axis, at position.
dgMatrix Turned(const dgVector& axis, float angle, const dgVector& position);
// A contact record filled with a recognisable pattern, to see what a routine wrote.
dgContact SentinelContact();
// True when the record still holds the sentinel pattern.
bool IsSentinel(const dgContact& contact);
