#include "physics/soup/dgCollisionConvexPolygon.h"

#include <cmath>
#include <cstring>

#include "physics/body/dgContact.h"

namespace {

constexpr float kParallelPlane = 0.9999f;
constexpr float kMinDivisor = 1.0e-8f;
constexpr float kSamePointSquared = 1.0e-8f;
constexpr float kHuge = 1.0e10f;
// Contacts within this distance (relative to the coordinates) of a flagged
// edge count as lying on it.
constexpr float kOnEdgeTolerance = 1.0e-5f;

// v / |v|, with a tiny term that keeps a zero vector finite.
dgVector UnitOrZero(const dgVector& v, float guard) {
  const float scale = 1.0f / std::sqrt(v.LengthSquared() + guard);
  return v.Scale(scale);
}

// v / |v| as the corner expansion takes it; a zero vector stays zero.
dgVector Unit(const dgVector& v) {
  const float lengthSquared = v.LengthSquared();
  return lengthSquared > 0.0f ? v.Scale(1.0f / std::sqrt(lengthSquared)) : dgVector(0.0f, 0.0f, 0.0f, v.w);
}

}  // namespace

dgCollisionPolygonalSoup::dgCollisionConvexPolygon::dgCollisionConvexPolygon()
    : dgConvexCollision(kSignature, dgGetIdentityMatrix(), kConvexPolygon) {
  std::memset(static_cast<void*>(loaded_), 0, sizeof loaded_);
}

void dgCollisionPolygonalSoup::dgCollisionConvexPolygon::SetFace(const float* vertexArray, int strideFloats,
                                                                 const int* indices, int count) {
  vertexArray_ = vertexArray;
  stride_ = strideFloats;
  indices_ = indices;
  count_ = count < 0 ? 0 : (count > kMaxVertices ? kMaxVertices : count);
}

dgVector dgCollisionPolygonalSoup::dgCollisionConvexPolygon::FaceVertex(int i) const {
  const float* p = vertexArray_ + static_cast<long long>(indices_[i] & kIndexMask) * stride_;
  return dgVector(p[0], p[1], p[2], 1.0f);
}

dgVector dgCollisionPolygonalSoup::dgCollisionConvexPolygon::FaceNormal() const {
  if (count_ < 3) return dgVector(0.0f, 0.0f, 0.0f, 1.0f);
  const dgVector v0 = FaceVertex(0);
  const dgVector v1 = FaceVertex(1);
  const dgVector v2 = FaceVertex(2);
  dgVector n = UnitOrZero((v1 - v0).CrossProduct(v2 - v1), 1.0e-24f);
  n.w = 1.0f;
  return n;
}

void dgCollisionPolygonalSoup::dgCollisionConvexPolygon::LoadVertices() {
  for (int i = 0; i < count_; ++i) loaded_[i] = FaceVertex(i);
}

dgVector dgCollisionPolygonalSoup::dgCollisionConvexPolygon::SupportVertex(const dgVector& dir) const {
  int best = 0;
  float bestDot = -kHuge;
  for (int i = 0; i < count_; ++i) {
    const float dot = loaded_[i].DotProduct(dir);
    if (dot > bestDot) {
      bestDot = dot;
      best = i;
    }
  }
  return loaded_[best];
}

int dgCollisionPolygonalSoup::dgCollisionConvexPolygon::CalculatePlaneIntersection(const dgVector& normal,
                                                                                   const dgVector& point,
                                                                                   dgVector* outPoints) const {
  if (std::fabs(normal_.DotProduct(normal)) >= kParallelPlane) {
    for (int i = 0; i < count_; ++i) outPoints[i] = loaded_[i];
    return count_;
  }
  const float offset = normal.DotProduct(point);
  int count = 0;
  const auto emit = [&](const dgVector& p) {
    if (count > 0 && (p - outPoints[count - 1]).LengthSquared() < kSamePointSquared) return;
    outPoints[count++] = p;
  };
  for (int i = 0; i < count_; ++i) {
    const dgVector& a = loaded_[i == 0 ? count_ - 1 : i - 1];
    const dgVector& b = loaded_[i];
    const float distanceA = normal.DotProduct(a) - offset;
    const float distanceB = normal.DotProduct(b) - offset;
    const auto crossing = [&]() {
      float divisor = normal.DotProduct(b - a);
      if (std::fabs(divisor) < kMinDivisor) divisor = divisor < 0.0f ? -kMinDivisor : kMinDivisor;
      return a - (b - a).Scale(distanceA / divisor);
    };
    if (distanceA > 0.0f) {
      emit(a - normal.Scale(distanceA));
      if (distanceB <= 0.0f) emit(crossing());
    } else if (distanceB > 0.0f) {
      emit(crossing());
    }
  }
  if (count >= 2 && (outPoints[count - 1] - outPoints[0]).LengthSquared() < kSamePointSquared) --count;
  return count;
}

