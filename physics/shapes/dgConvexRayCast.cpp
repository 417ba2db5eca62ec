// Segment cast against a convex hull by advancing a tetrahedron of support
// points towards the point where the segment meets the hull.

#include <cmath>

#include "physics/body/dgContact.h"
#include "physics/shapes/dgConvexCollision.h"

namespace {

// The 8 cube diagonals, then the 6 axes: directions tried when the segment's
// own direction does not give a full tetrahedron.
constexpr float kDiagonal = 0.57735f;
const dgVector kSearchDirections[14] = {
    {kDiagonal, -kDiagonal, kDiagonal, 0},
    {-kDiagonal, -kDiagonal, -kDiagonal, 0},
    {kDiagonal, -kDiagonal, -kDiagonal, 0},
    {-kDiagonal, kDiagonal, kDiagonal, 0},
    {kDiagonal, kDiagonal, -kDiagonal, 0},
    {-kDiagonal, kDiagonal, -kDiagonal, 0},
    {-kDiagonal, -kDiagonal, kDiagonal, 0},
    {kDiagonal, kDiagonal, kDiagonal, 0},
    {0, -1, 0, 0},
    {0, 1, 0, 0},
    {1, 0, 0, 0},
    {-1, 0, 0, 0},
    {0, 0, 1, 0},
    {0, 0, -1, 0},
};
constexpr int kDirectionCount = 14;

// Faces of the tetrahedron (three vertices, then the opposite one).
constexpr int kTetraFaces[4][4] = {{0, 1, 2, 3}, {0, 2, 3, 1}, {2, 1, 3, 0}, {1, 0, 3, 2}};

constexpr int kMaxIterations = 128;
constexpr float kFarDistance = 1e10f;

float SignedVolume(const dgVector* p) { return (p[1] - p[0]).CrossProduct(p[2] - p[0]).DotProduct(p[3] - p[0]); }

dgVector FaceNormal(const dgVector* p, int face) {
  const int* f = kTetraFaces[face];
  return (p[f[1]] - p[f[0]]).CrossProduct(p[f[2]] - p[f[0]]);
}

// The simplex is kept with a negative signed volume, so that every face of
// the table has its normal pointing away from the opposite vertex.
struct Simplex {
  const dgConvexCollision* shape;
  dgVector p[4];

  bool IsSimplexVertex(const dgVector& s) const {
    for (const dgVector& corner : p) {
      if ((corner - s).LengthSquared() < 1e-6f) return true;
    }
    return false;
  }

  // Advances towards q: the face that q lies in front of and that lies on
  // the hull (with its distance), or -1 when q is inside (distance 0).
  int Advance(const dgVector& q, float& outDistance) {
    int lastFace = -1;
    dgVector lastNormal;
    for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
      int best = -1;
      float bestDistance = 0.0f;
      dgVector bestNormal;
      for (int face = 0; face < 4; ++face) {
        dgVector n = FaceNormal(p, face);
        const float length2 = n.LengthSquared();
        if (length2 <= 1e-24f) continue;
        n = n.Scale(1.0f / std::sqrt(length2));
        const float distance = n.DotProduct(q - p[kTetraFaces[face][0]]);
        if (distance > bestDistance) {
          best = face;
          bestDistance = distance;
          bestNormal = n;
        }
      }
      if (best < 0) {
        outDistance = 0.0f;
        return -1;
      }
      lastFace = best;
      lastNormal = bestNormal;
      const int* f = kTetraFaces[best];
      const dgVector s = shape->SupportVertex(bestNormal);
      // The face is on the hull when the support point gains nothing beyond
      // it. 1e-6 is scaled by the size of the coordinates, as float rounding
      // of a point several units out exceeds 1e-6 by itself; and a support
      // point that is already a corner of the simplex gains nothing either:
      // replacing a corner by itself flips between two faces until the limit.
      const float gain = bestNormal.DotProduct(s - p[f[0]]);
      const float scale = std::fabs(s.x) + std::fabs(s.y) + std::fabs(s.z);
      const float tolerance = 1e-6f * (scale > 1.0f ? scale : 1.0f);
      if (gain < tolerance || (gain < 0.001f && IsSimplexVertex(s))) {
        outDistance = bestDistance;
        return best;
      }
      p[f[3]] = s;
      const dgVector swap = p[f[0]];
      p[f[0]] = p[f[1]];
      p[f[1]] = swap;
      if (SignedVolume(p) >= 0.0f) {
        const dgVector t = p[1];
        p[1] = p[2];
        p[2] = t;
      }
    }
    outDistance = kFarDistance;
    if (lastFace >= 0) {
      // Unfinished: accept the last face when it lies on the hull after all.
      const dgVector s = shape->SupportVertex(lastNormal);
      if (lastNormal.DotProduct(s - p[kTetraFaces[lastFace][0]]) < 0.001f) return lastFace;
    }
    return -1;
  }
};

// A support point off the line s0-s1 (|cross|^2 > 0.01), from the four
// directions across the edge.
bool FindOffLinePoint(const dgConvexCollision& shape, const dgVector& s0, const dgVector& s1, dgVector& outS2,
                      dgVector& outNormal) {
  const dgVector edge = s1 - s0;
  int axis = 0;
  if (std::fabs(edge.y) < std::fabs(edge[axis])) axis = 1;
  if (std::fabs(edge.z) < std::fabs(edge[axis])) axis = 2;
  dgVector unit(0.0f, 0.0f, 0.0f, 0.0f);
  unit[axis] = 1.0f;
  const dgVector across0 = edge.CrossProduct(unit);
  const dgVector across1 = edge.CrossProduct(across0);
  const dgVector directions[4] = {across0, across0.Scale(-1.0f), across1, across1.Scale(-1.0f)};
  for (const dgVector& dir : directions) {
    outS2 = shape.SupportVertex(dir.Scale(1.0f / std::sqrt(dir.LengthSquared() + 1e-24f)));
    outNormal = edge.CrossProduct(outS2 - s0);
    if (outNormal.LengthSquared() > 0.01f) return true;
  }
  return false;
}

