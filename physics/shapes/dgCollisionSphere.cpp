#include "physics/shapes/dgCollisionSphere.h"

#include <cmath>

#include "physics/body/dgBody.h"
#include "physics/body/dgContact.h"
#include "physics/mesh/dgGeometryUtils.h"
#include "physics/shapes/dgConvexHullTable.h"

namespace {

// Class data shared by spheres and ellipses, built while none is alive.
dgVector gUnitVertices[dgCollisionSphere::kHullVertexCount];
dgConvexEdge gSphereEdges[dgCollisionSphere::kHullEdgeCount];
// Edges of the shared table; 0 when it could not be built (welding and the
// edge table need memory), which leaves the shapes made meanwhile without a hull.
int gSphereEdgeCount = 0;
int gSphereLiveCount = 0;

struct TriangleList {
  dgVector corners[96];
  int count = 0;
};

void CollectTriangle(void* context, const dgVector* triangle) {
  auto* list = static_cast<TriangleList*>(context);
  for (int i = 0; i < 3 && list->count < 96; ++i) list->corners[list->count++] = triangle[i];
}

// The once-subdivided octahedron, welded to its 18 vertices.
void BuildSphereClassData() {
  TriangleList list;
  for (const auto& face : dgOctahedronFaces)
    dgSubdivideUnitTriangle(face[0], face[1], face[2], 1, CollectTriangle, &list);
  int indices[96];
  const int unique =
      dgWeldVertices(&list.corners[0].x, static_cast<int>(sizeof(dgVector)), 12, 0, list.count, indices, 0.001f);
  gSphereEdgeCount = 0;
  if (unique != dgCollisionSphere::kHullVertexCount) return;
  for (int i = 0; i < unique; ++i) {
    gUnitVertices[i] = list.corners[i];
    gUnitVertices[i].w = 0.0f;
  }
  int faceSizes[32];
  for (int& size : faceSizes) size = 3;
  gSphereEdgeCount = dgBuildConvexEdgeTable(32, faceSizes, indices, gSphereEdges, dgCollisionSphere::kHullEdgeCount);
}

// Smaller root of the segment p0 + d t against the sphere of radius r about
// the origin, or a miss; the normal is written for roots in 0..1.
float SphereRayCast(const dgVector& p0, const dgVector& p1, float radius, dgVector& outNormal, bool& outWrote) {
  outWrote = false;
  const dgVector d = p1 - p0;
  const float a = d.DotProduct(d);
  if (!(a > 0.0f)) return dgCollision::kRayMiss;
  const float b = 2.0f * d.DotProduct(p0);
  const float c = p0.DotProduct(p0) - radius * radius;
  const float disc = b * b - 4.0f * a * c;
  if (!(disc > 0.0f)) return dgCollision::kRayMiss;
  const float t = (-b - std::sqrt(disc)) / (2.0f * a);
  if (t < 0.0f) return dgCollision::kRayMiss;
  if (t <= 1.0f) {
    dgVector hit = p0 + d.Scale(t);
    hit = hit.Scale(1.0f / std::sqrt(hit.LengthSquared()));
    hit.w = p0.w;
    outNormal = hit;
    outWrote = true;
  }
  return t;
}

}  // namespace

dgCollisionSphere::dgCollisionSphere(uint32_t signature, float radius, const dgMatrix& offset)
    : dgCollisionSphere(signature, radius, offset, kSphere) {}

dgCollisionSphere::dgCollisionSphere(uint32_t signature, float radius, const dgMatrix& offset, uint32_t kind)
    : dgConvexCollision(signature, offset, kind), radius_(radius), grid_(radius) {
  if (gSphereLiveCount == 0) BuildSphereClassData();
  ++gSphereLiveCount;
  for (int i = 0; i < kHullVertexCount; ++i) {
    hullVertices_[i] = gUnitVertices[i].Scale(radius);
  }
  SetUpBorrowedHull(hullVertices_, kHullVertexCount, gSphereEdges, gSphereEdgeCount);
}

dgCollisionSphere::~dgCollisionSphere() {
  --gSphereLiveCount;
  ForgetBorrowedHull();
}

