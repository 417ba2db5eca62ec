#include "physics/shapes/dgCollisionBox.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "physics/body/dgContact.h"
#include "physics/math/dgUnclearedArray.h"
#include "physics/shapes/dgConvexHullTable.h"

namespace {

constexpr int kBoxEdgeCount = 24;
dgConvexEdge gBoxEdges[kBoxEdgeCount];
int gBoxLiveCount = 0;

// The six faces as corner indices, wound outward.
constexpr int kBoxFaces[6 * 4] = {0, 4, 5, 1, 0, 1, 3, 2, 1, 5, 7, 3, 5, 4, 6, 7, 4, 0, 2, 6, 6, 2, 3, 7};
constexpr int kBoxFaceSizes[6] = {4, 4, 4, 4, 4, 4};

// half (never negative) turned negative where component is below 0, as
// component < 0 ? -half : half, without a branch: the solver asks for the
// support of directions whose signs follow no pattern.
float TowardsSign(float half, float component) {
  const uint32_t flip = component < 0.0f ? 0x80000000u : 0u;
  return std::bit_cast<float>(std::bit_cast<uint32_t>(half) ^ flip);
}

}  // namespace

dgCollisionBox::dgCollisionBox(uint32_t signature, float sizeX, float sizeY, float sizeZ, const dgMatrix& offset)
    : dgConvexCollision(signature, offset, kBox),
      halfSize_(std::fabs(sizeX) * 0.5f, std::fabs(sizeY) * 0.5f, std::fabs(sizeZ) * 0.5f, 1.0f) {
  for (int i = 0; i < 8; ++i) {
    corners_[i] = dgVector((i & 1) ? -halfSize_.x : halfSize_.x, (i & 2) ? -halfSize_.y : halfSize_.y,
                           (i & 4) ? -halfSize_.z : halfSize_.z, 1.0f);
  }
  if (gBoxLiveCount == 0) dgBuildConvexEdgeTable(6, kBoxFaceSizes, kBoxFaces, gBoxEdges, kBoxEdgeCount);
  ++gBoxLiveCount;
  SetUpBorrowedHull(corners_, 8, gBoxEdges, kBoxEdgeCount);
}

dgCollisionBox::~dgCollisionBox() {
  --gBoxLiveCount;
  ForgetBorrowedHull();
}

int dgCollisionBox::GetLiveCount() { return gBoxLiveCount; }

const dgConvexEdge* dgCollisionBox::GetSharedEdges() { return gBoxEdges; }

uint32_t dgCollisionBox::MakeBoxSignature(float sizeX, float sizeY, float sizeZ, const dgMatrix& offset,
                                          uint32_t* outBlock) {
  const float halves[3] = {std::fabs(sizeX) * 0.5f, std::fabs(sizeY) * 0.5f, std::fabs(sizeZ) * 0.5f};
  return MakeSignature(kBox, halves, 3, offset, outBlock);
}

uint32_t dgCollisionBox::CalculateSignature() const {
  const float halves[3] = {halfSize_.x, halfSize_.y, halfSize_.z};
  return MakeSignature(kBox, halves, 3, GetOffsetMatrix());
}

void dgCollisionBox::CalcAABB(const dgMatrix& matrix, dgVector& outMin, dgVector& outMax) const {
  dgVector extent;
  for (int j = 0; j < 3; ++j) {
    extent[j] = std::fabs(matrix.front[j]) * halfSize_.x + std::fabs(matrix.up[j]) * halfSize_.y +
                std::fabs(matrix.right[j]) * halfSize_.z;
  }
  outMin = matrix.posit - extent;
  outMax = matrix.posit + extent;
}

dgVector dgCollisionBox::SupportVertex(const dgVector& dir) const {
  return {TowardsSign(halfSize_.x, dir.x), TowardsSign(halfSize_.y, dir.y), TowardsSign(halfSize_.z, dir.z), 0.0f};
}

float dgCollisionBox::RayCast(const dgVector& p0, const dgVector& p1, dgContact& outContact) const {
  // Face planes in clipping order: axis and outward sign.
  static constexpr int kAxis[6] = {0, 0, 2, 2, 1, 1};
  static constexpr float kSign[6] = {1.0f, -1.0f, 1.0f, -1.0f, 1.0f, -1.0f};

  dgVector start = p0;
  dgVector end = p1;
  float bestT = 0.0f;
  bool entered = false;
  for (int plane = 0; plane < 6; ++plane) {
    const int axis = kAxis[plane];
    const float sign = kSign[plane];
    const float value = sign * halfSize_[axis];
    // Outside or on the plane: the coordinate is not inside the face's half-space.
    const float startInside = sign * (value - start[axis]);
    const float endInside = sign * (value - end[axis]);
    if (startInside <= 0.0f) {
      // Both ends outside, or both on the plane: no entry through this face.
      // An end exactly on the face (from outside) enters there at t = 1.
      if (endInside < 0.0f || (endInside == 0.0f && startInside == 0.0f)) return kRayMiss;
      const float t = (value - p0[axis]) / (p1[axis] - p0[axis]);
      bool recorded = false;
      if (t > bestT) {
        bestT = t;
        entered = true;
        recorded = true;
        dgVector normal(0.0f, 0.0f, 0.0f, 1.0f);
        normal[axis] = sign;
        outContact.normal = normal;
        outContact.userId = dgUserIdOf(*this);
      }
      const float s = (value - start[axis]) / (end[axis] - start[axis]);
      start = start + (end - start).Scale(s);
      start[axis] = value;
      if (plane == 5 && recorded) return t;
    } else if (endInside < 0.0f) {
      const float s = (value - start[axis]) / (end[axis] - start[axis]);
      end = start + (end - start).Scale(s);
      end[axis] = value;
    }
  }
  return entered ? bestT : kRayMiss;
}

int dgCollisionBox::CalculatePlaneIntersection(const dgVector& normal, const dgVector& point,
                                               dgVector* outPoints) const {
  const float offset = normal.DotProduct(point);
  float distances[8];
  for (int i = 0; i < 8; ++i) distances[i] = normal.DotProduct(corners_[i]) - offset;

  // Every half-edge may seed the trace: a plane that crosses only edges late
  // in the table still has its section.
  const dgConvexEdge* first = nullptr;
  for (int i = 0; i < kBoxEdgeCount && !first; ++i) {
    const dgConvexEdge* edge = &edges_[i];
    const float a = distances[edge->vertex];
    const float b = distances[edge->twin->vertex];
    if (a * b < 0.0f) first = a > 0.0f ? edge : edge->twin;
  }
  if (!first) return 0;
  dgUnclearedArray<dgVector, kBoxEdgeCount> trace;
  dgVector* buffer = trace.Data();
  const int count = TraceSection(first, distances, normal, true, buffer, kBoxEdgeCount);
  const int kept = count > kMaxSectionPoints ? kMaxSectionPoints : count;
  std::memcpy(static_cast<void*>(outPoints), buffer, sizeof(dgVector) * static_cast<size_t>(kept));
  return kept;
}
