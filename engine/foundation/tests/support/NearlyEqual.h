#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "engine/foundation/Matrix4.h"
#include "engine/foundation/Quaternion.h"
#include "engine/foundation/Vector2.h"
#include "engine/foundation/Vector3.h"

inline void PrintTo(const Vector3& v, std::ostream* os) { *os << "(" << v.x << ", " << v.y << ", " << v.z << ")"; }

inline void PrintTo(const Vector2& v, std::ostream* os) { *os << "(" << v.x << ", " << v.y << ")"; }

// Component-wise comparisons with a tolerance, reporting every component.
inline ::testing::AssertionResult Near(const Vector3& actual, const Vector3& expected, float tolerance = 1e-4f) {
  if (std::fabs(actual.x - expected.x) <= tolerance && std::fabs(actual.y - expected.y) <= tolerance &&
      std::fabs(actual.z - expected.z) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ", " << actual.z << ") != ("
                                       << expected.x << ", " << expected.y << ", " << expected.z << ")";
}

inline ::testing::AssertionResult Near(const Vector2& actual, const Vector2& expected, float tolerance = 1e-4f) {
  return Near(Vector3(actual.x, actual.y, 0), Vector3(expected.x, expected.y, 0), tolerance);
}

inline ::testing::AssertionResult Near(const Quaternion& actual, const Quaternion& expected, float tolerance = 1e-4f) {
  if (std::fabs(actual.x - expected.x) <= tolerance && std::fabs(actual.y - expected.y) <= tolerance &&
      std::fabs(actual.z - expected.z) <= tolerance && std::fabs(actual.w - expected.w) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ", " << actual.z << ", " << actual.w
                                       << ") != (" << expected.x << ", " << expected.y << ", " << expected.z << ", "
                                       << expected.w << ")";
}

// Same rotation: q and -q turn alike.
inline ::testing::AssertionResult SameRotation(const Quaternion& actual, const Quaternion& expected,
                                               float tolerance = 1e-4f) {
  if (Near(actual, expected, tolerance)) return ::testing::AssertionSuccess();
  return Near(actual, Quaternion(-expected.x, -expected.y, -expected.z, -expected.w), tolerance);
}

inline ::testing::AssertionResult Near(const Matrix4& actual, const Matrix4& expected, float tolerance = 1e-4f) {
  for (int i = 0; i < 16; ++i) {
    if (std::fabs(actual.m[i] - expected.m[i]) > tolerance) {
      auto failure = ::testing::AssertionFailure();
      failure << "element " << i << ": " << actual.m[i] << " != " << expected.m[i] << "\nactual:";
      for (int k = 0; k < 16; ++k) failure << " " << actual.m[k];
      return failure;
    }
  }
  return ::testing::AssertionSuccess();
}

// Translation matrix.
inline Matrix4 Translation(float x, float y, float z) {
  Matrix4 matrix;
  matrix.SetTranslation(x, y, z);
  return matrix;
}
