#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "physics/math/dgMatrix.h"
#include "physics/math/dgQuaternion.h"

namespace {

constexpr float kPi = 3.14159265358979f;

dgMatrix Placement(const dgQuaternion& q, float x, float y, float z) { return dgMatrix(q, dgVector(x, y, z, 1.0f)); }

void ExpectNear(const dgVector& a, const dgVector& b, float tolerance = 1e-5f) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
  EXPECT_NEAR(a.w, b.w, tolerance);
}

void ExpectSameRotation(const dgQuaternion& a, const dgQuaternion& b) {
  // q and -q are one rotation.
  EXPECT_NEAR(std::fabs(a.DotProduct(b)), 1.0f, 1e-5f) << a.x << " " << a.y << " " << a.z << " " << a.w;
}

TEST(PhysicsMath, VectorOperationsKeepLeftW) {
  const dgVector a(1, 2, 3, 7);
  const dgVector b(4, 5, 6, 9);
  EXPECT_EQ(a.Add(b), dgVector(5, 7, 9, 7));
  EXPECT_EQ(a.Sub(b), dgVector(-3, -3, -3, 7));
  EXPECT_EQ(a.Scale(2), dgVector(2, 4, 6, 7));
  EXPECT_EQ(a.CrossProduct(b), dgVector(-3, 6, -3, 7));
  EXPECT_EQ(a.DotProduct(b), 32.0f);
  dgVector c = a;
  c.AddInPlace(b);
  EXPECT_EQ(c, dgVector(5, 7, 9, 7));
}

TEST(PhysicsMath, PlaneThroughThreePointsAndScale) {
  const dgPlane plane(dgVector(0, 0, 2, 1), dgVector(1, 0, 2, 1), dgVector(0, 1, 2, 1));
  EXPECT_EQ(plane, dgPlane(0, 0, 1, -2));
  EXPECT_EQ(plane.Evaluate(dgVector(5, -3, 2, 1)), 0.0f);
  EXPECT_EQ(plane.Scale(-2), dgPlane(-0.0f, -0.0f, -2, 4));
  EXPECT_FLOAT_EQ(dgRsqrt(4.0f), 0.5f);
}

TEST(PhysicsMath, RotateAndUnrotateReturnWOne) {
  const dgMatrix m = Placement(dgQuaternion(dgVector(0, 0, 1), kPi / 2), 1, 2, 3);
  for (float w : {0.0f, 1.0f, 5.0f}) {
    EXPECT_EQ(m.RotateVector(dgVector(1, 0, 0, w)).w, 1.0f);
    EXPECT_EQ(m.UnrotateVector(dgVector(1, 0, 0, w)).w, 1.0f);
    EXPECT_EQ(m.UntransformVector(dgVector(1, 0, 0, w)).w, 1.0f);
  }
  // A quarter turn about z takes x to y.
  ExpectNear(m.RotateVector(dgVector(1, 0, 0, 0)), dgVector(0, 1, 0, 1));
  ExpectNear(m.TransformVector(dgVector(1, 0, 0, 1)), dgVector(1, 3, 3, 1));
  ExpectNear(m.UntransformVector(dgVector(1, 3, 3, 1)), dgVector(1, 0, 0, 1));
}

TEST(PhysicsMath, IdentityOnEitherSideKeepsEveryElement) {
  dgMatrix m(dgVector(1, 2, 3, 4), dgVector(5, 6, 7, 8), dgVector(9, 10, 11, 12), dgVector(13, 14, 15, 16));
  EXPECT_EQ(m.Multiply(dgGetIdentityMatrix()), m);
  EXPECT_EQ(dgGetIdentityMatrix().Multiply(m), m);
}

TEST(PhysicsMath, MultiplyAppliesLeftOperandFirst) {
  // A: a quarter turn about z; B: a move by (10, 0, 0). "A placed in B".
  const dgMatrix a = Placement(dgQuaternion(dgVector(0, 0, 1), kPi / 2), 0, 0, 0);
  const dgMatrix b = Placement(dgQuaternion(), 10, 0, 0);
  const dgVector p(1, 0, 0, 1);
  ExpectNear(a.Multiply(b).TransformVector(p), b.TransformVector(a.TransformVector(p)));
  ExpectNear(a.Multiply(b).TransformVector(p), dgVector(10, 1, 0, 1));
  ExpectNear(b.Multiply(a).TransformVector(p), dgVector(0, 11, 0, 1));
}

