#include <gtest/gtest.h>

#include "engine/foundation/Maths.h"
#include "engine/foundation/Quaternion.h"
#include "support/NearlyEqual.h"

namespace {

Quaternion AxisAngle(Vector3 axis, float degrees) {
  Quaternion q;
  q.SetAxisAngle(axis, degrees * kDegreesToRadians);
  return q;
}

Matrix4 MatrixOf(const Quaternion& q) {
  Matrix4 m;
  q.ToMatrix(m);
  return m;
}

}  // namespace

TEST(Quaternion, EulerMatchesTheMatrixBuilder) {
  const Vector3 cases[] = {{0.3f, 0.2f, 0.1f}, {-1.0f, 0.5f, 2.5f}, {1.5f, -1.2f, -3.0f}, {0, 0, 0}};
  for (const Vector3& angles : cases) {
    Quaternion q;
    q.SetEuler(angles.x, angles.y, angles.z);
    Matrix4 expected;
    expected.SetRotationEuler(angles.x, angles.y, angles.z);
    EXPECT_TRUE(Near(MatrixOf(q), expected)) << angles.x << " " << angles.y << " " << angles.z;
  }
}

TEST(Quaternion, GetEulerRoundTripInXZYOrder) {
  const Vector3 cases[] = {{0.3f, 0.2f, 0.1f}, {-1.0f, 0.5f, 2.5f}, {2.0f, -1.2f, -3.0f}};
  for (const Vector3& angles : cases) {
    Quaternion q;
    q.SetEuler(angles.x, angles.y, angles.z);
    q.x *= 3.0f, q.y *= 3.0f, q.z *= 3.0f, q.w *= 3.0f;  // normalised first
    float aboutX = 0, aboutZ = 0, aboutY = 0;
    q.GetEuler(aboutX, aboutZ, aboutY);
    EXPECT_TRUE(Near(Vector3(aboutX, aboutY, aboutZ), angles)) << angles.x;
    EXPECT_NEAR(q.Norm(), 1.0f, 1e-6f);
  }
}

TEST(Quaternion, MultiplyComposesLikeMatrices) {
  const Quaternion a = AxisAngle({0, 0, 1}, 90), b = AxisAngle({1, 0, 0}, 90);
  Quaternion ab = a;
  ab.Multiply(b);
  // this (x) q turns by q first: R(a) * R(b).
  Matrix4 composed = MatrixOf(b);
  composed.Multiply(MatrixOf(a));
  EXPECT_TRUE(Near(MatrixOf(ab), composed));
  EXPECT_TRUE(Near(ab.RotateVector(Vector3(0, 1, 0)), Vector3(0, 0, 1)));
}

TEST(Quaternion, FromMatrixGivesTheInverseRotation) {
  // Cover the positive-trace branch and each largest-diagonal branch.
  const Quaternion cases[] = {
      AxisAngle({1, 0, 0}, 30),  AxisAngle({0.6f, 0, 0.8f}, 100), AxisAngle({1, 0, 0}, 170),
      AxisAngle({0, 1, 0}, 170), AxisAngle({0, 0, 1}, 170),       AxisAngle({0, 1, 0}, 180),
  };
  for (const Quaternion& q : cases) {
    Quaternion back;
    back.FromMatrix(MatrixOf(q));
    Quaternion inverse = q;
    inverse.Invert();
    EXPECT_TRUE(SameRotation(back, inverse)) << q.x << " " << q.y << " " << q.z << " " << q.w;
  }
}

