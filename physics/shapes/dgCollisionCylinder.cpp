#include "physics/shapes/dgCollisionCylinder.h"

#include <cmath>

#include "physics/body/dgBody.h"
#include "physics/body/dgContact.h"
#include "physics/shapes/dgConvexHullTable.h"

namespace {

constexpr int kRimSize = 8;
constexpr float kPi = 3.14159265359f;
// Segments around the axis of the tessellation for the mass properties.
constexpr int kFaceSegments = 24;

dgConvexEdge gCylinderEdges[dgCollisionCylinder::kHullEdgeCount];
int gCylinderLiveCount = 0;

void BuildCylinderEdges() {
  int sizes[kRimSize + 2];
  int indices[kRimSize * 4 + 2 * kRimSize];
  int faces = 0;
  int used = 0;
  for (int i = 0; i < kRimSize; ++i) {
    const int prev = i == 0 ? kRimSize - 1 : i - 1;
    indices[used++] = prev;
    indices[used++] = i;
    indices[used++] = i + kRimSize;
    indices[used++] = prev + kRimSize;
    sizes[faces++] = 4;
  }
  for (int i = kRimSize - 1; i >= 0; --i) indices[used++] = i;
  sizes[faces++] = kRimSize;
  for (int i = 0; i < kRimSize; ++i) indices[used++] = kRimSize + i;
  sizes[faces++] = kRimSize;
  dgBuildConvexEdgeTable(faces, sizes, indices, gCylinderEdges, dgCollisionCylinder::kHullEdgeCount);
}

void EmitPolygon(const dgBody* body, dgFaceCallback callback, const dgMatrix& matrix, int count,
                 const dgVector* points) {
  float triples[3 * kFaceSegments];
  for (int k = 0; k < count; ++k) {
    const dgVector q = matrix.TransformVector(points[k]);
    triples[3 * k] = q.x;
    triples[3 * k + 1] = q.y;
    triples[3 * k + 2] = q.z;
  }
  callback(body, count, triples, 0);
}

}  // namespace

dgMatrix dgTurnedFrameAboutX(const dgVector& normal) {
  const float length = std::sqrt(normal.y * normal.y + normal.z * normal.z);
  if (!(length > 0.0f)) return dgGetIdentityMatrix();
  const float c = normal.y / length;
  const float s = normal.z / length;
  return dgMatrix(dgVector(1.0f, 0.0f, 0.0f, 0.0f), dgVector(0.0f, c, s, 0.0f), dgVector(0.0f, -s, c, 0.0f),
                  dgVector(0.0f, 0.0f, 0.0f, 1.0f));
}

dgCollisionCylinder::dgCollisionCylinder(uint32_t signature, float radius, float height, const dgMatrix& offset)
    : dgConvexCollision(signature, offset, kCylinder),
      halfHeight_(std::fabs(height) * 0.5f),
      radius_(std::fabs(radius)),
      grid_(std::fabs(radius)) {
  for (int i = 0; i < kRimSize; ++i) {
    const float angle = static_cast<float>(i) * kPi / 4.0f;
    const float y = radius_ * std::cos(angle);
    const float z = radius_ * std::sin(angle);
    hullVertices_[i] = dgVector(-halfHeight_, y, z, 1.0f);
    hullVertices_[i + kRimSize] = dgVector(halfHeight_, y, z, 1.0f);
  }
  if (gCylinderLiveCount == 0) BuildCylinderEdges();
  ++gCylinderLiveCount;
  SetUpBorrowedHull(hullVertices_, kHullVertexCount, gCylinderEdges, kHullEdgeCount);
}

dgCollisionCylinder::~dgCollisionCylinder() {
  --gCylinderLiveCount;
  ForgetBorrowedHull();
}

int dgCollisionCylinder::GetLiveCount() { return gCylinderLiveCount; }

uint32_t dgCollisionCylinder::MakeCylinderSignature(float radius, float height, const dgMatrix& offset,
                                                    uint32_t* outBlock) {
  const float sizes[2] = {std::fabs(radius), std::fabs(height) * 0.5f};
  return MakeSignature(kCylinder, sizes, 2, offset, outBlock);
}

uint32_t dgCollisionCylinder::CalculateSignature() const {
  const float sizes[2] = {radius_, halfHeight_};
  return MakeSignature(kCylinder, sizes, 2, GetOffsetMatrix());
}