int dgCollisionPolygonalSoup::dgCollisionConvexPolygon::ContactsToConvexA(const dgConvexCollision& shape,
                                                                          const dgMatrix& matrix) {
  if (count_ < 3) return 0;
  const dgVector n = FaceNormal();
  normal_ = n;
  const dgVector support = matrix.UntransformVector(shape.SupportVertex(matrix.RotateVector(n)));
  if (n.DotProduct(support - FaceVertex(0)) < 0.0f) return 0;
  LoadVertices();
  return 1;
}

int dgCollisionPolygonalSoup::dgCollisionConvexPolygon::ContactsToConvexB(const dgConvexCollision& shape,
                                                                          const dgMatrix& matrix) {
  if (count_ < 3) return 0;
  const dgVector n = FaceNormal();
  normal_ = dgVector(-n.x, -n.y, -n.z, 1.0f);
  const dgVector back = dgVector(-n.x, -n.y, -n.z, 0.0f);
  const dgVector v0 = FaceVertex(0);
  const dgVector front = matrix.UntransformVector(shape.SupportVertex(matrix.RotateVector(n)));
  const dgVector behind = matrix.UntransformVector(shape.SupportVertex(matrix.RotateVector(back)));
  const float distanceFront = n.DotProduct(front - v0) + kSlabHalfThickness;
  const float distanceBehind = n.DotProduct(behind - v0) - kSlabHalfThickness;
  if (distanceFront * distanceBehind >= 0.0f) return 0;

  dgVector faceMin(kHuge, kHuge, kHuge, 1.0f);
  dgVector faceMax(-kHuge, -kHuge, -kHuge, 1.0f);
  for (int i = 0; i < count_; ++i) {
    const dgVector p = matrix.TransformVector(FaceVertex(i));
    for (int axis = 0; axis < 3; ++axis) {
      faceMin[axis] = std::fmin(faceMin[axis], p[axis]);
      faceMax[axis] = std::fmax(faceMax[axis], p[axis]);
    }
  }
  for (int axis = 0; axis < 3; ++axis) {
    if (faceMax[axis] < boxMin_[axis] || faceMin[axis] > boxMax_[axis]) return 0;
  }
  ExpandFlaggedCorners();
  return 1;
}

void dgCollisionPolygonalSoup::dgCollisionConvexPolygon::ExpandFlaggedCorners() {
  for (int i = 0; i < count_; ++i) {
    const dgVector v = FaceVertex(i);
    if ((static_cast<uint32_t>(indices_[i]) & kEdgeFlag) == 0) {
      loaded_[i] = v;
      continue;
    }
    const dgVector previous = FaceVertex(i == 0 ? count_ - 1 : i - 1);
    const dgVector next = FaceVertex(i + 1 == count_ ? 0 : i + 1);
    const dgVector outward = Unit(Unit(v - previous) + Unit(v - next));
    loaded_[i] = v + outward.Scale(kCornerExpansion);
  }
}

int dgCollisionPolygonalSoup::dgCollisionConvexPolygon::ClipContacts(int count, dgContact* contacts,
                                                                     const dgMatrix& matrix) const {
  if (count_ < 3) return count;
  // The face's own winding decides which side of an edge is outside,
  // whichever sense the last test stored in the normal.
  const dgVector n = FaceNormal();
  for (int i = 0; i < count_ && count > 0; ++i) {
    if ((static_cast<uint32_t>(indices_[i]) & kEdgeFlag) == 0) continue;
    const int next = i + 1 == count_ ? 0 : i + 1;
    const dgVector a = FaceVertex(i);
    const dgVector b = FaceVertex(next);
    const dgVector outside = (b - a).CrossProduct(n);
    // A contact on an edge that two faces share belongs to one of them: the
    // neighbour runs the edge the other way, so the face that runs it from
    // the lower vertex index drops it and the neighbour keeps it. "On" spans
    // the rounding of the two faces' own closest points.
    const bool dropsOnEdge = (indices_[i] & kIndexMask) < (indices_[next] & kIndexMask);
    const float edgeLength = std::sqrt(outside.LengthSquared());
    for (int c = 0; c < count;) {
      const dgVector q = matrix.UntransformVector(contacts[c].point);
      const float scale = 1.0f + std::fmax(std::fmax(std::fabs(q.x), std::fabs(q.y)), std::fabs(q.z));
      const float band = kOnEdgeTolerance * scale * edgeLength;
      const float beyond = outside.DotProduct(q - a);
      if (beyond > band || (dropsOnEdge && beyond >= -band)) {
        contacts[c] = contacts[count - 1];
        --count;
      } else {
        ++c;
      }
    }
  }
  return count;
}

bool dgCollisionPolygonalSoup::dgCollisionConvexPolygon::DistanceToPoint(const dgVector& point, float radius,
                                                                         dgVector& outClosest) {
  if (count_ < 3) return false;
  ExpandFlaggedCorners();
  float bestDistance = 1.0e20f;
  dgVector best;
  for (int i = 1; i + 1 < count_; ++i) {
    const dgVector q = dgClosestPointOnTriangle(point, loaded_[0], loaded_[i], loaded_[i + 1]);
    const float distance = (q - point).LengthSquared();
    if (distance < bestDistance) {
      bestDistance = distance;
      best = q;
    }
  }
  if (radius * radius < bestDistance) return false;
  normal_ = UnitOrZero((loaded_[1] - loaded_[0]).CrossProduct(loaded_[2] - loaded_[1]), 1.0e-24f);
  normal_.w = 1.0f;
  outClosest = best;
  outClosest.w = 1.0f;
  return true;
}

