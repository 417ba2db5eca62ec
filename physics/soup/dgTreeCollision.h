#pragma once
// The face tree behind a tree collision shape, with the build steps the
// flat interface runs (begin, add faces, end) and the callbacks through
// which the soup shape reaches its faces.

#include "physics/soup/dgAABBPolygonSoup.h"
#include "physics/soup/dgCollisionPolygonalSoup.h"

class dgWorld;
class dgPolygonSoupDatabaseBuilder;

// Called for every face a box query collects: the record's user values,
// the vertex array, its stride in bytes, the index count and the indices.
using dgTreeCollisionFaceCallback = void (*)(void* userValue1, void* userValue2, const float* vertices, int strideBytes,
                                             int indexCount, const int* indices);

class dgTreeCollision : public dgAABBPolygonSoup {
 public:
  // Most vertices one added face may have.
  static constexpr int kMaxAddedFaceVertices = 1024;
  // Faces whose boxes come this close are checked for shared edges.
  static constexpr float kNeighbourPadding = 0.5f;
  // Neighbours whose normals agree this well lie in one plane.
  static constexpr float kCoplanarDot = 0.9999f;

  dgTreeCollision(dgWorld* world, dgTreeCollisionFaceCallback faceCallback);
  // Also destroys a builder left open.
  ~dgTreeCollision() override;

  // Opens an empty builder (dropping one left open); false when it cannot
  // be allocated.
  bool BeginBuild();
  // Adds one polygon of count vertices read stride bytes apart, carrying
  // attribute; ignored without an open build or beyond 1024 vertices.
  void AddFace(int count, const float* vertices, int strideBytes, int attribute);
  // Closes the build: optimises (merging faces when optimise is set), builds
  // the tree, flags the edges across which no contact may be reported, sets
  // the soup's box and destroys the builder. Does nothing without an open build.
  void EndBuild(bool optimise, dgCollisionPolygonalSoup& soup);

  dgWorld* GetWorld() const { return world_; }
  dgPolygonSoupDatabaseBuilder* GetBuilder() const { return builder_; }
  dgTreeCollisionFaceCallback GetFaceCallback() const { return faceCallback_; }

 private:
  void DestroyBuilder();

  dgWorld* world_;
  dgPolygonSoupDatabaseBuilder* builder_ = nullptr;
  dgTreeCollisionFaceCallback faceCallback_;
};

// A new tree collision shape (one reference) over an empty tree, wired to
// the callbacks below; null when memory ran out.
dgCollisionPolygonalSoup* dgCreateTreeCollision(dgWorld* world, dgTreeCollisionFaceCallback faceCallback);

// The nearest hit of one segment while the tree is searched. Where faces
// are hit at exactly the same parameter, the one whose run comes first in
// the tree's index array wins, whatever order the search meets them in.
struct dgTreeCollisionFaceRay {
  dgVector p0;
  dgVector p1;
  dgVector normal;
  int attribute = 0;
  float best = 2.0f;
  const int* face = nullptr;  // the indices of the face hit
};

// Collects the faces touching the record's box into its tables; returns the face count.
int TreeCollisionGetFacesInBox(dgPolygonSoupCollideRecord& record);
// Stores one face into a collide record; 0 when the record is full.
int TreeCollisionCollectFace(void* record, const float* vertices, int strideBytes, const int* indices, int indexCount);
// The nearest face hit by the record's segment: its parameter (2 on a miss;
// normal and attribute stored when at most 1).
float TreeCollisionRayCast(dgPolygonSoupRayRecord& record);
// Keeps the nearer hit of one face in a dgTreeCollisionFaceRay (on a tie,
// the face first in the index array); always 1.
int TreeCollisionRayHitFace(void* faceRay, const float* vertices, int strideBytes, const int* indices, int indexCount);
// Drops the shape's reference to its tree.
void TreeCollisionRelease(dgTreeCollision* tree);
// Flags every face edge shared with a neighbour lying in the same plane or
// rising above it, so that no contact is reported across it.
void TreeCollisionMarkEdges(dgTreeCollision* tree);
// The same flags found with one box query per face instead of an edge
// table: slower, but needs no scratch memory and takes vertices that are
// not finite as they come (the way for such soups, and when the table
// cannot be had).
void TreeCollisionMarkEdgesByBoxQuery(dgTreeCollision* tree);
