#pragma once
// Common base of the convex primitives. Each primitive describes its shape
// by a polyhedral hull (a vertex array and a half-edge table it sets up) and
// overrides an operation where it has an exact formula; the hull answers the
// rest: hill-climbing support vertex, simplex ray cast, plane section and
// the mass properties by face integration.

#include <cstdint>

#include "physics/shapes/dgCollision.h"

// One half-edge of a convex hull.
struct dgConvexEdge {
  int32_t vertex;      // origin vertex index
  dgConvexEdge* twin;  // opposite half-edge (origin = this edge's end)
  dgConvexEdge* next;  // next edge around the same face
  dgConvexEdge* prev;  // previous edge around the same face
};

class dgConvexCollision : public dgCollision {
 public:
  // Hulls of this library stay below these sizes (the largest, the capsule,
  // has 48 vertices and 180 half-edges); SetUpHull refuses anything larger.
  static constexpr int kMaxHullVertices = 256;
  static constexpr int kMaxHullEdges = 512;
  // Most points a plane section returns.
  static constexpr int kMaxSectionPoints = 12;
  // Candidates the support climb examines at most.
  static constexpr int kMaxClimbCandidates = 128;

  dgConvexCollision(uint32_t signature, const dgMatrix& offset, uint32_t kind);
  ~dgConvexCollision() override;

  uint32_t GetTypeId() const override { return dgConvexCollisionId; }
  bool IsType(uint32_t id) const override { return id == dgConvexCollisionId || dgCollision::IsType(id); }

  void* GetUserData() const override { return userData_; }
  void SetUserData(void* userData) override { userData_ = userData; }
  // The local box mapped by the matrix.
  void CalcAABB(const dgMatrix& globalMatrix, dgVector& outMin, dgVector& outMax) const override;
  // One callback per hull face, vertices mapped by the offset times the body's matrix.
  void ForEachFace(const dgBody* body, dgFaceCallback callback) const override;
  // Simplex advancement against the hull. The initial tetrahedron needs
  // support points more than 0.1 apart (squared-length and unnormalised
  // cross/triple-product thresholds of 0.01), so hulls smaller than about
  // 0.25 to 0.3 units always miss; every primitive has its own exact cast.
  float RayCast(const dgVector& p0, const dgVector& p1, dgContact& outContact) const override;
  // Volume by face integration of ForEachFace's faces.
  float GetVolume() const override;
  // Diagonal inertia per unit mass about the centre of mass, and the centre.
  void CalculateInertia(dgVector& outInertia, dgVector& outCentre) const override;
  // Volume (in w) and global centroid of the part below the callback's plane.
  void CalculateVolumeBelowPlane(dgVector& out, const dgMatrix& globalMatrix, dgPlaneCallback callback,
                                 void* context) const override;

  // The hull vertex farthest along dir, by climbing from the best extreme edge.
  virtual dgVector SupportVertex(const dgVector& dir) const;
  // Fixed directions a caller may keep supports of (the contact solver's
  // search directions).
  static constexpr int kKeptSupportSlots = 16;
  // SupportVertex(dir), where slot names dir among a caller's fixed
  // directions: worked out on the first asking and kept, since a shape's
  // supports never change after construction. Not for the soup's face
  // collision, whose vertices change with every face it is loaded with.
  const dgVector& KeptSupportVertex(int slot, const dgVector& dir) const {
    if (!(keptSupportSlots_ & (1u << slot))) {
      keptSupports_[slot] = SupportVertex(dir);
      keptSupportSlots_ |= 1u << slot;
    }
    return keptSupports_[slot];
  }
  // The polygon (at most 12 points) in which the plane through point with
  // this normal cuts the hull; returns the point count.
  virtual int CalculatePlaneIntersection(const dgVector& normal, const dgVector& point, dgVector* outPoints) const;