int dgCollisionSphere::GetLiveCount() { return gSphereLiveCount; }

uint32_t dgCollisionSphere::MakeSphereSignature(float radius, const dgMatrix& offset, uint32_t* outBlock) {
  const float size = std::fabs(radius);
  return MakeSignature(kSphere, &size, 1, offset, outBlock);
}

uint32_t dgCollisionSphere::CalculateSignature() const {
  return MakeSignature(kSphere, &radius_, 1, GetOffsetMatrix());
}

void dgCollisionSphere::CalcAABB(const dgMatrix& matrix, dgVector& outMin, dgVector& outMax) const {
  outMin = dgVector(matrix.posit.x - radius_, matrix.posit.y - radius_, matrix.posit.z - radius_, 1.0f);
  outMax = dgVector(matrix.posit.x + radius_, matrix.posit.y + radius_, matrix.posit.z + radius_, 1.0f);
}

void dgCollisionSphere::EmitFaces(const dgBody* body, dgFaceCallback callback, const dgMatrix& offset) const {
  dgSphereTriangleEmitter emitter{body, callback, offset.Multiply(body->matrix), radius_};
  for (const auto& face : dgOctahedronFaces)
    dgSubdivideUnitTriangle(face[0], face[1], face[2], 3, dgEmitSphereTriangle, &emitter);
}

void dgCollisionSphere::ForEachFace(const dgBody* body, dgFaceCallback callback) const {
  EmitFaces(body, callback, GetOffsetMatrix());
}

float dgCollisionSphere::RayCast(const dgVector& p0, const dgVector& p1, dgContact& outContact) const {
  dgVector normal;
  bool wrote = false;
  const float t = SphereRayCast(p0, p1, radius_, normal, wrote);
  if (wrote) {
    outContact.normal = normal;
    outContact.userId = dgUserIdOf(*this);
  }
  return t;
}

dgVector dgCollisionSphere::SupportVertex(const dgVector& dir) const {
  if (dir.x > 0.9998f) return {radius_, 0.0f, 0.0f, 0.0f};
  if (dir.x < -0.9998f) return {-radius_, 0.0f, 0.0f, 0.0f};
  return grid_.SphereSupport(dir, radius_);
}

int dgCollisionSphere::CalculatePlaneIntersection(const dgVector& normal, const dgVector& point,
                                                  dgVector* outPoints) const {
  outPoints[0] = normal.Scale(normal.DotProduct(point));
  return 1;
}

// --- Ellipse ---

dgCollisionEllipse::dgCollisionEllipse(uint32_t signature, float rx, float ry, float rz, const dgMatrix& offset)
    : dgCollisionSphere(signature, 1.0f, offset, kEllipse),
      radii_(rx, ry, rz, 0.0f),
      // A flat axis (radius 0) gets a zero reciprocal instead of an infinity.
      invRadii_(rx != 0.0f ? 1.0f / rx : 0.0f, ry != 0.0f ? 1.0f / ry : 0.0f, rz != 0.0f ? 1.0f / rz : 0.0f, 0.0f) {}

uint32_t dgCollisionEllipse::MakeEllipseSignature(float rx, float ry, float rz, const dgMatrix& offset,
                                                  uint32_t* outBlock) {
  const float radii[3] = {std::fabs(rx), std::fabs(ry), std::fabs(rz)};
  return MakeSignature(kEllipse, radii, 3, offset, outBlock);
}

uint32_t dgCollisionEllipse::CalculateSignature() const {
  const float radii[3] = {radii_.x, radii_.y, radii_.z};
  return MakeSignature(kEllipse, radii, 3, GetOffsetMatrix());
}

void dgCollisionEllipse::CalcAABB(const dgMatrix& matrix, dgVector& outMin, dgVector& outMax) const {
  const dgMatrix scaled(matrix.front.Scale(radii_.x), matrix.up.Scale(radii_.y), matrix.right.Scale(radii_.z),
                        matrix.posit);
  dgConvexCollision::CalcAABB(scaled, outMin, outMax);
}

