#pragma once
// The sphere centred on its local origin. Its hull is a once-subdivided
// octahedron (18 vertices, shared edge table); its support point is the best
// of four points of a latitude-longitude grid whose step shrinks with the
// radius; its ray cast is analytic and its faces for the mass properties are
// the octahedron subdivided three times (512 triangles).

#include "physics/shapes/dgAngularGrid.h"
#include "physics/shapes/dgConvexCollision.h"

class dgCollisionSphere : public dgConvexCollision {
 public:
  static constexpr int kHullVertexCount = 18;
  static constexpr int kHullEdgeCount = 96;

  // A sphere of the given radius placed by the offset matrix.
  dgCollisionSphere(uint32_t signature, float radius, const dgMatrix& offset);
  ~dgCollisionSphere() override;

  uint32_t GetTypeId() const override { return dgCollisionSphereId; }
  bool IsType(uint32_t id) const override { return id == dgCollisionSphereId || dgConvexCollision::IsType(id); }

  void SetCollisionBBox(const dgVector&, const dgVector&) override {}
  // The matrix position minus and plus the radius, w = 1.
  void CalcAABB(const dgMatrix& globalMatrix, dgVector& outMin, dgVector& outMax) const override;
  // 512 triangles on the sphere.
  void ForEachFace(const dgBody* body, dgFaceCallback callback) const override;
  // Nearest root of the segment against the sphere; a start inside misses.
  // The root is returned as it is, also when it lies beyond 1 (a miss to
  // every caller); the normal is written for roots in 0..1.
  float RayCast(const dgVector& p0, const dgVector& p1, dgContact& outContact) const override;
  uint32_t CalculateSignature() const override;
  // Exact on the x axis, otherwise the best nearby grid point.
  dgVector SupportVertex(const dgVector& dir) const override;
  // One point, (normal · point) · normal, whether or not the plane meets the sphere.
  int CalculatePlaneIntersection(const dgVector& normal, const dgVector& point, dgVector* outPoints) const override;

  float GetRadius() const { return radius_; }
  const dgAngularGrid& GetGrid() const { return grid_; }
  // Signature of a sphere of this radius and offset.
  static uint32_t MakeSphereSignature(float radius, const dgMatrix& offset, uint32_t* outBlock = nullptr);
  // Spheres and ellipses alive (they share the class data).
  static int GetLiveCount();

 protected:
  // For derived shapes that report another kind.
  dgCollisionSphere(uint32_t signature, float radius, const dgMatrix& offset, uint32_t kind);
  // The sphere's 512 triangles placed by offset times the body's matrix.
  void EmitFaces(const dgBody* body, dgFaceCallback callback, const dgMatrix& offset) const;

 private:
  float radius_;
  dgAngularGrid grid_;
  dgVector hullVertices_[kHullVertexCount];
};

// An ellipsoid with radii rx, ry, rz: a unit sphere that every operation scales.
class dgCollisionEllipse : public dgCollisionSphere {
 public:
  dgCollisionEllipse(uint32_t signature, float rx, float ry, float rz, const dgMatrix& offset);

  uint32_t GetTypeId() const override { return dgCollisionEllipseId; }
  bool IsType(uint32_t id) const override { return id == dgCollisionEllipseId || dgCollisionSphere::IsType(id); }

  void CalcAABB(const dgMatrix& globalMatrix, dgVector& outMin, dgVector& outMax) const override;
  void ForEachFace(const dgBody* body, dgFaceCallback callback) const override;
  // The unit sphere's cast in the scaled frame; the normal is the ellipsoid's
  // gradient at the hit.
  float RayCast(const dgVector& p0, const dgVector& p1, dgContact& outContact) const override;
  uint32_t CalculateSignature() const override;
  dgVector SupportVertex(const dgVector& dir) const override;
  int CalculatePlaneIntersection(const dgVector& normal, const dgVector& point, dgVector* outPoints) const override;

  const dgVector& GetRadii() const { return radii_; }
  // Signature of an ellipse of these radii and offset.
  static uint32_t MakeEllipseSignature(float rx, float ry, float rz, const dgMatrix& offset,
                                       uint32_t* outBlock = nullptr);

 protected:
  // The unit sphere's part below the plane taken into its frame, scaled back.
  bool VolumeBelowLocalPlane(const dgVector& normal, float planeD, float& outT0, dgVector& outT1) const override;

 private:
  dgVector radii_;
  dgVector invRadii_;
};

// Hands the triangles of a subdivided unit sphere to a face callback: each
// scaled by the radius, moved along x by shiftX (a capsule's end caps) and
// placed by the matrix. The context of dgSubdivideUnitTriangle's emit.
struct dgSphereTriangleEmitter {
  const dgBody* body;
  dgFaceCallback callback;
  dgMatrix matrix;
  float radius;
  float shiftX = 0.0f;
};
void dgEmitSphereTriangle(void* emitter, const dgVector* triangle);
