#include <gtest/gtest.h>

#include <cmath>

#include "engine/foundation/Maths.h"
#include "engine/foundation/Vector2.h"
#include "engine/foundation/Vector3.h"
#include "platform/Random.h"
#include "support/NearlyEqual.h"

TEST(Vector3, ArithmeticConventions) {
  const Vector3 a(1, 2, 3), b(4, 6, 8);
  EXPECT_EQ(Vector3::Subtract(a, b), Vector3(-3, -4, -5));  // a - b, not b - a
  EXPECT_EQ(Vector3::Cross(Vector3(1, 0, 0), Vector3(0, 1, 0)), Vector3(0, 0, 1));
  EXPECT_EQ(Vector3::MultiplyComponents(a, b), Vector3(4, 12, 24));
  EXPECT_FLOAT_EQ(Vector3::Dot(a, b), 40.0f);
  EXPECT_FLOAT_EQ(Vector3::Distance(a, b), std::sqrt(50.0f));
  EXPECT_EQ(Vector3::DistanceSquared(nullptr, b), 0.0f);
  EXPECT_EQ(Vector2::DistanceSquared(nullptr, Vector2(3, 4)), 0.0f);
  EXPECT_FLOAT_EQ(Vector2::Distance(Vector2(0, 0), Vector2(3, 4)), 5.0f);

  Vector3 mixed;
  mixed.Interpolate(a, b, 0.0f);
  EXPECT_EQ(mixed, b);  // t = 0 gives the second operand
  mixed.Interpolate(a, b, 1.0f);
  EXPECT_EQ(mixed, a);
  mixed.Interpolate(a, b, 0.5f);
  EXPECT_EQ(mixed, Vector3(2.5f, 4, 5.5f));

  EXPECT_TRUE(Vector3(1, 2, 3).NoneEqual(4));
  EXPECT_FALSE(Vector3(1, 2, 3).NoneEqual(2));
}

TEST(Vector3, NormaliseLeavesZeroVectorAlone) {
  Vector3 zero;
  zero.Normalise();
  EXPECT_EQ(zero, Vector3(0, 0, 0));
  Vector3 v(0, 3, 4);
  v.Normalise();
  EXPECT_TRUE(Near(v, Vector3(0, 0.6f, 0.8f)));
  Vector2 zero2;
  zero2.Normalise();
  EXPECT_EQ(zero2, Vector2(0, 0));
}

TEST(Vector3, AngleBetweenStaysFiniteForParallelDirections) {
  // The cosine of (anti)parallel vectors rounds past +-1 in float.
  EXPECT_FLOAT_EQ(Vector3::AngleBetween(Vector3(0.1f, 0.7f, 0.3f), Vector3(0.2f, 1.4f, 0.6f)), 0.0f);
  EXPECT_NEAR(Vector3::AngleBetween(Vector3(0.1f, 0.7f, 0.3f), Vector3(-0.1f, -0.7f, -0.3f)), 180.0f, 1e-3f);
  EXPECT_NEAR(Vector3::AngleBetween(Vector3(1, 0, 0), Vector3(0, 0, 2)), 90.0f, 1e-4f);
  EXPECT_NEAR(Vector2::AngleBetween(Vector2(1, 0), Vector2(1, 1)), 45.0f, 1e-4f);
}

TEST(Vector3, AxisRotationSigns) {
  struct Case {
    const char* name;
    void (Vector3::*rotate)(float);
    Vector3 from, expected;
  };
  // RotateAboutX turns the other way round from Y and Z for a positive angle.
  const Case cases[] = {
      {"X", &Vector3::RotateAboutX, {0, 1, 0}, {0, 0, -1}},
      {"Y", &Vector3::RotateAboutY, {1, 0, 0}, {0, 0, 1}},
      {"Y", &Vector3::RotateAboutY, {0, 0, 1}, {-1, 0, 0}},
      {"Z", &Vector3::RotateAboutZ, {1, 0, 0}, {0, 1, 0}},
  };
  for (const Case& c : cases) {
    Vector3 v = c.from;
    (v.*c.rotate)(90.0f);
    EXPECT_TRUE(Near(v, c.expected)) << c.name;
  }

  Vector3 pivoted(2, 0, 5);
  pivoted.RotateAboutZ(90.0f, Vector3(1, 0, 5));
  EXPECT_TRUE(Near(pivoted, Vector3(1, 1, 5)));

  const Vector3 original(1, 0, 0);
  EXPECT_TRUE(Near(Vector3::RotateAboutY(original, 90.0f), Vector3(0, 0, 1)));
  EXPECT_EQ(original, Vector3(1, 0, 0));

  Vector3 euler(0, 1, 0);
  euler.RotateEuler(90.0f, 0.0f, 90.0f);  // X: (0,0,-1); Z leaves it
  EXPECT_TRUE(Near(euler, Vector3(0, 0, -1)));

  Vector2 flat(2, 1);
  flat.Rotate(90.0f, Vector2(1, 1));
  EXPECT_TRUE(Near(flat, Vector2(1, 2)));
}