TEST(PhysicsMath, InverseOfRigidMatrixUndoesIt) {
  const dgMatrix moved = Placement(dgQuaternion(), 1, 2, 3);
  EXPECT_EQ(moved.Inverse().posit, dgVector(-1, -2, -3, 1));

  std::mt19937 random(7);
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
  for (int i = 0; i < 50; ++i) {
    const dgVector axis = dgVector(unit(random), unit(random), unit(random)).Scale(1.0f);
    const float length = std::sqrt(axis.LengthSquared());
    if (length < 0.1f) continue;
    const dgMatrix m = Placement(dgQuaternion(axis.Scale(1.0f / length), unit(random) * kPi), unit(random) * 10,
                                 unit(random) * 10, unit(random) * 10);
    const dgMatrix product = m.Multiply(m.Inverse());
    for (int row = 0; row < 4; ++row) ExpectNear(product[row], dgGetIdentityMatrix()[row], 1e-5f);
  }
}

TEST(PhysicsMath, TransformTriplexHonoursBothStrides) {
  const dgMatrix m = Placement(dgQuaternion(), 1, 2, 3);
  const float in[8] = {1, 1, 1, -99, 2, 2, 2, -99};  // 16-byte stride
  float out[6] = {};                                 // 12-byte stride
  m.TransformTriplex(out, 12, in, 16, 2);
  const float expected[6] = {2, 3, 4, 3, 4, 5};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(out[i], expected[i]) << i;
}

TEST(PhysicsMath, FromMatrixTable) {
  const float s45 = std::sin(kPi / 4);
  struct Case {
    const char* name;
    dgMatrix matrix;
    dgQuaternion expected;
  };
  const Case cases[] = {
      {"identity", dgMatrix(), dgQuaternion(0, 0, 0, 1)},
      {"quarter turn about z",
       dgMatrix(dgVector(0, 1, 0, 0), dgVector(-1, 0, 0, 0), dgVector(0, 0, 1, 0), dgVector(0, 0, 0, 1)),
       dgQuaternion(0, 0, s45, s45)},
      {"half turn about x",
       dgMatrix(dgVector(1, 0, 0, 0), dgVector(0, -1, 0, 0), dgVector(0, 0, -1, 0), dgVector(0, 0, 0, 1)),
       dgQuaternion(1, 0, 0, 0)},
      {"half turn about y",
       dgMatrix(dgVector(-1, 0, 0, 0), dgVector(0, 1, 0, 0), dgVector(0, 0, -1, 0), dgVector(0, 0, 0, 1)),
       dgQuaternion(0, 1, 0, 0)},
      {"half turn about z",
       dgMatrix(dgVector(-1, 0, 0, 0), dgVector(0, -1, 0, 0), dgVector(0, 0, 1, 0), dgVector(0, 0, 0, 1)),
       dgQuaternion(0, 0, 1, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectSameRotation(dgQuaternion::FromMatrix(c.matrix), c.expected);
    // And back: the quaternion rebuilds the same rows.
    const dgMatrix rebuilt(c.expected, dgVector());
    for (int row = 0; row < 3; ++row) ExpectNear(rebuilt[row], c.matrix[row]);
  }
}

TEST(PhysicsMath, QuaternionRoundTripsAndComposition) {
  std::mt19937 random(11);
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
  int checked = 0;
  while (checked < 200) {
    const dgQuaternion a = dgQuaternion(unit(random), unit(random), unit(random), unit(random)).Normalized();
    const dgQuaternion b = dgQuaternion(unit(random), unit(random), unit(random), unit(random)).Normalized();
    if (std::fabs(a.DotProduct(a) - 1.0f) > 1e-4f || std::fabs(b.DotProduct(b) - 1.0f) > 1e-4f) continue;
    ExpectSameRotation(dgQuaternion::FromMatrix(dgMatrix(a, dgVector())), a);
    // Row-vector matrices compose in the order the rotations are applied:
    // first a, then b is the quaternion b·a.
    const dgMatrix composed = dgMatrix(a, dgVector()).Multiply(dgMatrix(b, dgVector()));
    ExpectSameRotation(dgQuaternion::FromMatrix(composed), b.Multiply(a));
    ++checked;
  }
}

}  // namespace
