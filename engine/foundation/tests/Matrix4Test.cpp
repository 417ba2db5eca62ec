#include <gtest/gtest.h>

#include "engine/foundation/Maths.h"
#include "engine/foundation/Matrix4.h"
#include "support/NearlyEqual.h"

namespace {

Matrix4 UniformScale(float s) {
  Matrix4 matrix;
  matrix.Scale(s, s, s);
  return matrix;
}

Matrix4 FromRows(std::initializer_list<float> rowMajor) {
  Matrix4 matrix;
  matrix.SetTransposed(rowMajor.begin());
  return matrix;
}

}  // namespace

TEST(Matrix4, LayoutIsColumnMajorWithTranslationAt12) {
  const Matrix4 rows = FromRows({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  EXPECT_EQ(rows.GetRow0(), Vector3(1, 2, 3));
  EXPECT_EQ(rows.GetRow2(), Vector3(9, 10, 11));
  EXPECT_EQ(rows.GetTranslation(), Vector3(4, 8, 12));
  Matrix4 transposed = rows;
  transposed.Transpose();
  EXPECT_EQ(transposed.GetRow0(), Vector3(1, 5, 9));

  float w = 0;
  const Vector3 p = Translation(1, 2, 3).TransformPoint(Vector3(1, 1, 1), w);
  EXPECT_EQ(p, Vector3(2, 3, 4));
  EXPECT_EQ(w, 1.0f);
  EXPECT_EQ(Matrix4::Identity().Data()[15], 1.0f);
}

TEST(Matrix4, MultiplyAppliesThisTransformFirst) {
  // a := b x a: translate first, then scale, so the origin lands on 2 * (1, 2, 3).
  Matrix4 a = Translation(1, 2, 3);
  a.Multiply(UniformScale(2.0f));
  EXPECT_TRUE(Near(a.TransformPoint(Vector3(0, 0, 0)), Vector3(2, 4, 6)));

  Matrix4 scaleFirst = UniformScale(2.0f);
  scaleFirst.Multiply(Translation(1, 2, 3));
  EXPECT_TRUE(Near(scaleFirst.TransformPoint(Vector3(0, 0, 0)), Vector3(1, 2, 3)));
  EXPECT_TRUE(Near(scaleFirst.TransformPoint(Vector3(1, 0, 0)), Vector3(3, 2, 3)));
}

TEST(Matrix4, InvertTable) {
  Matrix4 rotated;
  rotated.SetRotationEuler(0.3f, -1.1f, 2.0f);
  rotated.SetTranslation(4, -5, 6);
  Matrix4 scaled = UniformScale(0.5f);
  scaled.Multiply(rotated);

  const Matrix4 cases[] = {
      Translation(1, 2, 3),
      rotated,
      scaled,
      // First column (0, 0, 5, 0): without row exchange the first pivot would be 0.
      FromRows({0, 1, 0, 0, 0, 0, 2, 0, 5, 0, 0, 0, 0, 0, 0, 1}),
      FromRows({2, 1, 0, 1, 1, 3, 1, 0, 0, 1, 4, 2, 1, 0, 2, 5}),
  };
  for (const Matrix4& source : cases) {
    Matrix4 product = Matrix4::Invert(source);
    product.Multiply(source);
    EXPECT_TRUE(Near(product, Matrix4()));
  }
}

TEST(Matrix4, InvertOfSingularMatrixReturnsThePartialResult) {
  // A zero first column stops the elimination before anything is reduced.
  const Matrix4 zeroColumn = FromRows({0, 1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 0, 0, 1});
  EXPECT_TRUE(Near(Matrix4::Invert(zeroColumn), Matrix4()));

  // A zero third column stops after two columns were reduced.
  const Matrix4 later = FromRows({2, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1});
  const Matrix4 partial = Matrix4::Invert(later);
  EXPECT_FLOAT_EQ(partial.m[0], 0.5f);
  EXPECT_FLOAT_EQ(partial.m[5], 0.25f);
  EXPECT_FLOAT_EQ(partial.m[10], 1.0f);
}

TEST(Matrix4, EulerBuilderAndReader) {
  // The builder turns about X, then Y, then Z.
  Matrix4 built;
  built.SetRotationEuler(kPi / 2, 0, kPi / 2);
  EXPECT_TRUE(Near(built.TransformPoint(Vector3(0, 1, 0)), Vector3(0, 0, 1)));
  EXPECT_TRUE(Near(built.TransformPoint(Vector3(1, 0, 0)), Vector3(0, 1, 0)));

  struct Case {
    Vector3 degrees;  // built
    Vector3 read;     // what GetEulerDegrees reports
  };
  // The reader takes b = asin(m2) with m2 = -sin(b): each angle comes back
  // negated, as an angle in [0, 360).
  const Case cases[] = {
      {{30, 20, 10}, {330, 340, 350}},
      {{-30, -20, -10}, {30, 20, 10}},
      {{0, 0, 0}, {0, 0, 0}},
      {{0, -90, 40}, {0, 90, 320}},  // gimbal lock: X is 0 and Z comes from m4 and m5
  };
  for (const Case& c : cases) {
    Matrix4 m;
    m.SetRotationEuler(c.degrees.x * kDegreesToRadians, c.degrees.y * kDegreesToRadians,
                       c.degrees.z * kDegreesToRadians);
    EXPECT_TRUE(Near(m.GetEulerDegrees(), c.read, 0.05f)) << c.degrees.x << " " << c.degrees.y;
  }
}

TEST(Matrix4, ScaleTouchesOnlyTheDiagonal) {
  Matrix4 m = FromRows({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0, 0, 0, 1});
  m.Scale(Vector3(2, 3, 4));
  EXPECT_EQ(m.GetScale(), Vector3(2, 18, 44));
  EXPECT_EQ(m.GetRow0(), Vector3(2, 2, 3));
  EXPECT_EQ(m.GetTranslation(), Vector3(4, 8, 12));
}

TEST(Matrix4, DeterminantAndBasisRows) {
  EXPECT_FLOAT_EQ(UniformScale(2.0f).Determinant3(), 8.0f);
  EXPECT_FLOAT_EQ(FromRows({0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}).Determinant3(), -1.0f);

  Matrix4 basis = Translation(7, 8, 9);
  basis.SetBasisRows(Vector3(0, 1, 0), Vector3(0, 0, 1));
  EXPECT_EQ(basis.GetRow0(), Vector3(-1, 0, 0));  // v x u
  EXPECT_EQ(basis.GetRow1(), Vector3(0, 1, 0));
  EXPECT_EQ(basis.GetRow2(), Vector3(0, 0, 1));
  EXPECT_EQ(basis.GetTranslation(), Vector3(7, 8, 9));
}

TEST(Matrix4, LookAtPlacesTheCamera) {
  struct Case {
    Vector3 eye, target, ahead;  // ahead: where one unit along the view lands
  };
  const Case cases[] = {
      {{0, 0, 5}, {0, 0, 0}, {0, 0, 4}},
      {{5, 0, 0}, {0, 0, 0}, {4, 0, 0}},
      {{1, 2, 3}, {1, 2, 13}, {1, 2, 4}},
  };
  for (const Case& c : cases) {
    Matrix4 camera;
    camera.LookAt(c.eye, c.target, Vector3(0, 1, 0));
    EXPECT_EQ(camera.GetTranslation(), c.eye);
    // The camera looks along its own -z.
    EXPECT_TRUE(Near(camera.TransformPoint(Vector3(0, 0, -1)), c.ahead));
    EXPECT_TRUE(Near(camera.TransformPoint(Vector3(0, 1, 0)), c.eye + Vector3(0, 1, 0)));
  }
}
