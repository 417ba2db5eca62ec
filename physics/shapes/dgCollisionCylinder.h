#pragma once
// The cylinder along the local x axis, of half height h and radius r: a
// 16-vertex hull (two octagons), rim support points on an angular grid and
// an analytic ray cast.

#include "physics/shapes/dgAngularGrid.h"
#include "physics/shapes/dgConvexCollision.h"

class dgCollisionCylinder : public dgConvexCollision {
 public:
  static constexpr int kHullVertexCount = 16;
  static constexpr int kHullEdgeCount = 48;

  // A cylinder of radius |radius| and total length |height| along x.
  dgCollisionCylinder(uint32_t signature, float radius, float height, const dgMatrix& offset);
  ~dgCollisionCylinder() override;

  uint32_t GetTypeId() const override { return dgCollisionCylinderId; }
  bool IsType(uint32_t id) const override { return id == dgCollisionCylinderId || dgConvexCollision::IsType(id); }

  void SetCollisionBBox(const dgVector&, const dgVector&) override {}
  // 24 side quads and two 24-sided caps.
  void ForEachFace(const dgBody* body, dgFaceCallback callback) const override;
  // Against the side, then the end caps; a start inside misses.
  float RayCast(const dgVector& p0, const dgVector& p1, dgContact& outContact) const override;
  uint32_t CalculateSignature() const override;
  // A rim point of the end the direction faces (the -h end when dir.x is 0).
  dgVector SupportVertex(const dgVector& dir) const override;
  int CalculatePlaneIntersection(const dgVector& normal, const dgVector& point, dgVector* outPoints) const override;

  float GetRadius() const { return radius_; }
  float GetHalfHeight() const { return halfHeight_; }
  static uint32_t MakeCylinderSignature(float radius, float height, const dgMatrix& offset,
                                        uint32_t* outBlock = nullptr);
  static int GetLiveCount();

 private:
  float halfHeight_;
  float radius_;
  dgAngularGrid grid_;
  dgVector hullVertices_[kHullVertexCount];
};

// The frame turned about x that brings a normal into the xy plane with y >= 0.
dgMatrix dgTurnedFrameAboutX(const dgVector& normal);
