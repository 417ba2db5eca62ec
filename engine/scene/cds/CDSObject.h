#pragma once
#include <cstdint>
#include <variant>

#include "engine/foundation/BoundingVolumes.h"
#include "engine/foundation/Matrix4.h"
#include "engine/foundation/Plane.h"
#include "engine/foundation/Ray.h"
#include "engine/foundation/String.h"
#include "engine/scene/cds/CDSShape.h"

class CSCNNode;
class dgWorld;
class dgCollision;
class CCDSObject;

// The result of the last sphere, ray or pair test, shared by every object
// (and handed to collision receivers by address): read it before the next test.
struct CCDSContact {
  static constexpr int kMaxPoints = 8;
  enum State : int32_t { kNone = 0, kTouching = 1, kPenetrating = 2 };

  int32_t state = kNone;
  CCDSObject* a = nullptr;
  CCDSObject* b = nullptr;
  int32_t count = 0;
  Vector3 points[kMaxPoints];
  Vector3 normals[kMaxPoints];
  float depths[kMaxPoints] = {};

  void Clear() { *this = CCDSContact(); }
};

// One collision body: a physics collision placed by a scene node, with its
// world-space box, its contact filter and the receiver its contacts go to.
class CCDSObject : public CCDSShape {
 public:
  enum Kind : int32_t { kNone = 0, kSphere = 2, kCylinder = 3, kCapsule = 4, kBox = 5, kMesh = 6 };
  // A copy of the parameters the shape was made from (the debug drawing
  // and the placement need them); empty for meshes.
  using Volume = std::variant<std::monostate, BoundingSphere, CCDSShape, Cylinder, Capsule>;

  explicit CCDSObject(int32_t slotIndex);
  ~CCDSObject() override;
  CCDSObject(const CCDSObject&) = delete;
  CCDSObject& operator=(const CCDSObject&) = delete;

  // Gives the collision back to its world and forgets the volume.
  void ReleaseCollision();
  // Each setter replaces the shape; false when the library made none.
  bool SetSphere(dgWorld* world, const BoundingSphere& sphere);
  // The box is centred on the node, whatever the volume's own centre.
  bool SetBox(dgWorld* world, const CCDSShape& box);
  // Along the axis A -> B, centred between the ends.
  bool SetCylinder(dgWorld* world, const Cylinder& cylinder);
  bool SetCapsule(dgWorld* world, const Capsule& capsule);
  // A triangle mesh: BeginMesh, AddTriangle per face, EndMesh.
  bool BeginMesh(dgWorld* world);
  void AddTriangle(const Vector3& a, const Vector3& b, const Vector3& c, int32_t attribute);
  void AddTriangle(const Triangle& triangle, int32_t attribute) {
    AddTriangle(triangle.A(), triangle.B, triangle.C, attribute);
  }
  void EndMesh();

  // The box of the placed collision in world space.
  void UpdateBounds();
  // Contact state with another object (the shared record is filled; its
  // normals point from other toward this one, from a mesh toward the
  // other shape when this one is the mesh).
  int Collide(CCDSObject& other);
  // The sphere (world space) against the placed shape: kPenetrating on a
  // hit, at the closest point (the centre when it lies inside).
  int IntersectSphere(const BoundingSphere& sphere);
  // The ray segment (world space, origin to origin + direction x length)
  // against the placed shape: kPenetrating on a hit, the distance along the
  // ray in the first depth. A ray without a finite, non-zero length misses.
  int IntersectRay(const Ray& ray);
  // Debug drawing: the world box, then the shape in the node's frame.
  void Render() const;

  bool HasCollision() const { return collision != nullptr; }
  // The node's world matrix; the identity without a node.
  Matrix4 WorldMatrix() const;

  // The shared result record.
  static CCDSContact& GetContact();
  // A node's world matrix: its local matrix under its parents' up to the
  // root (the identity for null).
  static Matrix4 NodeWorldMatrix(CSCNNode* node);

  String name{"Default"};
  int32_t kind = kNone;
  uint32_t reserved[2] = {0, 0};
  // Only objects with this set take part in contact finding.
  uint32_t contactEnabled = 1;
  // A pair is tested when one side's mask shares a bit with the other's category.
  uint32_t collisionMask = 0;
  uint32_t collisionCategory = 0;
  CSCNNode* node = nullptr;
  // The receiver collision messages go to; -1 for none.
  int32_t owner = -1;
  dgWorld* physicsWorld = nullptr;
  dgCollision* collision = nullptr;
  int32_t slot = -1;
  Volume volume;
  // Only active objects are filed by the world's update.
  bool active = true;
  // Set when the world removed the object during a contact pass: it is
  // tested no more and deleted when the pass ends.
  bool removed = false;

 private:
  bool Replace(dgWorld* world, int32_t newKind, dgCollision* made);
};
