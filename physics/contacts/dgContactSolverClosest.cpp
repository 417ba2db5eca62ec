// Closest points of two separated convex shapes: a distance search over a
// simplex of the Minkowski difference, started from the face of the walk
// nearest the origin.

#include <cmath>

#include "physics/body/dgBody.h"
#include "physics/contacts/dgContactSolver.h"
#include "physics/soup/dgCollisionConvexPolygon.h"

namespace {

constexpr int kMaxDistanceSteps = 256;
// The search ends when a support point brings the bounds closer than this.
constexpr float kDistanceTolerance = 0.0005f;
// The difference nearer the origin than this (squared) touches it.
constexpr float kTouching2 = 1.0e-12f;
constexpr int kTrialIndex = 4;

// A simplex of up to four points of the difference with their sums.
struct Simplex {
  dgVector vertices[4];
  dgVector sums[4];
  float weights[4] = {};
  int count = 0;

  // Keeps only the points with a weight, in order.
  void DropUnweighted() {
    int kept = 0;
    for (int i = 0; i < count; ++i) {
      if (weights[i] <= 0.0f) continue;
      vertices[kept] = vertices[i];
      sums[kept] = sums[i];
      weights[kept] = weights[i];
      ++kept;
    }
    count = kept;
  }

  dgVector Combine(const dgVector* points) const {
    dgVector sum(0.0f, 0.0f, 0.0f, 1.0f);
    for (int i = 0; i < count; ++i) sum += points[i].Scale(weights[i]);
    return sum;
  }
};

// The triangle i0 i1 i2 of the simplex: its point nearest the origin and
// the weights of the three.
dgVector TriangleNearOrigin(const Simplex& simplex, int i0, int i1, int i2, float* weights) {
  return dgClosestPointOnTriangle(dgVector(0.0f, 0.0f, 0.0f, 1.0f), simplex.vertices[i0], simplex.vertices[i1],
                                  simplex.vertices[i2], weights);
}

// Sets the simplex's weights to its point nearest the origin and drops the
// points that do not carry it; false when the origin lies inside it.
bool ReduceToNearest(Simplex& simplex) {
  const dgVector* v = simplex.vertices;
  if (simplex.count == 1) {
    simplex.weights[0] = 1.0f;
    return true;
  }
  if (simplex.count == 2) {
    const dgVector edge = v[1] - v[0];
    const float length2 = edge.LengthSquared();
    float t = length2 > 0.0f ? -v[0].DotProduct(edge) / length2 : 0.0f;
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    simplex.weights[0] = 1.0f - t;
    simplex.weights[1] = t;
  } else if (simplex.count == 3) {
    TriangleNearOrigin(simplex, 0, 1, 2, simplex.weights);
  } else {
    // The nearest of the faces the origin lies beyond; none: inside. A flat
    // tetrahedron has no inside, so all its faces are tried.
    const float volume = (v[1] - v[0]).DotProduct((v[2] - v[0]).CrossProduct(v[3] - v[0]));
    const bool flat = !(std::fabs(volume) > 1.0e-12f);
    float best = -1.0f;
    float bestWeights[4] = {};
    for (const int* row : dgContactSolver::kTetrahedronFaces) {
      const dgVector n = (v[row[1]] - v[row[0]]).CrossProduct(v[row[2]] - v[row[0]]);
      const float outward = n.DotProduct(v[row[3]] - v[row[0]]) > 0.0f ? -1.0f : 1.0f;
      if (!flat && !(outward * n.DotProduct(v[row[0]].Scale(-1.0f)) > 0.0f)) continue;
      float weights[3];
      const dgVector point = TriangleNearOrigin(simplex, row[0], row[1], row[2], weights);
      const float distance = point.LengthSquared();
      if (best < 0.0f || distance < best) {
        best = distance;
        for (int i = 0; i < 4; ++i) bestWeights[i] = 0.0f;
        for (int i = 0; i < 3; ++i) bestWeights[row[i]] = weights[i];
      }
    }
    if (best < 0.0f) return false;
    for (int i = 0; i < 4; ++i) simplex.weights[i] = bestWeights[i];
  }
  simplex.DropUnweighted();
  return true;
}

}  // namespace

