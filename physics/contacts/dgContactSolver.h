#pragma once
// The convex-convex contact solver of one shape pair. It works on the
// Minkowski difference s0 - s1 of the two shapes through their support-vertex
// and plane-section operations: a tetrahedron walk decides separated or
// penetrating, an expanding polytope finds the face of least penetration,
// and the contacts come from the two shapes' cross-sections in the plane of
// that face. One solver lives on the stack per query; nothing survives it.
//
// Every tolerance is absolute (1/128 on unnormalised lengths, areas and
// volumes): for shapes under about 0.1 units the seed directions run out
// before the tetrahedron opens up, and it may stay flat.

#include <cmath>
#include <cstdint>

#include "physics/math/dgMatrix.h"
#include "physics/math/dgUnclearedArray.h"
#include "physics/math/dgVector.h"

class dgBody;
class dgCollision;
class dgConvexCollision;
struct dgContact;

class dgContactSolver {
 public:
  static constexpr int kMaxVertices = 128;
  static constexpr int kMaxFaces = 128;
  static constexpr int kMaxEdges = 512;
  static constexpr int kHeapRoom = 256;
  static constexpr int kDirectionCount = 14;
  // Most contacts one solver call writes.
  static constexpr int kMaxContacts = 16;

  // Answers of the tetrahedron walk.
  enum Status { kFailed = 0, kSeparated = 1, kPenetrating = 2 };

  // One half-edge of the expanding polytope (left uninitialised: the
  // expansion fills every field of each edge it hands out).
  struct dgPolytopeEdge {
    int face;    // owning face; -1 once the face is removed
    int vertex;  // start vertex
    dgPolytopeEdge* twin;
    dgPolytopeEdge* next;
    dgPolytopeEdge* prev;
  };

  // A solver for two convex bodies: the relative matrix (body 1's collision
  // matrix times the inverse of body 0's) and both collisions.
  dgContactSolver(dgBody* body0, dgBody* body1);
  // The same with collision1 standing in for body 1's own collision (a soup
  // face loaded into the soup's face buffer).
  dgContactSolver(dgBody* body0, dgBody* body1, dgConvexCollision* collision1);
  // A solver for two collisions placed by their collision matrices, without
  // bodies: for the queries that need no motion (closest points). Both
  // matrices must outlive the solver.
  dgContactSolver(dgConvexCollision* collision0, const dgMatrix& collisionMatrix0, dgConvexCollision* collision1,
                  const dgMatrix& collisionMatrix1);

  // Collision 1 answers every direction with the same support point (the
  // world's point): take it once here instead of at every support step.
  void FixSupport1();

  // Fills the table of search directions; the world calls it once when it is built.
  static void InitTables();
  // Search direction i (0-13): the 8 unit cube diagonals, then the 6 axes.
  static const dgVector& GetSearchDirection(int i) { return sDirections[i]; }
  // The four faces of the starting tetrahedron: three vertices, then the opposite one.
  static constexpr int kTetrahedronFaces[4][4] = {{0, 1, 2, 3}, {0, 2, 3, 1}, {2, 1, 3, 0}, {1, 0, 3, 2}};

  // Body 1's collision matrix in body 0's frame.
  const dgMatrix& GetMatrix() const { return matrix_; }

  // Stores at index the point of s0 - s1 farthest along direction (body 0's
  // frame) and the sum s0 + s1 of the two support points.
  void SupportVertex(const dgVector& direction, int index);
  // The same along search direction number direction (0-13), whose support on
  // shape 0 is the same for every query and is kept by the shape.
  void SearchSupportVertex(int direction, int index);
  // Builds the tetrahedron and walks it towards point (body 0's frame):
  // kSeparated with outFace the tetrahedron face (0-3) nearest the point,
  // kPenetrating when the difference holds it, kFailed when the walk ran out.
  int IntersectionTest(int& outFace, const dgVector& point);
  // The polytope face of least penetration (its face number), or -1.
  int CalculatePenetrationFace();
  // The contacts of the polytope face (at most maxContacts).
  int ContactsFromFace(int face, int userId, dgContact* contacts, int maxContacts);
  // Clips the two cross-sections (world space) against each other into
  // contacts sharing normal, userId and penetration; at most maxContacts.
  static int ClipPolygons(const dgVector& normal, int userId, float penetration, int count0, const dgVector* poly0,
                          int count1, const dgVector* poly1, dgContact* contacts, int maxContacts);
  // Contacts of a penetrating pair (0 when apart), at most maxContacts.
  int CalculateContacts(dgContact* contacts, int userId, int maxContacts);
  // Contacts at the first touch of the bodies' predicted motion within
  // timeStep (those of CalculateContacts when they already penetrate).
  int CalculateContinuousContacts(float timeStep, dgContact* contacts, int userId, int maxContacts);
  // Closest points (world space) of two separated shapes and the unit
  // direction from shape 0's point towards shape 1's; 0 when they touch.
  int CalculateClosestPoints(dgVector& outPoint0, dgVector& outPoint1, dgVector& outNormal);

