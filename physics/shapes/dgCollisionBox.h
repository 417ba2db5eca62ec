#pragma once
// The rectangular box centred on its local origin: eight corners as its
// hull, one edge table shared by every box, and exact support, box, ray
// cast and plane section.

#include "physics/shapes/dgConvexCollision.h"

class dgCollisionBox : public dgConvexCollision {
 public:
  // A box of full sides |sizeX|, |sizeY|, |sizeZ| placed by the offset matrix.
  dgCollisionBox(uint32_t signature, float sizeX, float sizeY, float sizeZ, const dgMatrix& offset);
  ~dgCollisionBox() override;

  uint32_t GetTypeId() const override { return dgCollisionBoxId; }
  bool IsType(uint32_t id) const override { return id == dgCollisionBoxId || dgConvexCollision::IsType(id); }

  // Boxes keep no box of their own.
  void SetCollisionBBox(const dgVector&, const dgVector&) override {}
  void CalcAABB(const dgMatrix& globalMatrix, dgVector& outMin, dgVector& outMax) const override;
  // Clips the segment against the six faces. A start inside the box (or on
  // a face, going in) misses; an end exactly on a face hits at t = 1.
  float RayCast(const dgVector& p0, const dgVector& p1, dgContact& outContact) const override;
  uint32_t CalculateSignature() const override;
  // The corner in the direction's octant (0 counts as +), w = 0.
  dgVector SupportVertex(const dgVector& dir) const override;
  // The section polygon (at most 6 points) traced from the first crossing edge.
  int CalculatePlaneIntersection(const dgVector& normal, const dgVector& point, dgVector* outPoints) const override;

  const dgVector& GetHalfSize() const { return halfSize_; }
  // Signature of a box of these full sides and offset (the shape cache's key).
  static uint32_t MakeBoxSignature(float sizeX, float sizeY, float sizeZ, const dgMatrix& offset,
                                   uint32_t* outBlock = nullptr);
  // Boxes alive (the shared edge table is rebuilt when a box is made while none is).
  static int GetLiveCount();
  // The shared edge table (24 half-edges).
  static const dgConvexEdge* GetSharedEdges();

 private:
  dgVector halfSize_;
  dgVector corners_[8];
};