void dgCollisionEllipse::ForEachFace(const dgBody* body, dgFaceCallback callback) const {
  const dgMatrix& offset = GetOffsetMatrix();
  const dgMatrix scaled(offset.front.Scale(radii_.x), offset.up.Scale(radii_.y), offset.right.Scale(radii_.z),
                        offset.posit);
  EmitFaces(body, callback, scaled);
}

float dgCollisionEllipse::RayCast(const dgVector& p0, const dgVector& p1, dgContact& outContact) const {
  const dgVector q0(p0.x * invRadii_.x, p0.y * invRadii_.y, p0.z * invRadii_.z, p0.w);
  const dgVector q1(p1.x * invRadii_.x, p1.y * invRadii_.y, p1.z * invRadii_.z, p1.w);
  dgVector normal;
  bool wrote = false;
  const float t = SphereRayCast(q0, q1, 1.0f, normal, wrote);
  if (wrote) {
    // The unit sphere's normal n at the hit becomes the ellipsoid's gradient (n / r per axis).
    dgVector gradient(normal.x * invRadii_.x, normal.y * invRadii_.y, normal.z * invRadii_.z, normal.w);
    gradient = gradient.Scale(1.0f / std::sqrt(gradient.LengthSquared()));
    gradient.w = normal.w;
    outContact.normal = gradient;
    outContact.userId = dgUserIdOf(*this);
  }
  return t;
}

dgVector dgCollisionEllipse::SupportVertex(const dgVector& dir) const {
  dgVector m(dir.x * radii_.x, dir.y * radii_.y, dir.z * radii_.z, 0.0f);
  const float length2 = m.LengthSquared();
  if (length2 > 0.0f) m = m.Scale(1.0f / std::sqrt(length2));
  const dgVector s = dgCollisionSphere::SupportVertex(m);
  return {s.x * radii_.x, s.y * radii_.y, s.z * radii_.z, 1.0f};
}

int dgCollisionEllipse::CalculatePlaneIntersection(const dgVector& normal, const dgVector& point,
                                                   dgVector* outPoints) const {
  const dgVector m(normal.x * radii_.x, normal.y * radii_.y, normal.z * radii_.z, 0.0f);
  const float length2 = m.LengthSquared();
  const float k = length2 > 0.0f ? normal.DotProduct(point) / length2 : 0.0f;
  outPoints[0] = dgVector(k * m.x * radii_.x, k * m.y * radii_.y, k * m.z * radii_.z, 1.0f);
  return 1;
}

bool dgCollisionEllipse::VolumeBelowLocalPlane(const dgVector& normal, float planeD, float& outT0,
                                               dgVector& outT1) const {
  // Points p = S u of the ellipse come from points u of the unit sphere, so
  // n · p + d = (S n) · u + d; volumes scale by det S and moments by S det S.
  const dgVector unitNormal(normal.x * radii_.x, normal.y * radii_.y, normal.z * radii_.z, 0.0f);
  float unitT0 = 0.0f;
  dgVector unitT1;
  if (!dgCollisionSphere::VolumeBelowLocalPlane(unitNormal, planeD, unitT0, unitT1)) return false;
  const float det = radii_.x * radii_.y * radii_.z;
  outT0 = unitT0 * det;
  outT1 = dgVector(unitT1.x * radii_.x * det, unitT1.y * radii_.y * det, unitT1.z * radii_.z * det, 0.0f);
  return true;
}

void dgEmitSphereTriangle(void* context, const dgVector* triangle) {
  const auto* emitter = static_cast<const dgSphereTriangleEmitter*>(context);
  float triples[9];
  for (int i = 0; i < 3; ++i) {
    dgVector p = triangle[i].Scale(emitter->radius);
    p.x += emitter->shiftX;
    p.w = 1.0f;
    const dgVector q = emitter->matrix.TransformVector(p);
    triples[3 * i] = q.x;
    triples[3 * i + 1] = q.y;
    triples[3 * i + 2] = q.z;
  }
  emitter->callback(emitter->body, 3, triples, 0);
}