 private:
  // A tetrahedron face or polytope plane through three Minkowski vertices.
  struct FacePlane {
    dgPlane plane;  // unit normal and constant; zero normal when degenerate
    bool valid = false;
  };

  void Init(dgConvexCollision* collision0, const dgMatrix& collisionMatrix0, dgConvexCollision* collision1,
            const dgMatrix& collisionMatrix1);
  // Normals shorter than this (squared) belong to flat faces.
  static constexpr float kMinNormal2 = 1.0e-24f;
  // The unit plane through vertices a, b, c (invalid when |n|^2 <= 1e-24).
  // Inline: the walk and the expansion spend much of their time here.
  FacePlane CalculateFacePlane(int a, int b, int c) const {
    const dgVector n = (vertices_[b] - vertices_[a]).CrossProduct(vertices_[c] - vertices_[a]);
    const float length2 = n.LengthSquared();
    if (!(length2 > kMinNormal2)) return FacePlane{};
    const dgVector unit = n.Scale(1.0f / std::sqrt(length2));
    return FacePlane{dgPlane(unit, -unit.DotProduct(vertices_[a])), true};
  }
  // The same without a branch, for callers that read only valid planes: an
  // invalid plane holds whatever the division gave.
  FacePlane CalculateFacePlaneBranchless(int a, int b, int c) const {
    const dgVector n = (vertices_[b] - vertices_[a]).CrossProduct(vertices_[c] - vertices_[a]);
    const float length2 = n.LengthSquared();
    const dgVector unit = n.Scale(1.0f / std::sqrt(length2));
    return FacePlane{dgPlane(unit, -unit.DotProduct(vertices_[a])), length2 > kMinNormal2};
  }
  // Stores at index s0 - s1 and s0 + s1 for shape 0's support s0 along direction.
  void StoreSupport(const dgVector& direction, const dgVector& s0, int index);
  // Opens the tetrahedron in entries 0-3 from the direction table.
  void BuildTetrahedron();
  // Walks the current tetrahedron towards point (see IntersectionTest).
  int Walk(int& outFace, const dgVector& point);
  // Swaps entries 1 and 2 when the tetrahedron's volume is positive, so that
  // all four faces of the table face outwards; true when it swapped.
  bool CheckTetrahedronVolume();
  void CopyVertex(int to, int from);
  void SwapVertices(int a, int b);
  // Contacts of the plane of s0 - s1 (body 0's frame, unit normal pointing
  // out of the difference) with sum the s0 + s1 of a vertex on it.
  int ContactsFromPlane(const dgPlane& plane, const dgVector& sum, int userId, dgContact* contacts, int maxContacts);
  // Cross-section of one shape by the contact plane (normal n, constant c
  // in body 0's frame), retried once just inside the shape's tip; points in
  // body 0's frame.
  int ShapeSection(int shape, const dgVector& n, float c, dgVector* outPoints);
  // Expansion helpers.
  dgPolytopeEdge* NewEdge();
  int NewFace();
  bool BuildStartPolytope(dgPolytopeEdge** outFaceEdges);

  static dgVector sDirections[kDirectionCount];

  dgMatrix matrix_;                             // body 1's matrix in body 0's frame
  const dgMatrix* collisionMatrix0_ = nullptr;  // body 0's collision matrix
  // Not cleared when the solver is made: every query writes an entry before
  // it reads it, and clearing them would cost more than a simple query.
  dgUnclearedArray<dgVector, kMaxVertices> vertices_;
  dgUnclearedArray<dgVector, kMaxVertices> sums_;
  dgUnclearedArray<FacePlane, kMaxFaces> planes_;
  dgPolytopeEdge* faceEdges_[kMaxFaces];
  uint32_t faceStamps_[kMaxFaces];
  dgPolytopeEdge edges_[kMaxEdges];
  int edgeCount_ = 0;
  int vertexCount_ = 0;
  int faceCount_ = 0;
  // The bodies (null for the solver of two placed collisions): only the
  // continuous contacts read their motion.
  dgBody* body1_ = nullptr;
  dgBody* body0_ = nullptr;
  dgConvexCollision* collision1_ = nullptr;
  dgConvexCollision* collision0_ = nullptr;
  int freeFaces_[kMaxFaces];
  int freeFaceCount_ = 0;
  dgPolytopeEdge* freeEdges_ = nullptr;
  int freeEdgeCount_ = 0;
  // Collision 1's support point in body 0's frame when FixSupport1 took it.
  bool support1Fixed_ = false;
  dgVector fixedSupport1_;
};

// Closest points of two convex bodies (see CalculateClosestPoints).
int dgCalculateClosestPoints(dgBody* body0, dgBody* body1, dgVector& outPoint0, dgVector& outPoint1,
                             dgVector& outNormal);
// The same for two convex collisions placed by their collision matrices;
// fixedSupport1 when collision 1 is a point (see FixSupport1).
int dgCalculateClosestPoints(dgConvexCollision* collision0, const dgMatrix& collisionMatrix0,
                             dgConvexCollision* collision1, const dgMatrix& collisionMatrix1, bool fixedSupport1,
                             dgVector& outPoint0, dgVector& outPoint1, dgVector& outNormal);
