#include <gtest/gtest.h>

#include "engine/foundation/Maths.h"
#include "engine/foundation/TransformNode.h"
#include "support/NearlyEqual.h"

namespace {

Quaternion AxisAngle(Vector3 axis, float degrees) {
  Quaternion q;
  q.SetAxisAngle(axis, degrees * kDegreesToRadians);
  return q;
}

}  // namespace

TEST(TransformNode, ResetGivesIdentityMatrices) {
  TransformNode node;
  EXPECT_EQ(node.radius, 1.0f);
  EXPECT_EQ(node.scale, Vector3(1, 1, 1));
  EXPECT_TRUE(Near(node.GetMatrix(), Matrix4()));
  EXPECT_TRUE(Near(node.GetMatrix(nullptr, true), Matrix4()));
  EXPECT_EQ(node.computed, 1);

  node.SetPosition(1, 2, 3);
  node.SetScale(2, 2, 2);
  node.locked = 1;
  node.pending[0] = AxisAngle({0, 1, 0}, 10);
  node.Reset();
  EXPECT_EQ(node.GetPosition(), Vector3(0, 0, 0));
  EXPECT_EQ(node.scale, Vector3(1, 1, 1));
  EXPECT_EQ(node.locked, 0);
  EXPECT_TRUE(Near(node.pending[0], AxisAngle({0, 1, 0}, 10)));  // pending slots are kept
  EXPECT_EQ(node.computed, 1);
}

TEST(TransformNode, RebuildScalesBeforeTranslatingButUpdateScalesThePositionToo) {
  TransformNode node;
  node.SetPosition(1, 2, 3);
  node.SetScale(2, 2, 2);
  node.RebuildMatrix();
  EXPECT_EQ(node.local.GetTranslation(), Vector3(1, 2, 3));
  EXPECT_EQ(node.local.GetScale(), Vector3(2, 2, 2));
  node.Update();
  EXPECT_EQ(node.local.GetTranslation(), Vector3(2, 4, 6));
  EXPECT_EQ(node.local.GetScale(), Vector3(2, 2, 2));

  // T x R x S with a rotation: a local point is scaled, turned, then moved.
  node.SetScale(2, 1, 1);
  node.SetRotation(AxisAngle({0, 0, 1}, 90));
  node.RebuildMatrix();
  EXPECT_TRUE(Near(node.local.TransformPoint(Vector3(1, 0, 0)), Vector3(1, 4, 3)));
  EXPECT_EQ(node.Update(), node.local.Data());
  // S x T x R: turned, moved, then scaled.
  EXPECT_TRUE(Near(node.local.TransformPoint(Vector3(1, 0, 0)), Vector3(2, 3, 3)));
}

TEST(TransformNode, LockedKeepsADirectlyWrittenMatrix) {
  TransformNode node;
  node.local.SetTranslation(7, 8, 9);
  node.locked = 1;
  node.SetPosition(1, 1, 1);
  node.RebuildMatrix();
  EXPECT_EQ(node.local.GetTranslation(), Vector3(7, 8, 9));
  node.locked = 0;
  node.RebuildMatrix();
  EXPECT_EQ(node.local.GetTranslation(), Vector3(1, 1, 1));
}

TEST(TransformNode, PendingRotations) {
  const Quaternion yaw = AxisAngle({0, 1, 0}, 90), roll = AxisAngle({0, 0, 1}, 90);
  struct Case {
    uint8_t rotateInWorld;
    Quaternion expected;
  };
  Quaternion local = roll, inWorld = yaw;
  local.Multiply(yaw);     // rotation (x) slot
  inWorld.Multiply(roll);  // slot (x) rotation
  const Case cases[] = {{0, local}, {1, inWorld}};
  for (const Case& c : cases) {
    TransformNode node;
    node.SetRotation(roll);
    node.rotateInWorld = c.rotateInWorld;
    node.pending[0] = Quaternion(0, 0, 0, 0);  // skipped and kept
    node.pending[1] = yaw;
    node.pending[2] = Quaternion();  // identity: applied, no change
    node.Update();
    EXPECT_TRUE(Near(node.rotation, c.expected)) << int(c.rotateInWorld);
    EXPECT_TRUE(Near(node.pending[0], Quaternion(0, 0, 0, 0)));
    EXPECT_TRUE(Near(node.pending[1], Quaternion()));
    EXPECT_TRUE(Near(node.pending[2], Quaternion()));
    Matrix4 expected;
    c.expected.ToMatrix(expected);
    EXPECT_TRUE(Near(node.local, expected));
  }
}

