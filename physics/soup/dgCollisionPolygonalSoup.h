#pragma once
// A static collision shape made of arbitrary polygons (level and scenery
// geometry). It keeps no geometry of its own: every query reaches the faces
// of its tree through three callbacks, and one convex face buffer is reused
// by the contact code for each face it tests.

#include <cstdint>

#include "physics/shapes/dgCollision.h"

class dgTreeCollision;

// A box query over the soup's faces, built on the caller's stack.
struct dgPolygonSoupCollideRecord {
  static constexpr int kMaxFaces = 2048;
  static constexpr int kMaxIndices = 8192;

  dgVector boxMin;
  dgVector boxMax;
  dgTreeCollision* tree = nullptr;
  int faceCount = 0;                // out
  const float* vertices = nullptr;  // out: set by the first face found
  int vertexStrideBytes = 0;        // out
  int* attributes = nullptr;        // points at attributeTable
  int* indexCounts = nullptr;       // points at indexCountTable
  int* indices = nullptr;           // points at indexTable
  void* userValue2 = nullptr;       // second argument of the tree's face callback
  void* userValue1 = nullptr;       // first argument of the tree's face callback
  int indexTotal = 0;               // out: indices stored
  int attributeTable[kMaxFaces];
  int indexCountTable[kMaxFaces];
  int indexTable[kMaxIndices];  // one run per face, edge flags kept
};

// A segment cast against the soup's faces.
struct dgPolygonSoupRayRecord {
  dgVector p0;
  dgVector p1;
  dgVector normal;    // out: unit normal of the face hit
  int attribute = 0;  // out: its attribute
  dgTreeCollision* tree = nullptr;
};

// Fills a collide record with the faces touching its box; returns the face count.
using dgSoupCollideCallback = int (*)(dgPolygonSoupCollideRecord& record);
// Casts the record's segment; returns the hit parameter (below 1 for a hit).
using dgSoupRayCastCallback = float (*)(dgPolygonSoupRayRecord& record);
// Called with the tree when the shape is destroyed.
using dgSoupDestroyCallback = void (*)(dgTreeCollision* tree);

class dgCollisionPolygonalSoup : public dgCollision {
 public:
  class dgCollisionConvexPolygon;

  // A soup over the tree with its three callbacks (any may be null); its box
  // is the point at the origin until SetCollisionBBox.
  dgCollisionPolygonalSoup(dgTreeCollision* tree, dgSoupCollideCallback collide, dgSoupRayCastCallback rayCast,
                           dgSoupDestroyCallback destroy);
  ~dgCollisionPolygonalSoup() override;

  uint32_t GetTypeId() const override { return dgCollisionPolygonalSoupId; }
  bool IsType(uint32_t id) const override { return id == dgCollisionPolygonalSoupId || dgCollision::IsType(id); }

  // Box = component-wise minimum and maximum of the two corners.
  void SetCollisionBBox(const dgVector& p0, const dgVector& p1) override;
  // The tree.
  void* GetUserData() const override;
  // The soup's box placed by the matrix.
  void CalcAABB(const dgMatrix& globalMatrix, dgVector& outMin, dgVector& outMax) const override;
  // Runs the collide callback over an empty box at the origin with the body
  // as the face callback's first user value; the faces found reach the
  // tree's own face callback, not the one given here.
  void ForEachFace(const dgBody* body, dgFaceCallback callback) const override;
  // The nearest face hit by segment p0-p1 (soup space): its parameter, with
  // the contact's normal and userId (the attribute, zero-extended) written
  // on a hit at most 1; kRayMiss without a ray-cast callback.
  float RayCast(const dgVector& p0, const dgVector& p1, dgContact& outContact) const override;
  float GetVolume() const override { return 0.0f; }
  // No mass: zero inertia at the origin.
  void CalculateInertia(dgVector& outInertia, dgVector& outCentre) const override;
  // The zero vector.
  void CalculateVolumeBelowPlane(dgVector& out, const dgMatrix& globalMatrix, dgPlaneCallback callback,
                                 void* context) const override;
  uint32_t CalculateSignature() const override { return 0; }

  // Runs the collide callback on a record the caller has set up (box,
  // user values); 0 without a callback.
  int GetFacesInBox(dgPolygonSoupCollideRecord& record) const;
  // The face buffer the contact code loads face by face (null when it could
  // not be allocated).
  dgCollisionConvexPolygon* GetPolygon() const { return polygon_; }
  dgTreeCollision* GetTree() const { return tree_; }
  const dgVector& GetBoxMin() const { return boxMin_; }
  const dgVector& GetBoxMax() const { return boxMax_; }
  const dgVector& GetBoxHalfSize() const { return boxHalfSize_; }
  const dgVector& GetBoxCentre() const { return boxCentre_; }

 private:
  dgTreeCollision* tree_;
  dgSoupCollideCallback collide_;
  dgSoupDestroyCallback destroy_;
  dgSoupRayCastCallback rayCast_;
  dgCollisionConvexPolygon* polygon_ = nullptr;
  dgVector boxMin_{0.0f, 0.0f, 0.0f, 1.0f};
  dgVector boxMax_{0.0f, 0.0f, 0.0f, 1.0f};
  dgVector boxHalfSize_{0.0f, 0.0f, 0.0f, 1.0f};
  dgVector boxCentre_{0.0f, 0.0f, 0.0f, 1.0f};
};