TEST(Vector3, HeadingAndElevation) {
  struct Case {
    float across, forward, heading, elevation;
  };
  const Case cases[] = {
      {0, 0, 0, 0},   {1, 0, 90, 90},     {-1, 0, -90, -90},   {0, 1, 0, 0},      {0, -1, 180, 180},
      {1, 1, 45, 45}, {1, -1, 135, -225}, {-1, -1, -135, 225}, {-1, 1, -45, -45},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(Vector3(c.across, 7, c.forward).HeadingDegrees(), c.heading, 1e-4f) << c.across << ", " << c.forward;
    EXPECT_NEAR(Vector2(c.across, c.forward).HeadingDegrees(), c.heading, 1e-4f);
    EXPECT_NEAR(Vector3(c.across, c.forward, 7).ElevationDegrees(), c.elevation, 1e-4f)
        << c.across << ", " << c.forward;
  }
}

TEST(Vector3, CeilAndSnapToStep) {
  Vector3 v(1.2f, -1.2f, 3.0f);
  v.Ceil();
  EXPECT_EQ(v, Vector3(2, -1, 3));

  struct Case {
    float value, step, expected;
  };
  const Case cases[] = {
      {2.6f, 0.5f, 2.5f},   {2.75f, 0.5f, 3.0f},
      {7.0f, 2.0f, 8.0f},   {-1.2f, 1.0f, -1.0f},  // negative values snap to the nearest step too
      {-1.6f, 1.0f, -2.0f}, {-1.5f, 1.0f, -1.0f},
  };
  for (const Case& c : cases) {
    Vector3 snapped(c.value, c.value, c.value);
    snapped.SnapToStep(c.step);
    EXPECT_FLOAT_EQ(snapped.x, c.expected) << c.value << " step " << c.step;
  }
}

TEST(Scalar, RoundToIntIsTheCeiling) {
  const std::pair<float, int> cases[] = {
      {2.0f, 2}, {2.0001f, 3}, {2.1f, 3}, {-0.5f, 0}, {-2.5f, -2}, {0.0f, 0}, {1e20f, INT32_MAX}, {NAN, 0},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(RoundToInt(input), expected) << input;
}

TEST(Scalar, TruncateToIntDropsTheFractionAndSaturates) {
  const std::pair<double, int> cases[] = {
      {2.9, 2},
      {-2.9, -2},
      {0.0, 0},
      {2147483646.5, 2147483646},
      {5e28, INT32_MAX},
      {-1e30, INT32_MIN},
      {INFINITY, INT32_MAX},
      {-INFINITY, INT32_MIN},
      {NAN, 0},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(TruncateToInt(input), expected) << input;
}

TEST(Scalar, RandomHelpersDrawFromTheProgramGenerator) {
  platform::SeedRandom(7);
  const int first = platform::NextRandom();
  const int second = platform::NextRandom();

  // Empty ranges answer without drawing, so the sequence is untouched.
  platform::SeedRandom(7);
  EXPECT_EQ(RandomFloat(0.0f), 0.0f);
  EXPECT_EQ(RandomFloat(-1.0f), 0.0f);
  EXPECT_EQ(RandomRange(3.0f, 3.0f), 3.0f);
  EXPECT_EQ(RandomInt(5, 5), 5);
  EXPECT_EQ(RandomInt(5, 5 + 65536), 5);  // the range is taken modulo 65536
  EXPECT_EQ(RandomBelow(0), 0);
  EXPECT_FLOAT_EQ(RandomFloat(2.0f), first / 32767.0f * 2.0f);
  EXPECT_EQ(RandomInt(10, 13), 10 + second % 3);

  for (int i = 0; i < 1000; ++i) {
    const float f = RandomRange(-1.0f, 1.0f);
    ASSERT_GE(f, -1.0f);
    ASSERT_LE(f, 1.0f);
    const int n = RandomBelow(6);
    ASSERT_GE(n, 0);
    ASSERT_LT(n, 6);
  }
}
