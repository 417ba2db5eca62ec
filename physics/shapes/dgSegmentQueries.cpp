#include "physics/shapes/dgSegmentQueries.h"

#include <cmath>
#include <cstring>

#include "physics/shapes/dgWatertightRayCast.h"

namespace {

// Segments closer to parallel than this have no single closest pair.
constexpr float kParallelDeterminant = 1e-8f;
// Inside-test slack, relative to the triangle's determinant: a point on an
// edge shared by two triangles must count as inside both.
constexpr float kInsideTolerance = 1e-5f;
// Bit 31 of a soup index flags an edge; it is not part of the index.
constexpr unsigned kIndexMask = 0x7FFFFFFFu;
// Bounds the rounding of the face test's float products relative to their
// terms, with room to spare (about sixteen float epsilons): a value further
// from zero than this has the sign the exact arithmetic would give it.
constexpr float kRoundingBound = 1e-6f;

// |x| + |y| + |z|: never below the length, and needs no root.
float SumOfMagnitudes(const dgVector& v) { return std::fabs(v.x) + std::fabs(v.y) + std::fabs(v.z); }

// True when the exact test of a triangle cannot find the hit the rounded
// one missed: the triangle faces away from the segment beyond doubt, or
// the plane is crossed beyond doubt outside the segment.
bool ExactTestCannotHit(const dgVector& d, const dgVector& e1, const dgVector& e2, const dgVector& toCorner, float dn,
                        float t) {
  const float edges = SumOfMagnitudes(e1) * SumOfMagnitudes(e2);
  if (!(dn < 0.0f)) return dn > kRoundingBound * SumOfMagnitudes(d) * edges;
  const float slack = kRoundingBound * (SumOfMagnitudes(toCorner) + std::fabs(t) * SumOfMagnitudes(d)) * edges / -dn;
  return t < -slack || t > 1.0f + slack;
}

dgVector ReadVertex(const float* vertices, int strideBytes, int index) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(vertices) +
                      static_cast<long long>(static_cast<unsigned>(index) & kIndexMask) * strideBytes;
  float xyz[3];
  std::memcpy(xyz, bytes, sizeof xyz);
  return dgVector(xyz[0], xyz[1], xyz[2], 1.0f);
}

// The inside test of q against triangle (a, b, c); false for a degenerate
// triangle when requireArea is set.
bool InsideTriangle(const dgVector& q, const dgVector& a, const dgVector& b, const dgVector& c, bool requireArea) {
  const dgVector e1 = b - a;
  const dgVector e2 = c - a;
  const dgVector w = q - a;
  const float e11 = e1.DotProduct(e1);
  const float e22 = e2.DotProduct(e2);
  const float e12 = e1.DotProduct(e2);
  const float det = e11 * e22 - e12 * e12;
  if (requireArea && !(det > 0.0f)) return false;
  const float w1 = w.DotProduct(e1);
  const float w2 = w.DotProduct(e2);
  const float u = w1 * e22 - w2 * e12;
  const float v = w2 * e11 - w1 * e12;
  const float slack = kInsideTolerance * det;
  return u >= -slack && v >= -slack && u + v <= det + slack;
}

}  // namespace

dgVector dgClosestPointOnSegment(const dgVector& point, const dgVector& a, const dgVector& b) {
  const dgVector ab = b - a;
  const float lengthSquared = ab.DotProduct(ab);
  if (!(lengthSquared > 0.0f)) return a;
  float t = (point - a).DotProduct(ab) / lengthSquared;
  if (t < 0.0f) t = 0.0f;
  if (t > 1.0f) t = 1.0f;
  return a + ab.Scale(t);
}

void dgClosestPointsBetweenSegments(const dgVector& a0, const dgVector& a1, const dgVector& b0, const dgVector& b1,
                                    dgVector& outOnA, dgVector& outOnB) {
  const dgVector d1 = a1 - a0;
  const dgVector d2 = b1 - b0;
  const dgVector r = a0 - b0;
  const float a = d1.DotProduct(d1);
  const float e = d2.DotProduct(d2);
  const float b = -d1.DotProduct(d2);
  // The closest pair solves a·s + b·t = c, b·s + e·t = f. Note f = r·d2,
  // not its negative: with the negative, crossing segments would answer b0.
  const float c = -r.DotProduct(d1);
  const float f = r.DotProduct(d2);
  const float den = a * e - b * b;
  if (!(den >= kParallelDeterminant || den <= -kParallelDeterminant)) {
    outOnA = a0 + d1.Scale(0.5f);
    outOnB = b0 + d2.Scale(0.5f);
    return;
  }
  const float s = (c * e - f * b) / den;
  if (s < 0.0f) {
    outOnA = a0;
    outOnB = dgClosestPointOnSegment(a0, b0, b1);
    return;
  }
  if (s > 1.0f) {
    outOnA = a1;
    outOnB = dgClosestPointOnSegment(a1, b0, b1);
    return;
  }
  const float t = (f * a - c * b) / den;
  if (t < 0.0f) {
    outOnB = b0;
    outOnA = dgClosestPointOnSegment(b0, a0, a1);
    return;
  }
  if (t > 1.0f) {
    outOnB = b1;
    outOnA = dgClosestPointOnSegment(b1, a0, a1);
    return;
  }
  outOnA = a0 + d1.Scale(s);
  outOnB = b0 + d2.Scale(t);
}

bool dgRayCastPolygon(const dgVector& p0, const dgVector& p1, const float* vertices, int strideBytes,
                      const int* indices, int indexCount, float& outT, dgVector& outNormal) {
  if (!vertices || !indices || indexCount < 3) return false;
  const dgVector v0 = ReadVertex(vertices, strideBytes, indices[0]);
  const dgVector v1 = ReadVertex(vertices, strideBytes, indices[1]);
  const dgVector v2 = ReadVertex(vertices, strideBytes, indices[2]);
  const dgVector normal = (v1 - v0).CrossProduct(v2 - v0);
  const dgVector d = p1 - p0;
  const float dn = d.DotProduct(normal);
  float t = 0.0f;
  bool inside = false;
  // Only a face turned towards the segment; also refuses NaN.
  if (dn < 0.0f) {
    t = (v0 - p0).DotProduct(normal) / dn;
    if (t >= 0.0f && t <= 1.0f) {
      const dgVector q = p0 + d.Scale(t);
      inside = InsideTriangle(q, v0, v1, v2, false);
      dgVector previous = v2;
      for (int i = 3; i < indexCount && !inside; ++i) {
        const dgVector current = ReadVertex(vertices, strideBytes, indices[i]);
        inside = InsideTriangle(q, v0, previous, current, true);
        previous = current;
      }
    }
  }
  // The crossing point above is rounded, and at a grazing angle the rounding
  // slides it along the segment, past an edge this face shares with another
  // that the segment may not meet at all (one turned away): the exact sides
  // of the edges then decide, so no segment slips between faces.
  if (!inside) {
    if (indexCount == 3 && ExactTestCannotHit(d, v1 - v0, v2 - v0, v0 - p0, dn, t)) return false;
    if (!dgWatertightRayCastPolygon(p0, p1, vertices, strideBytes, indices, indexCount, t)) return false;
  }
  outT = t;
  outNormal = dgVector(normal.x, normal.y, normal.z, 1.0f);
  return true;
}
