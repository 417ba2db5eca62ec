#pragma once
// One face of a polygon soup loaded as a small convex shape, so that the
// convex contact code can test it like any other shape. The soup owns one
// such buffer and the contact code loads each face into it in turn.

#include "physics/shapes/dgConvexCollision.h"
#include "physics/soup/dgCollisionPolygonalSoup.h"

struct dgContact;

class dgCollisionPolygonalSoup::dgCollisionConvexPolygon : public dgConvexCollision {
 public:
  // Most vertices a loaded face keeps.
  static constexpr int kMaxVertices = 64;
  // Signature of every face buffer.
  static constexpr uint32_t kSignature = 0x12341234u;
  // Bit 31 of a face index flags the edge that starts at that vertex.
  static constexpr uint32_t kEdgeFlag = 0x80000000u;
  static constexpr int kIndexMask = 0x7FFFFFFF;
  // Corners at flagged edges move out by this much.
  static constexpr float kCornerExpansion = 0.25f;
  // Half thickness of the slab the two-sided test accepts around the face plane.
  static constexpr float kSlabHalfThickness = 0.1f;

  dgCollisionConvexPolygon();

  uint32_t GetTypeId() const override { return dgCollisionConvexPolygonId; }
  bool IsType(uint32_t id) const override { return id == dgCollisionConvexPolygonId || dgConvexCollision::IsType(id); }

  void SetCollisionBBox(const dgVector&, const dgVector&) override {}
  float RayCast(const dgVector&, const dgVector&, dgContact&) const override { return 0.0f; }
  float GetVolume() const override { return 0.0f; }
  uint32_t CalculateSignature() const override { return kSignature; }
  // The loaded vertex farthest along dir (the first on ties).
  dgVector SupportVertex(const dgVector& dir) const override;
  // The face cut by the plane through point with this normal; writes at most
  // twice the loaded vertex count (the face itself when the plane lies in it).
  int CalculatePlaneIntersection(const dgVector& normal, const dgVector& point, dgVector* outPoints) const override;

  // Points the buffer at a face of the soup: the vertex array, its stride in
  // floats and the face's index run (edge flags kept). A face longer than
  // the buffer keeps its first kMaxVertices corners.
  void SetFace(const float* vertexArray, int strideFloats, const int* indices, int count);
  // The other shape's box in its own space, for the two-sided test.
  void SetBox(const dgVector& boxMin, const dgVector& boxMax) {
    boxMin_ = boxMin;
    boxMax_ = boxMax;
  }

  // One-sided test: loads the face and answers 1 unless the shape (placed by
  // matrix, soup space into the shape's space) lies wholly behind it.
  int ContactsToConvexA(const dgConvexCollision& shape, const dgMatrix& matrix);
  // Two-sided test: 1 when the shape reaches into a slab around the face
  // plane and its box meets the face; loads the face with its flagged
  // corners expanded.
  int ContactsToConvexB(const dgConvexCollision& shape, const dgMatrix& matrix);
  // Loads the face, moving the start corner of each flagged edge outward.
  void ExpandFlaggedCorners();
  // Drops the contacts lying beyond a flagged edge of the face (points
  // given in the space the matrix carries the soup into); of a contact on
  // a shared flagged edge exactly one of the two faces keeps it. Returns
  // the count kept.
  int ClipContacts(int count, dgContact* contacts, const dgMatrix& matrix) const;
  // True when the face lies within radius of point (soup space); writes the
  // face's closest point and stores the face normal.
  bool DistanceToPoint(const dgVector& point, float radius, dgVector& outClosest);

  const dgVector& GetNormal() const { return normal_; }
  int GetCount() const { return count_; }
  const dgVector* GetLoadedVertices() const { return loaded_; }

 private:
  // Face vertex i from the soup's array (index masked).
  dgVector FaceVertex(int i) const;
  // Unit normal (v1 - v0) x (v2 - v1) of the face's first three vertices.
  dgVector FaceNormal() const;
  void LoadVertices();

  dgVector normal_{0.0f, 0.0f, 0.0f, 1.0f};
  dgVector boxMin_;
  dgVector boxMax_;
  dgVector loaded_[kMaxVertices];
  int count_ = 0;
  int stride_ = 3;
  const int* indices_ = nullptr;
  const float* vertexArray_ = nullptr;
};

// The point of triangle a, b, c nearest to p, by Voronoi regions;
// outWeights, when given, receives its weights on a, b and c. A triangle
// without area (two equal corners, corners on one line) answers the nearest
// point of its edges.
dgVector dgClosestPointOnTriangle(const dgVector& p, const dgVector& a, const dgVector& b, const dgVector& c,
                                  float* outWeights = nullptr);
