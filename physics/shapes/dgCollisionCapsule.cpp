#include "physics/shapes/dgCollisionCapsule.h"

#include <cmath>

#include "physics/body/dgBody.h"
#include "physics/body/dgContact.h"
#include "physics/shapes/dgCollisionCylinder.h"
#include "physics/shapes/dgCollisionSphere.h"
#include "physics/shapes/dgConvexHullTable.h"

namespace {

constexpr int kRingCount = 8;
constexpr int kRingSize = 6;
constexpr float kPi = 3.14159265359f;
// Segments around the axis of the tessellation for the mass properties.
constexpr int kFaceSegments = 16;

dgConvexEdge gCapsuleEdges[dgCollisionCapsule::kHullEdgeCount];
int gCapsuleLiveCount = 0;

void BuildCapsuleEdges() {
  int sizes[44];
  int indices[42 * 4 + 2 * kRingSize];
  int faces = 0;
  int used = 0;
  for (int ring = 0; ring + 1 < kRingCount; ++ring) {
    for (int i = 0; i < kRingSize; ++i) {
      const int prev = i == 0 ? kRingSize - 1 : i - 1;
      const int base = kRingSize * ring;
      indices[used++] = base + prev;
      indices[used++] = base + i;
      indices[used++] = base + i + kRingSize;
      indices[used++] = base + prev + kRingSize;
      sizes[faces++] = 4;
    }
  }
  for (int i = kRingSize - 1; i >= 0; --i) indices[used++] = i;
  sizes[faces++] = kRingSize;
  for (int i = 0; i < kRingSize; ++i) indices[used++] = kRingSize * (kRingCount - 1) + i;
  sizes[faces++] = kRingSize;
  dgBuildConvexEdgeTable(faces, sizes, indices, gCapsuleEdges, dgCollisionCapsule::kHullEdgeCount);
}

// Smaller root of p0 + d t against the sphere (centre, r), with the same
// tolerance on the discriminant as the side; false on a miss.
bool EndSphereRoot(const dgVector& p0, const dgVector& d, const dgVector& centre, float radius, float& outT) {
  const dgVector p = p0 - centre;
  const float a = d.DotProduct(d);
  const float b = 2.0f * d.DotProduct(p);
  const float c = p.DotProduct(p) - radius * radius;
  const float disc = b * b - 4.0f * a * c;
  if (!(disc > 1e-8f) || !(a > 0.0f)) return false;
  outT = (-b - std::sqrt(disc)) / (2.0f * a);
  return true;
}

}  // namespace

dgCollisionCapsule::dgCollisionCapsule(uint32_t signature, float radius, float height, const dgMatrix& offset)
    : dgConvexCollision(signature, offset, kCapsule),
      radius_(std::fabs(radius)),
      halfHeight_(std::fabs(height) * 0.5f),
      grid_(std::fabs(radius)) {
  halfLength_ = halfHeight_ - radius_;
  if (!(halfLength_ >= kMinHalfLength)) halfLength_ = kMinHalfLength;
  const float h = halfLength_;
  const float r = radius_;
  silhouette_[0] = dgVector(h, r, 0.0f, 0.0f);
  silhouette_[1] = dgVector(-h, r, 0.0f, 0.0f);
  silhouette_[2] = dgVector(h, -r, 0.0f, 0.0f);
  silhouette_[3] = dgVector(-h, -r, 0.0f, 0.0f);

  // Rings from the far negative end to the far positive end.
  static constexpr int kRingStep[kRingCount] = {3, 2, 1, 0, 0, 1, 2, 3};
  for (int ring = 0; ring < kRingCount; ++ring) {
    const float k = static_cast<float>(kRingStep[ring]) * r * 0.25f;
    const float x = (ring < kRingCount / 2 ? -1.0f : 1.0f) * (h + k);
    const float rho = std::sqrt(r * r - k * k);
    for (int i = 0; i < kRingSize; ++i) {
      const float angle = static_cast<float>(i) * kPi / 3.0f;
      hullVertices_[kRingSize * ring + i] = dgVector(x, rho * std::cos(angle), rho * std::sin(angle), 1.0f);
    }
  }
  if (gCapsuleLiveCount == 0) BuildCapsuleEdges();
  ++gCapsuleLiveCount;
  SetUpBorrowedHull(hullVertices_, kHullVertexCount, gCapsuleEdges, kHullEdgeCount);
}

dgCollisionCapsule::~dgCollisionCapsule() {
  --gCapsuleLiveCount;
  ForgetBorrowedHull();
}

int dgCollisionCapsule::GetLiveCount() { return gCapsuleLiveCount; }

uint32_t dgCollisionCapsule::MakeCapsuleSignature(float radius, float height, const dgMatrix& offset,
                                                  uint32_t* outBlock) {
  const float sizes[2] = {std::fabs(radius), std::fabs(height) * 0.5f};
  return MakeSignature(kCapsule, sizes, 2, offset, outBlock);
}

uint32_t dgCollisionCapsule::CalculateSignature() const {
  const float sizes[2] = {radius_, halfHeight_};
  return MakeSignature(kCapsule, sizes, 2, GetOffsetMatrix());
}

