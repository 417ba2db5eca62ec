#pragma once
// Polyhedral mass properties by face integration (Mirtich's projection,
// face and volume integrals). Faces are added one at a time with their unit
// outward normal; the running integrals stay raw sums, as the callers scale
// them: centre of mass = T1 * 0.5 / T0, second moments = T2 / 3.

#include "physics/math/dgVector.h"

struct dgMassIntegrator {
  double t0 = 0.0;           // volume
  double t1[3] = {0, 0, 0};  // first moments (twice)
  double t2[3] = {0, 0, 0};  // second moments (three times)
  double tp[3] = {0, 0, 0};  // products of inertia (twice)

  // Adds one planar convex face, its vertices wound counter-clockwise about
  // the unit normal; when full is false only T0 and T1 are accumulated.
  void AddFace(int count, const dgVector* points, const dgVector& unitNormal, bool full);

  // The volume T0 as a float.
  float Volume() const { return static_cast<float>(t0); }
  // T1 as a vector (w = 0).
  dgVector FirstMoment() const;
  // T2 as a vector (w = 0).
  dgVector SecondMoment() const;
};