int dgContactSolver::CalculateClosestPoints(dgVector& outPoint0, dgVector& outPoint1, dgVector& outNormal) {
  int face = 0;
  if (IntersectionTest(face, dgVector(0.0f, 0.0f, 0.0f, 1.0f)) != kSeparated) return 0;
  Simplex simplex;
  for (int i = 0; i < 3; ++i) {
    simplex.vertices[i] = vertices_[kTetrahedronFaces[face][i]];
    simplex.sums[i] = sums_[kTetrahedronFaces[face][i]];
  }
  simplex.count = 3;

  dgVector nearest;
  for (int step = 0; step < kMaxDistanceSteps; ++step) {
    if (!ReduceToNearest(simplex) || simplex.count == 0) return 0;
    nearest = simplex.Combine(simplex.vertices);
    const float distance2 = nearest.LengthSquared();
    if (!(distance2 > kTouching2)) return 0;
    const dgVector direction = nearest.Scale(-1.0f / std::sqrt(distance2));
    SupportVertex(dgVector(direction.x, direction.y, direction.z, 0.0f), kTrialIndex);
    const dgVector& support = vertices_[kTrialIndex];
    if (direction.DotProduct(support - nearest) < kDistanceTolerance) break;
    bool known = false;
    for (int i = 0; i < simplex.count && !known; ++i) {
      known = (simplex.vertices[i] - support).LengthSquared() < kTouching2;
    }
    if (known || simplex.count >= 4) break;
    simplex.vertices[simplex.count] = support;
    simplex.sums[simplex.count] = sums_[kTrialIndex];
    simplex.weights[simplex.count] = 0.0f;
    ++simplex.count;
  }
  if (!ReduceToNearest(simplex) || simplex.count == 0) return 0;
  nearest = simplex.Combine(simplex.vertices);
  const float distance2 = nearest.LengthSquared();
  if (!(distance2 > kTouching2)) return 0;

  // Each shape's point from the weights: s0 = (sum + difference) / 2,
  // s1 = (sum - difference) / 2.
  const dgVector sum = simplex.Combine(simplex.sums);
  const dgMatrix& matrix0 = *collisionMatrix0_;
  const dgVector local0 = (sum + nearest).Scale(0.5f);
  const dgVector local1 = (sum - nearest).Scale(0.5f);
  outPoint0 = matrix0.TransformVector(dgVector(local0.x, local0.y, local0.z, 1.0f));
  outPoint1 = matrix0.TransformVector(dgVector(local1.x, local1.y, local1.z, 1.0f));
  const dgVector direction = nearest.Scale(-1.0f / std::sqrt(distance2));
  outNormal = matrix0.RotateVector(dgVector(direction.x, direction.y, direction.z, 0.0f));
  outNormal.w = 0.0f;
  return 1;
}

int dgCalculateClosestPoints(dgBody* body0, dgBody* body1, dgVector& outPoint0, dgVector& outPoint1,
                             dgVector& outNormal) {
  dgContactSolver solver(body0, body1);
  return solver.CalculateClosestPoints(outPoint0, outPoint1, outNormal);
}

int dgCalculateClosestPoints(dgConvexCollision* collision0, const dgMatrix& collisionMatrix0,
                             dgConvexCollision* collision1, const dgMatrix& collisionMatrix1, bool fixedSupport1,
                             dgVector& outPoint0, dgVector& outPoint1, dgVector& outNormal) {
  dgContactSolver solver(collision0, collisionMatrix0, collision1, collisionMatrix1);
  if (fixedSupport1) solver.FixSupport1();
  return solver.CalculateClosestPoints(outPoint0, outPoint1, outNormal);
}
