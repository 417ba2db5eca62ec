#include "physics/soup/dgCollisionConvexPolygon.h"

#include <cmath>
#include <cstring>

#include "physics/contacts/dgContact.h"

namespace {

constexpr float kParallelPlane = 0.9999f;
constexpr float kMinDivisor = 1.0e-8f;
constexpr float kSamePointSquared = 1.0e-8f;
constexpr float kHuge = 1.0e10f;

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
  std::memset(static_cast<void*>(mLoaded), 0, sizeof mLoaded);
}

void dgCollisionPolygonalSoup::dgCollisionConvexPolygon::SetFace(const float* vertexArray, int strideFloats,
                                                                 const int* indices, int count) {
  mVertexArray = vertexArray;
  mStride = strideFloats;
  mIndices = indices;
  mCount = count < 0 ? 0 : (count > kMaxVertices ? kMaxVertices : count);
}

dgVector dgCollisionPolygonalSoup::dgCollisionConvexPolygon::FaceVertex(int i) const {
  const float* p = mVertexArray + static_cast<long long>(mIndices[i] & kIndexMask) * mStride;
  return dgVector(p[0], p[1], p[2], 1.0f);
}

dgVector dgCollisionPolygonalSoup::dgCollisionConvexPolygon::FaceNormal() const {
  if (mCount < 3) return dgVector(0.0f, 0.0f, 0.0f, 1.0f);
  const dgVector v0 = FaceVertex(0);
  const dgVector v1 = FaceVertex(1);
  const dgVector v2 = FaceVertex(2);
  dgVector n = UnitOrZero((v1 - v0).CrossProduct(v2 - v1), 1.0e-24f);
  n.w = 1.0f;
  return n;
}

void dgCollisionPolygonalSoup::dgCollisionConvexPolygon::LoadVertices() {
  for (int i = 0; i < mCount; ++i) mLoaded[i] = FaceVertex(i);
}

dgVector dgCollisionPolygonalSoup::dgCollisionConvexPolygon::SupportVertex(const dgVector& dir) const {
  int best = 0;
  float bestDot = -kHuge;
  for (int i = 0; i < mCount; ++i) {
    const float dot = mLoaded[i].DotProduct(dir);
    if (dot > bestDot) {
      bestDot = dot;
      best = i;
    }
  }
  return mLoaded[best];
}