// A support point off the plane through s0 with normal n, from +n and -n.
bool FindOffPlanePoint(const dgConvexCollision& shape, const dgVector& s0, const dgVector& n, dgVector& outS3) {
  const dgVector unit = n.Scale(1.0f / std::sqrt(n.LengthSquared() + 1e-24f));
  const dgVector directions[2] = {unit, unit.Scale(-1.0f)};
  for (const dgVector& dir : directions) {
    outS3 = shape.SupportVertex(dir);
    if (std::fabs((outS3 - s0).DotProduct(n)) > 0.01f) return true;
  }
  return false;
}

// Slab test against the local box: false when the segment cannot reach it.
bool SegmentMeetsBox(const dgVector& p0, const dgVector& p1, const dgVector& centre, const dgVector& size) {
  float tmin = 0.0f;
  float tmax = 1.0f;
  for (int axis = 0; axis < 3; ++axis) {
    const float p = p0[axis] - centre[axis];
    const float d = p1[axis] - p0[axis];
    if (std::fabs(d) < 1e-8f) {
      if (p < -size[axis] || p > size[axis]) return false;
      continue;
    }
    float t0 = (size[axis] - p) / d;
    float t1 = (-size[axis] - p) / d;
    if (t0 > t1) {
      const float t = t0;
      t0 = t1;
      t1 = t;
    }
    if (t0 > tmin) tmin = t0;
    if (t1 < tmax) tmax = t1;
    if (tmax < tmin) return false;
  }
  return true;
}

}  // namespace

float dgConvexCollision::RayCast(const dgVector& p0, const dgVector& p1, dgContact& outContact) const {
  if (edgeCount_ == 0 || !SegmentMeetsBox(p0, p1, boxCentre_, boxSize_)) return kRayMiss;

  const dgVector segment = p1 - p0;
  const dgVector u = segment.Scale(1.0f / std::sqrt(segment.LengthSquared() + 1e-24f));

  // Initial tetrahedron of support points.
  Simplex simplex{this, {}};
  dgVector& s0 = simplex.p[0];
  dgVector& s1 = simplex.p[1];
  dgVector& s2 = simplex.p[2];
  dgVector& s3 = simplex.p[3];
  s0 = SupportVertex(u.Scale(-1.0f));
  s1 = SupportVertex(u);
  int next = 1;
  if ((s1 - s0).LengthSquared() < 0.01f) {
    int i = 0;
    for (; i < kDirectionCount; ++i) {
      s1 = SupportVertex(kSearchDirections[i]);
      if ((s1 - s0).LengthSquared() > 0.01f) break;
    }
    if (i == kDirectionCount) return kRayMiss;
    next = i + 1;
  }
  // When the table runs out, the directions across the edge (for s2) and
  // along the triangle's normal (for s3) are tried: a solid hull always has
  // support points there, while the 14 fixed directions can all land on the
  // corners of one face of a slanted box.
  dgVector n;
  for (;; ++next) {
    if (next >= kDirectionCount) {
      if (!FindOffLinePoint(*this, s0, s1, s2, n)) return kRayMiss;
      break;
    }
    s2 = SupportVertex(kSearchDirections[next]);
    n = (s1 - s0).CrossProduct(s2 - s0);
    if (n.LengthSquared() > 0.01f) break;
  }
  for (++next;; ++next) {
    if (next >= kDirectionCount) {
      if (!FindOffPlanePoint(*this, s0, n, s3)) return kRayMiss;
      break;
    }
    s3 = SupportVertex(kSearchDirections[next]);
    if (std::fabs((s3 - s0).DotProduct(n)) > 0.01f) break;
  }
  if ((s3 - s0).DotProduct(n) > 0.0f) {
    const dgVector t = s0;
    s0 = s1;
    s1 = t;
  }

  float distance = 0.0f;
  int face = simplex.Advance(p0, distance);
  if (face < 0) return kRayMiss;  // the segment starts inside

  // Step from face plane to face plane along the segment.
  float bestT = 0.0f;
  float lastDistance = 1e10f;
  dgVector hitNormal = FaceNormal(simplex.p, face);
  for (int iteration = 0; iteration < kMaxIterations && face >= 0 && lastDistance > 1e-5f; ++iteration) {
    const dgVector faceNormal = FaceNormal(simplex.p, face);
    const float den = segment.DotProduct(faceNormal);
    if (!(std::fabs(den) > 0.0f)) break;
    const float t = (simplex.p[kTetraFaces[face][0]] - p0).DotProduct(faceNormal) / den;
    if (!(t >= bestT && t <= 1.0f)) break;
    hitNormal = faceNormal;
    const dgVector q = p0 + segment.Scale(t);
    face = simplex.Advance(q, lastDistance);
    if (face >= 0) hitNormal = FaceNormal(simplex.p, face);
    bestT = t;
  }
  if (!(lastDistance < 0.0001f)) return kRayMiss;

  const float length2 = hitNormal.LengthSquared();
  if (length2 > 0.0f) hitNormal = hitNormal.Scale(1.0f / std::sqrt(length2));
  hitNormal.w = simplex.p[0].w;
  outContact.normal = hitNormal;
  outContact.userId = dgUserIdOf(*this);
  return bestT;
}
