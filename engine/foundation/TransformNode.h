#pragma once

#include <cstdint>

#include "engine/foundation/BoundingVolumes.h"
#include "engine/foundation/Matrix4.h"
#include "engine/foundation/Quaternion.h"
#include "engine/foundation/Vector3.h"

// A positioned, rotated and scaled object: a bounding sphere (its centre is
// the node's position) with a rotation, a scale, pending rotations and the
// matrices derived from them. Cameras, bones, scene nodes and game objects
// embed one. Nothing is recomputed until RebuildMatrix, Update or GetMatrix.
class TransformNode : public BoundingSphere {
 public:
  static constexpr int kPendingSlots = 3;

  Matrix4 local;                      // the node's own transform
  uint8_t rotateInWorld = 0;          // pending rotations premultiply (world axes) when set
  uint8_t locked = 0;                 // RebuildMatrix leaves local alone while set
  uint8_t computed = 0;               // set once GetMatrix has computed the matrices
  Quaternion pending[kPendingSlots];  // applied and emptied by Update
  Vector3 scale;
  Matrix4 world;    // local combined with the parent's matrix
  Matrix4 inverse;  // inverse of local (not of world)
  Quaternion rotation;

  // When set, GetMatrix recomputes on every call; the stored matrices are
  // returned only while it is clear and the node has been computed.
  static bool sAlwaysRecompute;

  TransformNode();
  ~TransformNode() override = default;
  TransformNode(const TransformNode&) = default;
  TransformNode& operator=(const TransformNode&) = default;

  // Position 0, radius 1, identity rotation and matrices, flags cleared,
  // scale 1. Pending slots and the computed flag are kept.
  virtual void Reset();
  // Copies everything from other except the scale.
  void Copy(const TransformNode& other);

  // The position is the sphere's centre; owners may write it directly.
  Vector3& Position() { return centre; }
  Vector3 GetPosition() const { return centre; }
  Quaternion GetRotation() const { return rotation; }
  void SetPosition(float x, float y, float z) { centre.Set(x, y, z); }
  void SetPosition(const Vector3& position) { centre = position; }
  // position += offset.
  void Translate(const Vector3& offset) { centre += offset; }
  void SetScale(float x, float y, float z) { scale.Set(x, y, z); }
  void SetScale(const Vector3& inScale) { scale = inScale; }
  void SetRotation(const Quaternion& q) { rotation = q; }
  // rotation := rotation (x) q, normalised.
  void Rotate(const Quaternion& q) { rotation.Multiply(q); }
  // rotation := slerp of the rotation toward target by t.
  void SlerpRotation(const Quaternion& target, float t) { rotation.Slerp(target, t); }
  // rotation := turn about axis by the angle between v and +y.
  void SetRotationAngleToY(const Vector3& v, const Vector3& axis);
  // rotation := turn about axis by the angle between v and +x.
  void SetRotationAngleToX(const Vector3& v, const Vector3& axis);
  // Turns the node so that the local matrix's row 2 swings toward point.
  void TurnToward(const Vector3& point);

  // local = T x R x S: scale, then rotation, then translation. Nothing
  // happens while locked.
  void RebuildMatrix();
  // Applies the pending rotations, then local = S x (T x R): the scale
  // comes after the translation, so a non-unit scale scales the position
  // too. Returns local's sixteen floats.
  const float* Update();
  // world = parent x local (local alone without parent) and inverse =
  // inverse of local; returns world, or inverse when wantInverse is set.
  const Matrix4& GetMatrix(const Matrix4* parent = nullptr, bool wantInverse = false);
};