dgVector dgCollisionCapsule::SupportVertex(const dgVector& dir) const {
  if (dir.x > 0.9998f) return {halfLength_ + radius_, 0.0f, 0.0f, 0.0f};
  if (dir.x < -0.9998f) return {-halfLength_ - radius_, 0.0f, 0.0f, 0.0f};
  dgVector p = grid_.SphereSupport(dir, radius_);
  p.x += dir.x < 0.0f ? -halfLength_ : halfLength_;
  p.w = 1.0f;
  return p;
}

void dgCollisionCapsule::ForEachFace(const dgBody* body, dgFaceCallback callback) const {
  const dgMatrix matrix = GetOffsetMatrix().Multiply(body->matrix);
  const float h = halfLength_;
  const float r = radius_;
  for (int i = 0; i < kFaceSegments; ++i) {
    const float a0 = static_cast<float>(i == 0 ? kFaceSegments - 1 : i - 1) * 2.0f * kPi / kFaceSegments;
    const float a1 = static_cast<float>(i) * 2.0f * kPi / kFaceSegments;
    const dgVector quad[4] = {{-h, r * std::cos(a0), r * std::sin(a0), 1.0f},
                              {-h, r * std::cos(a1), r * std::sin(a1), 1.0f},
                              {h, r * std::cos(a1), r * std::sin(a1), 1.0f},
                              {h, r * std::cos(a0), r * std::sin(a0), 1.0f}};
    float triples[12];
    for (int k = 0; k < 4; ++k) {
      const dgVector q = matrix.TransformVector(quad[k]);
      triples[3 * k] = q.x;
      triples[3 * k + 1] = q.y;
      triples[3 * k + 2] = q.z;
    }
    callback(body, 4, triples, 0);
  }
  // Each octant face of the octahedron belongs to the end its x sign points to.
  for (const auto& face : dgOctahedronFaces) {
    const float side = face[0].x + face[1].x + face[2].x;
    dgSphereTriangleEmitter emitter{body, callback, matrix, r, side > 0.0f ? h : -h};
    dgSubdivideUnitTriangle(face[0], face[1], face[2], 2, dgEmitSphereTriangle, &emitter);
  }
}

float dgCollisionCapsule::RayCast(const dgVector& p0, const dgVector& p1, dgContact& outContact) const {
  const float r = radius_;
  const float h = halfLength_;
  const dgVector d = p1 - p0;
  float t = 0.0f;
  dgVector normal;

  if (p0.y * p0.y + p0.z * p0.z > r * r) {
    // Outside the infinite cylinder about the axis: meet it first.
    const float a = d.y * d.y + d.z * d.z;
    const float b = 2.0f * (p0.y * d.y + p0.z * d.z);
    const float c = p0.y * p0.y + p0.z * p0.z - r * r;
    const float disc = b * b - 4.0f * a * c;
    if (!(disc > 1e-8f) || !(a > 0.0f)) return kRayMiss;
    t = (-b - std::sqrt(disc)) / (2.0f * a);
    if (!(t >= 0.0f && t <= 1.0f)) return kRayMiss;
    const dgVector hit = p0 + d.Scale(t);
    if (hit.x > h || hit.x < -h) {
      const dgVector centre(hit.x > h ? h : -h, 0.0f, 0.0f, 0.0f);
      if (!EndSphereRoot(p0, d, centre, r, t)) return kRayMiss;
      normal = p0 + d.Scale(t) - centre;
    } else {
      normal = dgVector(0.0f, hit.y, hit.z, 0.0f);
    }
  } else {
    if (p0.x >= -h && p0.x <= h) return kRayMiss;  // inside the straight part
    const dgVector centre(p0.x > h ? h : -h, 0.0f, 0.0f, 0.0f);
    if ((p0 - centre).LengthSquared() <= r * r) return kRayMiss;  // inside the end sphere
    if (!EndSphereRoot(p0, d, centre, r, t) || t < 0.0f) return kRayMiss;
    normal = p0 + d.Scale(t) - centre;
  }
  if (!(t >= 0.0f && t <= 1.0f)) return kRayMiss;
  normal = normal.Scale(1.0f / std::sqrt(normal.LengthSquared()));
  normal.w = 1.0f;
  outContact.normal = normal;
  outContact.userId = dgUserIdOf(*this);
  return t;
}

int dgCollisionCapsule::CalculatePlaneIntersection(const dgVector& normal, const dgVector& point,
                                                   dgVector* outPoints) const {
  const bool turn = normal.y * normal.y + normal.z * normal.z > 1e-6f;
  const dgMatrix frame = turn ? dgTurnedFrameAboutX(normal) : dgGetIdentityMatrix();
  dgVector localNormal = frame.UnrotateVector(normal);
  localNormal.w = 0.0f;
  const dgVector localPoint = frame.UnrotateVector(point);

  int count = 0;
  if (std::fabs(localNormal.x) < 0.5f) {
    count = HullPlaneIntersection(localNormal, localPoint, outPoints);
  } else {
    const float offsets[2] = {halfLength_, -halfLength_};
    for (float x : offsets) {
      const dgVector centre(x, 0.0f, 0.0f, 1.0f);
      const float distance = localNormal.DotProduct(centre - localPoint);
      if (std::fabs(distance) < radius_) {
        outPoints[0] = centre - localNormal.Scale(distance);
        count = 1;
        break;
      }
    }
  }
  for (int i = 0; i < count; ++i) outPoints[i] = frame.RotateVector(outPoints[i]);
  return count;
}