  // Stored mass properties and local box from the hull set-up.
  float GetHullVolume() const { return volume_; }
  const dgVector& GetCentreOfMass() const { return centreOfMass_; }
  const dgVector& GetBoxSize() const { return boxSize_; }
  const dgVector& GetBoxCentre() const { return boxCentre_; }
  int GetVertexCount() const { return vertexCount_; }
  int GetEdgeCount() const { return edgeCount_; }
  const dgVector* GetVertices() const { return vertices_; }
  const dgConvexEdge* GetEdges() const { return edges_; }
  // The six extreme edges (+x, -x, +y, -y, +z, -z).
  const dgConvexEdge* GetExtremeEdge(int i) const { return extremeEdges_[i]; }

  // The hull's own support climb, ignoring any primitive override.
  dgVector HullSupportVertex(const dgVector& dir) const;
  // The hull's own plane section, ignoring any primitive override.
  int HullPlaneIntersection(const dgVector& normal, const dgVector& point, dgVector* outPoints) const;
  // Full face integration over ForEachFace: volume (T0), T1 and T2 raw sums.
  void IntegrateFaces(float& outT0, dgVector& outT1, dgVector& outT2) const;

 protected:
  // Computes volume, centre of mass, extreme edges and the local box from
  // the vertex array and edge table the primitive has filled; false (and a
  // shape without hull) when the counts are out of range.
  bool SetUpHull();
  // SetUpHull over arrays the shape does not own (its own member array, an
  // edge table shared by every shape of its kind).
  bool SetUpBorrowedHull(dgVector* vertices, int vertexCount, dgConvexEdge* edges, int edgeCount) {
    vertices_ = vertices;
    edges_ = edges;
    vertexCount_ = static_cast<uint16_t>(vertexCount);
    edgeCount_ = static_cast<uint16_t>(edgeCount);
    return SetUpHull();
  }
  // Lets go of a borrowed hull so the base destructor frees nothing.
  void ForgetBorrowedHull() {
    vertices_ = nullptr;
    edges_ = nullptr;
  }
  // Volume (T0) and twice the first moment (T1) of the hull's part below the
  // local plane normal · p + planeD = 0; false when nothing is below (or the
  // cut cannot be traced).
  virtual bool VolumeBelowLocalPlane(const dgVector& normal, float planeD, float& outT0, dgVector& outT1) const;
  // Reduces a closed polygon to at most limit points by dropping the points
  // that span the smallest triangles with their neighbours.
  static int ReducePolygon(const dgVector& normal, int count, dgVector* points, int limit);
  // Drops points closer than 1e-4 to their predecessor (and a last point equal
  // to the first); returns the new count.
  static int DropDuplicatePoints(int count, dgVector* points);
  // Traces the plane section from a crossing edge that runs from a vertex at
  // or above the plane to one below it. endAboveStrict chooses whether a
  // vertex exactly on the plane counts as above (false) or below (true) when
  // the walk looks for the next crossing. Writes at most maxPoints points.
  int TraceSection(const dgConvexEdge* firstEdge, const float* distances, const dgVector& normal, bool endAboveStrict,
                   dgVector* outPoints, int maxPoints) const;

  dgVector centreOfMass_{0.0f, 0.0f, 0.0f, 0.0f};
  float volume_ = 1.0f;
  dgVector* vertices_ = nullptr;
  dgConvexEdge* edges_ = nullptr;
  const dgConvexEdge* extremeEdges_[6] = {};
  uint16_t edgeCount_ = 0;
  uint16_t vertexCount_ = 0;
  void* userData_ = nullptr;
  dgVector boxSize_{0.0f, 0.0f, 0.0f, 1.0f};
  dgVector boxCentre_{0.0f, 0.0f, 0.0f, 1.0f};

 private:
  // The supports KeptSupportVertex has worked out, one bit per slot.
  mutable dgVector keptSupports_[kKeptSupportSlots];
  mutable uint32_t keptSupportSlots_ = 0;

  const dgConvexEdge* ClimbFrom(const dgConvexEdge* seed, const dgVector& dir, int candidateLimit) const;
};

// The sign-extended user id a ray-cast hit stores for a shape's user data.
inline int64_t dgUserIdOf(const dgCollision& shape) {
  return static_cast<int64_t>(reinterpret_cast<intptr_t>(shape.GetUserData()));
}