namespace {

// Triangles whose squared area falls below this share of |ab|^2 |ac|^2
// (sine of the corner angle squared) have no usable face region.
constexpr float kFlatTriangle = 1.0e-10f;

// The parameter along a-b of the point nearest p (0 for a segment of no length).
float SegmentParameter(const dgVector& p, const dgVector& a, const dgVector& b) {
  const dgVector ab = b - a;
  const float length2 = ab.LengthSquared();
  if (!(length2 > 0.0f)) return 0.0f;
  const float t = ab.DotProduct(p - a) / length2;
  return t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
}

// The corners' weights of the nearest point on the three edges.
void NearestOnEdges(const dgVector& p, const dgVector* corners, float* weights) {
  float best = 0.0f;
  for (int i = 0; i < 3; ++i) {
    const int j = (i + 1) % 3;
    const float t = SegmentParameter(p, corners[i], corners[j]);
    const float distance = (corners[i] + (corners[j] - corners[i]).Scale(t) - p).LengthSquared();
    if (i == 0 || distance < best) {
      best = distance;
      weights[i] = 1.0f - t;
      weights[j] = t;
      weights[(i + 2) % 3] = 0.0f;
    }
  }
}

void SetWeights(float* weights, float u, float v, float w) {
  weights[0] = u;
  weights[1] = v;
  weights[2] = w;
}

// The weights of the nearest point by Voronoi regions; false when the
// triangle has no area to speak of.
bool TriangleRegionWeights(const dgVector& p, const dgVector& a, const dgVector& b, const dgVector& c, float* weights) {
  const dgVector ab = b - a;
  const dgVector ac = c - a;
  const float area2 = ab.CrossProduct(ac).LengthSquared();
  if (!(area2 > kFlatTriangle * ab.LengthSquared() * ac.LengthSquared())) return false;
  const float d1 = ab.DotProduct(p - a);
  const float d2 = ac.DotProduct(p - a);
  if (d1 <= 0.0f && d2 <= 0.0f) {
    SetWeights(weights, 1.0f, 0.0f, 0.0f);
    return true;
  }
  const float d3 = ab.DotProduct(p - b);
  const float d4 = ac.DotProduct(p - b);
  if (d3 >= 0.0f && d4 <= d3) {
    SetWeights(weights, 0.0f, 1.0f, 0.0f);
    return true;
  }
  const float vc = d1 * d4 - d3 * d2;
  if (vc <= 0.0f && d1 >= 0.0f && d3 <= 0.0f) {
    const float v = d1 / (d1 - d3);
    SetWeights(weights, 1.0f - v, v, 0.0f);
    return true;
  }
  const float d5 = ab.DotProduct(p - c);
  const float d6 = ac.DotProduct(p - c);
  if (d6 >= 0.0f && d5 <= d6) {
    SetWeights(weights, 0.0f, 0.0f, 1.0f);
    return true;
  }
  const float vb = d5 * d2 - d1 * d6;
  if (vb <= 0.0f && d2 >= 0.0f && d6 <= 0.0f) {
    const float w = d2 / (d2 - d6);
    SetWeights(weights, 1.0f - w, 0.0f, w);
    return true;
  }
  const float va = d3 * d6 - d5 * d4;
  if (va <= 0.0f && d4 - d3 >= 0.0f && d5 - d6 >= 0.0f) {
    const float w = (d4 - d3) / ((d4 - d3) + (d5 - d6));
    SetWeights(weights, 0.0f, 1.0f - w, w);
    return true;
  }
  const float denominator = va + vb + vc;
  if (!(denominator > 0.0f)) return false;
  const float scale = 1.0f / denominator;
  const float v = vb * scale;
  const float w = vc * scale;
  SetWeights(weights, 1.0f - v - w, v, w);
  return true;
}

}  // namespace

dgVector dgClosestPointOnTriangle(const dgVector& p, const dgVector& a, const dgVector& b, const dgVector& c,
                                  float* outWeights) {
  float weights[3];
  if (!TriangleRegionWeights(p, a, b, c, weights)) {
    const dgVector corners[3] = {a, b, c};
    NearestOnEdges(p, corners, weights);
  }
  if (outWeights) SetWeights(outWeights, weights[0], weights[1], weights[2]);
  // Corners and edge points are formed from their own corners only.
  const dgVector* corners[3] = {&a, &b, &c};
  for (int i = 0; i < 3; ++i) {
    if (weights[i] == 1.0f) return *corners[i];
  }
  for (int i = 0; i < 3; ++i) {
    if (weights[i] != 0.0f) continue;
    const int from = i == 0 ? 1 : 0;
    const int to = i == 2 ? 1 : 2;
    return *corners[from] + (*corners[to] - *corners[from]).Scale(weights[to]);
  }
  return a + (b - a).Scale(weights[1]) + (c - a).Scale(weights[2]);
}
