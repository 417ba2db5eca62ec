#pragma once
// The world's private point: a unit sphere whose support vertex is always
// the origin, so the closest-point queries treat it as a single point.

#include "physics/shapes/dgCollisionSphere.h"

class dgPointCollision : public dgCollisionSphere {
 public:
  explicit dgPointCollision(const dgMatrix& offset);

  // Always the origin (0, 0, 0, 0).
  dgVector SupportVertex(const dgVector&) const override { return {0.0f, 0.0f, 0.0f, 0.0f}; }
  float GetVolume() const override { return 0.0f; }
  void CalculateInertia(dgVector& outInertia, dgVector& outCentre) const override;
};
