#pragma once
// The capsule along the local x axis: a cylinder of half length h between
// two half spheres of radius r. A 48-vertex hull serves the convex
// algorithms; support points come from the sphere's angular grid, the ray
// cast is analytic.

#include "physics/shapes/dgAngularGrid.h"
#include "physics/shapes/dgConvexCollision.h"

class dgCollisionCapsule : public dgConvexCollision {
 public:
  static constexpr int kHullVertexCount = 48;
  static constexpr int kHullEdgeCount = 180;
  // Shortest straight part.
  static constexpr float kMinHalfLength = 0.05f;

  // A capsule of radius |radius| and total length |height| along x.
  dgCollisionCapsule(uint32_t signature, float radius, float height, const dgMatrix& offset);
  ~dgCollisionCapsule() override;

  uint32_t GetTypeId() const override { return dgCollisionCapsuleId; }
  bool IsType(uint32_t id) const override { return id == dgCollisionCapsuleId || dgConvexCollision::IsType(id); }

  void SetCollisionBBox(const dgVector&, const dgVector&) override {}
  // 16 quads along the straight part and two hemispheres of 64 triangles.
  void ForEachFace(const dgBody* body, dgFaceCallback callback) const override;
  // Against the side, then the end sphere the side hit lies beyond; a start inside misses.
  float RayCast(const dgVector& p0, const dgVector& p1, dgContact& outContact) const override;
  uint32_t CalculateSignature() const override;
  dgVector SupportVertex(const dgVector& dir) const override;
  // The hull's section in a frame turned about x, or one point on an end sphere.
  int CalculatePlaneIntersection(const dgVector& normal, const dgVector& point, dgVector* outPoints) const override;

  float GetRadius() const { return radius_; }
  float GetHalfLength() const { return halfLength_; }
  // Signature of a capsule of this radius and total height (half of |height| is stored).
  static uint32_t MakeCapsuleSignature(float radius, float height, const dgMatrix& offset,
                                       uint32_t* outBlock = nullptr);
  static int GetLiveCount();

 private:
  float halfLength_;
  float radius_;
  float halfHeight_;  // half of the total height, as the signature keeps it
  dgAngularGrid grid_;
  dgVector silhouette_[4];
  dgVector hullVertices_[kHullVertexCount];
};