dgVector dgCollisionCylinder::SupportVertex(const dgVector& dir) const {
  const float x = dir.x > 0.0f ? halfHeight_ : -halfHeight_;
  float s0;
  float c0;
  grid_.LongitudeSinCos(dir.y, dir.z, s0, c0);
  const float s1 = s0 * grid_.cosStep + c0 * grid_.sinStep;
  const float c1 = c0 * grid_.cosStep - s0 * grid_.sinStep;
  const float dot0 = dir.y * s0 + dir.z * c0;
  const float dot1 = dir.y * s1 + dir.z * c1;
  if (dot1 > dot0) return {x, radius_ * s1, radius_ * c1, 1.0f};
  return {x, radius_ * s0, radius_ * c0, 1.0f};
}

void dgCollisionCylinder::ForEachFace(const dgBody* body, dgFaceCallback callback) const {
  const dgMatrix matrix = GetOffsetMatrix().Multiply(body->matrix);
  const float h = halfHeight_;
  dgVector low[kFaceSegments];
  dgVector high[kFaceSegments];
  for (int i = 0; i < kFaceSegments; ++i) {
    const float angle = static_cast<float>(i) * 2.0f * kPi / kFaceSegments;
    const float y = radius_ * std::cos(angle);
    const float z = radius_ * std::sin(angle);
    low[i] = dgVector(-h, y, z, 1.0f);
    high[i] = dgVector(h, y, z, 1.0f);
  }
  for (int i = 0; i < kFaceSegments; ++i) {
    const int prev = i == 0 ? kFaceSegments - 1 : i - 1;
    const dgVector quad[4] = {low[prev], low[i], high[i], high[prev]};
    EmitPolygon(body, callback, matrix, 4, quad);
  }
  dgVector lowCap[kFaceSegments];
  for (int i = 0; i < kFaceSegments; ++i) lowCap[i] = low[kFaceSegments - 1 - i];
  EmitPolygon(body, callback, matrix, kFaceSegments, lowCap);
  EmitPolygon(body, callback, matrix, kFaceSegments, high);
}

float dgCollisionCylinder::RayCast(const dgVector& p0, const dgVector& p1, dgContact& outContact) const {
  const float r = radius_;
  const float h = halfHeight_;
  const dgVector d = p1 - p0;

  if (p0.y * p0.y + p0.z * p0.z > r * r) {
    const float a = d.y * d.y + d.z * d.z;
    if (a > 1e-8f) {
      const float b = 2.0f * (p0.y * d.y + p0.z * d.z);
      const float c = p0.y * p0.y + p0.z * p0.z - r * r;
      const float disc = b * b - 4.0f * a * c;
      if (disc > 0.0f) {  // a tangent grazes: no hit, as for the sphere
        const float t = (-b - std::sqrt(disc)) / (2.0f * a);
        if (t >= 0.0f && t <= 1.0f) {
          const dgVector hit = p0 + d.Scale(t);
          if (std::fabs(hit.x) <= h) {
            dgVector normal(0.0f, hit.y, hit.z, 1.0f);
            const float scale = 1.0f / std::sqrt(hit.y * hit.y + hit.z * hit.z);
            normal.y *= scale;
            normal.z *= scale;
            outContact.normal = normal;
            outContact.userId = dgUserIdOf(*this);
            return t;
          }
        }
      }
    }
  }

  // End caps, entered from outside their plane.
  const float caps[2] = {h, -h};
  for (float x : caps) {
    const bool enters = x > 0.0f ? (p0.x > x && p1.x <= x) : (p0.x < x && p1.x >= x);
    if (!enters) continue;
    const float t = (x - p0.x) / (p1.x - p0.x);
    const dgVector hit = p0 + d.Scale(t);
    if (hit.y * hit.y + hit.z * hit.z < r * r) {
      outContact.normal = dgVector(x > 0.0f ? 1.0f : -1.0f, 0.0f, 0.0f, 1.0f);
      outContact.userId = dgUserIdOf(*this);
      return t;
    }
  }
  return kRayMiss;
}

int dgCollisionCylinder::CalculatePlaneIntersection(const dgVector& normal, const dgVector& point,
                                                    dgVector* outPoints) const {
  if (!(std::fabs(normal.x) < 0.999f)) return HullPlaneIntersection(normal, point, outPoints);
  const dgMatrix frame = dgTurnedFrameAboutX(normal);
  dgVector localNormal = frame.UnrotateVector(normal);
  localNormal.w = 0.0f;
  const dgVector localPoint = frame.UnrotateVector(point);
  const int count = HullPlaneIntersection(localNormal, localPoint, outPoints);
  for (int i = 0; i < count; ++i) outPoints[i] = frame.RotateVector(outPoints[i]);
  return count;
}