TEST(Quaternion, SlerpTakesTheShorterArc) {
  const Quaternion from;
  const Quaternion quarter = AxisAngle({0, 0, 1}, 90);
  const Quaternion negated(-quarter.x, -quarter.y, -quarter.z, -quarter.w);

  struct Case {
    Quaternion target;
    float t;
    Quaternion expected;
  };
  const Case cases[] = {
      {quarter, 0.0f, from},
      {quarter, 1.0f, quarter},
      {quarter, 0.5f, AxisAngle({0, 0, 1}, 45)},
      {negated, 0.5f, AxisAngle({0, 0, 1}, 45)},  // -q turns like q
      {negated, 1.0f, quarter},
      {from, 0.3f, from},  // a dot of 1 takes linear weights
  };
  for (const Case& c : cases) {
    Quaternion q = from;
    q.Slerp(c.target, c.t);
    EXPECT_TRUE(Near(q, c.expected)) << c.t;
  }

  // Slerp from q toward -q stays at q.
  Quaternion q = quarter;
  q.Slerp(negated, 0.5f);
  EXPECT_TRUE(Near(q, quarter));

  Quaternion lerped = from;
  lerped.Lerp(Quaternion(0, 0, 0, -1), 0.5f);
  EXPECT_TRUE(Near(lerped, from));
}

TEST(Quaternion, RotateVectorReturnsAUnitDirection) {
  const Quaternion q = AxisAngle({0, 1, 0}, 90);
  const Vector3 turned = q.RotateVector(Vector3(0, 0, 10));
  EXPECT_TRUE(Near(turned, Vector3(1, 0, 0)));
  EXPECT_NEAR(turned.Length(), 1.0f, 1e-5f);
  EXPECT_EQ(q.RotateVector(Vector3()), Vector3());

  Quaternion z = AxisAngle({1, 0, 0}, 90);
  z.x *= 2, z.y *= 2, z.z *= 2, z.w *= 2;
  // Row 2 of the rotation matrix: the z axis of the inverse turn.
  EXPECT_TRUE(Near(z.GetZAxis(), Vector3(0, 1, 0)));
  EXPECT_NEAR(z.Norm(), 1.0f, 1e-6f);
}

TEST(Quaternion, RotationBetweenDirections) {
  Vector3 a(0, 0, 3), same(0, 0, 7);
  const Quaternion identity = Quaternion::RotationBetween(a, same);
  EXPECT_EQ(identity.x, 0.0f);
  EXPECT_EQ(identity.w, 1.0f);
  EXPECT_EQ(a, Vector3(0, 0, 1));  // inputs come back normalised
  EXPECT_EQ(same, Vector3(0, 0, 1));

  const Vector3 targets[] = {{0, 5, 0}, {1, 1, 0}, {0, 0, -1}, {0.01f, 0, -1}};
  const Vector3 starts[] = {{1, 0, 0}, {0, 0, 1}};
  for (Vector3 start : starts) {
    for (Vector3 target : targets) {
      Vector3 from = start, to = target;
      const Quaternion q = Quaternion::RotationBetween(from, to);
      EXPECT_NEAR(q.Norm(), 1.0f, 1e-5f);
      EXPECT_TRUE(Near(q.RotateVector(from), to, 1e-3f)) << target.x << " " << target.y << " " << target.z;
    }
  }
}

TEST(Quaternion, ZeroNormBecomesIdentityInsteadOfDividingByZero) {
  const Quaternion zero(0, 0, 0, 0);
  const Quaternion identity;

  Quaternion normalised = zero;
  normalised.Normalise();
  EXPECT_TRUE(Near(normalised, identity));
  Quaternion copy(5, 5, 5, 5);
  zero.NormalisedCopy(copy);
  EXPECT_TRUE(Near(copy, identity));
  Quaternion inverted = zero;
  inverted.Invert();
  EXPECT_TRUE(Near(inverted, identity));
  Quaternion product = AxisAngle({0, 1, 0}, 40);
  product.Multiply(zero);
  EXPECT_TRUE(Near(product, identity));
  Quaternion sum(1, 0, 0, 0);
  sum.AddNormalised(Quaternion(-1, 0, 0, 0));
  EXPECT_TRUE(Near(sum, identity));
  Quaternion axis = zero;
  EXPECT_TRUE(Near(axis.GetZAxis(), Vector3(0, 0, 1)));
  float ax = 1, az = 1, ay = 1;
  Quaternion euler = zero;
  euler.GetEuler(ax, az, ay);
  EXPECT_EQ(ax + ay + az, 0.0f);
}