int dgCollisionPolygonalSoup::dgCollisionConvexPolygon::CalculatePlaneIntersection(const dgVector& normal,
                                                                                    const dgVector& point,
                                                                                    dgVector* outPoints) const {
  if (std::fabs(mNormal.DotProduct(normal)) >= kParallelPlane) {
    for (int i = 0; i < mCount; ++i) outPoints[i] = mLoaded[i];
    return mCount;
  }
  const float offset = normal.DotProduct(point);
  int count = 0;
  const auto emit = [&](const dgVector& p) {
    if (count > 0 && (p - outPoints[count - 1]).LengthSquared() < kSamePointSquared) return;
    outPoints[count++] = p;
  };
  for (int i = 0; i < mCount; ++i) {
    const dgVector& a = mLoaded[i == 0 ? mCount - 1 : i - 1];
    const dgVector& b = mLoaded[i];
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
  if (mCount < 3) return 0;
  const dgVector n = FaceNormal();
  mNormal = n;
  const dgVector support = matrix.UntransformVector(shape.SupportVertex(matrix.RotateVector(n)));
  if (n.DotProduct(support - FaceVertex(0)) < 0.0f) return 0;
  LoadVertices();
  return 1;
}

int dgCollisionPolygonalSoup::dgCollisionConvexPolygon::ContactsToConvexB(const dgConvexCollision& shape,
                                                                          const dgMatrix& matrix) {
  if (mCount < 3) return 0;
  const dgVector n = FaceNormal();
  mNormal = dgVector(-n.x, -n.y, -n.z, 1.0f);
  const dgVector back = dgVector(-n.x, -n.y, -n.z, 0.0f);
  const dgVector v0 = FaceVertex(0);
  const dgVector front = matrix.UntransformVector(shape.SupportVertex(matrix.RotateVector(n)));
  const dgVector behind = matrix.UntransformVector(shape.SupportVertex(matrix.RotateVector(back)));
  const float distanceFront = n.DotProduct(front - v0) + kSlabHalfThickness;
  const float distanceBehind = n.DotProduct(behind - v0) - kSlabHalfThickness;
  if (distanceFront * distanceBehind >= 0.0f) return 0;

  dgVector faceMin(kHuge, kHuge, kHuge, 1.0f);
  dgVector faceMax(-kHuge, -kHuge, -kHuge, 1.0f);
  for (int i = 0; i < mCount; ++i) {
    const dgVector p = matrix.TransformVector(FaceVertex(i));
    for (int axis = 0; axis < 3; ++axis) {
      faceMin[axis] = std::fmin(faceMin[axis], p[axis]);
      faceMax[axis] = std::fmax(faceMax[axis], p[axis]);
    }
  }
  for (int axis = 0; axis < 3; ++axis) {
    if (faceMax[axis] < mBoxMin[axis] || faceMin[axis] > mBoxMax[axis]) return 0;
  }
  ExpandFlaggedCorners();
  return 1;
}

void dgCollisionPolygonalSoup::dgCollisionConvexPolygon::ExpandFlaggedCorners() {
  for (int i = 0; i < mCount; ++i) {
    const dgVector v = FaceVertex(i);
    if ((static_cast<uint32_t>(mIndices[i]) & kEdgeFlag) == 0) {
      mLoaded[i] = v;
      continue;
    }
    const dgVector previous = FaceVertex(i == 0 ? mCount - 1 : i - 1);
    const dgVector next = FaceVertex(i + 1 == mCount ? 0 : i + 1);
    const dgVector outward = Unit(Unit(v - previous) + Unit(v - next));
    mLoaded[i] = v + outward.Scale(kCornerExpansion);
  }
}

int dgCollisionPolygonalSoup::dgCollisionConvexPolygon::ClipContacts(int count, dgContact* contacts,
                                                                     const dgMatrix& matrix) const {
  if (mCount < 3) return count;
  // The face's own winding decides which side of an edge is outside,
  // whichever sense the last test stored in the normal.
  const dgVector n = FaceNormal();
  for (int i = 0; i < mCount && count > 0; ++i) {
    if ((static_cast<uint32_t>(mIndices[i]) & kEdgeFlag) == 0) continue;
    const dgVector a = FaceVertex(i);
    const dgVector b = FaceVertex(i + 1 == mCount ? 0 : i + 1);
    const dgVector outside = (b - a).CrossProduct(n);
    for (int c = 0; c < count;) {
      const dgVector q = matrix.UntransformVector(contacts[c].point);
      if (outside.DotProduct(q - a) >= 0.0f) {
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
  if (mCount < 3) return false;
  ExpandFlaggedCorners();
  float bestDistance = 1.0e20f;
  dgVector best;
  for (int i = 1; i + 1 < mCount; ++i) {
    const dgVector q = dgClosestPointOnTriangle(point, mLoaded[0], mLoaded[i], mLoaded[i + 1]);
    const float distance = (q - point).LengthSquared();
    if (distance < bestDistance) {
      bestDistance = distance;
      best = q;
    }
  }
  if (radius * radius < bestDistance) return false;
  mNormal = UnitOrZero((mLoaded[1] - mLoaded[0]).CrossProduct(mLoaded[2] - mLoaded[1]), 1.0e-24f);
  mNormal.w = 1.0f;
  outClosest = best;
  outClosest.w = 1.0f;
  return true;
}

dgVector dgClosestPointOnTriangle(const dgVector& p, const dgVector& a, const dgVector& b, const dgVector& c) {
  const dgVector ab = b - a;
  const dgVector ac = c - a;
  const float d1 = ab.DotProduct(p - a);
  const float d2 = ac.DotProduct(p - a);
  if (d1 <= 0.0f && d2 <= 0.0f) return a;
  const float d3 = ab.DotProduct(p - b);
  const float d4 = ac.DotProduct(p - b);
  if (d3 >= 0.0f && d4 <= d3) return b;
  const float vc = d1 * d4 - d3 * d2;
  if (vc <= 0.0f && d1 >= 0.0f && d3 <= 0.0f) return a + ab.Scale(d1 / (d1 - d3));
  const float d5 = ab.DotProduct(p - c);
  const float d6 = ac.DotProduct(p - c);
  if (d6 >= 0.0f && d5 <= d6) return c;
  const float vb = d5 * d2 - d1 * d6;
  if (vb <= 0.0f && d2 >= 0.0f && d6 <= 0.0f) return a + ac.Scale(d2 / (d2 - d6));
  const float va = d3 * d6 - d5 * d4;
  if (va <= 0.0f && d4 - d3 >= 0.0f && d5 - d6 >= 0.0f) {
    return b + (c - b).Scale((d4 - d3) / ((d4 - d3) + (d5 - d6)));
  }
  const float s = 1.0f / (va + vb + vc);
  return a + ab.Scale(vb * s) + ac.Scale(vc * s);
}
