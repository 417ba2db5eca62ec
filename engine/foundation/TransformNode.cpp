#include "engine/foundation/TransformNode.h"

#include "engine/foundation/Maths.h"

bool TransformNode::sAlwaysRecompute = true;

namespace {

Matrix4 ScaleMatrix(const Vector3& scale) {
  Matrix4 s;
  s.m[0] = scale.x;
  s.m[5] = scale.y;
  s.m[10] = scale.z;
  return s;
}

}  // namespace

TransformNode::TransformNode() {
  scale.Set(0, 0, 0);
  TransformNode::Reset();
}

void TransformNode::Reset() {
  centre.Set(0, 0, 0);
  radius = 1.0f;
  rotation = Quaternion();
  local.SetIdentity();
  world.SetIdentity();
  inverse.SetIdentity();
  rotateInWorld = 0;
  locked = 0;
  scale.Set(1, 1, 1);
}

void TransformNode::Copy(const TransformNode& other) {
  centre = other.centre;
  radius = other.radius;
  local = other.local;
  rotateInWorld = other.rotateInWorld;
  locked = other.locked;
  computed = other.computed;
  for (int i = 0; i < kPendingSlots; ++i) pending[i] = other.pending[i];
  world = other.world;
  inverse = other.inverse;
  rotation = other.rotation;
}

void TransformNode::SetRotationAngleToY(const Vector3& v, const Vector3& axis) {
  rotation.SetAxisAngle(axis, Vector3::AngleBetween(v, Vector3(0, 1, 0)) * kDegreesToRadians);
}

void TransformNode::SetRotationAngleToX(const Vector3& v, const Vector3& axis) {
  rotation.SetAxisAngle(axis, Vector3::AngleBetween(v, Vector3(1, 0, 0)) * kDegreesToRadians);
}

void TransformNode::TurnToward(const Vector3& point) {
  Vector3 toPoint = point - centre;
  toPoint.Normalise();
  Vector3 facing = local.GetRow2();
  Quaternion turn = Quaternion::RotationBetween(facing, toPoint);
  turn.Multiply(rotation);
  turn.Invert();
  rotation = turn;
}

void TransformNode::RebuildMatrix() {
  if (locked) return;
  Matrix4 rotationMatrix;
  rotation.ToMatrix(rotationMatrix);
  local.SetIdentity();
  local.Multiply(ScaleMatrix(scale));
  local.Multiply(rotationMatrix);
  local.SetTranslation(centre);
}

const float* TransformNode::Update() {
  const Matrix4 scaleMatrix = ScaleMatrix(scale);
  for (Quaternion& slot : pending) {
    if (slot.Norm() == 0.0f) continue;  // an empty (all-zero) slot is skipped and kept
    if (rotateInWorld) {
      Quaternion turned = slot;
      turned.Multiply(rotation);
      rotation = turned;
    } else {
      rotation.Multiply(slot);
    }
    slot = Quaternion();
  }
  rotation.Normalise();
  rotation.ToMatrix(local);
  local.SetTranslation(centre);
  local.Multiply(scaleMatrix);
  return local.Data();
}

const Matrix4& TransformNode::GetMatrix(const Matrix4* parent, bool wantInverse) {
  if (sAlwaysRecompute || !computed) {
    world = local;
    if (parent != nullptr) world.Multiply(*parent);
    inverse = Matrix4::Invert(local);
    computed = 1;
  }
  return wantInverse ? inverse : world;
}