TEST(TransformNode, WorldUsesTheParentButInverseOnlyTheLocalMatrix) {
  TransformNode node;
  node.SetPosition(1, 0, 0);
  node.RebuildMatrix();
  Matrix4 parent;
  parent.SetTranslation(10, 0, 0);
  EXPECT_EQ(node.GetMatrix(&parent).GetTranslation(), Vector3(11, 0, 0));
  EXPECT_EQ(node.GetMatrix(&parent, true).GetTranslation(), Vector3(-1, 0, 0));

  // The node's own transform first, then the parent's.
  node.SetRotation(AxisAngle({0, 0, 1}, 90));
  node.RebuildMatrix();
  Matrix4 turnedParent;
  Quaternion half = AxisAngle({0, 1, 0}, 180);
  half.ToMatrix(turnedParent);
  EXPECT_TRUE(Near(node.GetMatrix(&turnedParent).TransformPoint(Vector3(1, 0, 0)), Vector3(-1, 1, 0)));
}

TEST(TransformNode, CopyLeavesTheScale) {
  TransformNode source, target;
  source.SetPosition(4, 5, 6);
  source.radius = 10;
  source.SetScale(3, 3, 3);
  source.SetRotation(AxisAngle({1, 0, 0}, 30));
  source.locked = 1;
  source.pending[2] = AxisAngle({0, 1, 0}, 5);
  source.RebuildMatrix();
  target.SetScale(0.5f, 0.5f, 0.5f);
  target.Copy(source);
  EXPECT_EQ(target.GetPosition(), Vector3(4, 5, 6));
  EXPECT_EQ(target.radius, 10.0f);
  EXPECT_EQ(target.locked, 1);
  EXPECT_TRUE(Near(target.pending[2], source.pending[2]));
  EXPECT_TRUE(Near(target.local, source.local));
  EXPECT_TRUE(Near(target.GetRotation(), source.GetRotation()));
  EXPECT_EQ(target.scale, Vector3(0.5f, 0.5f, 0.5f));
}

TEST(TransformNode, RotationHelpers) {
  TransformNode node;
  node.SetRotationAngleToY(Vector3(1, 0, 0), Vector3(0, 0, 1));  // 90 degrees about z
  EXPECT_TRUE(Near(node.rotation, AxisAngle({0, 0, 1}, 90)));
  node.SetRotationAngleToX(Vector3(1, 1, 0), Vector3(0, 0, 1));
  EXPECT_TRUE(Near(node.rotation, AxisAngle({0, 0, 1}, 45)));

  node.SetRotation(Quaternion());
  node.Rotate(AxisAngle({0, 1, 0}, 30));
  node.Rotate(AxisAngle({0, 1, 0}, 60));
  EXPECT_TRUE(Near(node.rotation, AxisAngle({0, 1, 0}, 90)));
  node.SlerpRotation(Quaternion(), 0.5f);
  EXPECT_TRUE(Near(node.rotation, AxisAngle({0, 1, 0}, 45)));

  // Row 2 of an identity local matrix is +z; turning toward +x makes the
  // rebuilt matrix's row 2 point there.
  TransformNode turner;
  turner.SetPosition(1, 1, 1);
  turner.RebuildMatrix();
  turner.TurnToward(Vector3(5, 1, 1));
  turner.RebuildMatrix();
  EXPECT_TRUE(Near(turner.local.GetRow2(), Vector3(1, 0, 0)));
}
