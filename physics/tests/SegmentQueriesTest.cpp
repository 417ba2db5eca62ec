#include <gtest/gtest.h>

#include "physics/shapes/dgSegmentQueries.h"

namespace {

dgVector P(float x, float y, float z) { return dgVector(x, y, z, 1.0f); }

void ExpectPoint(const dgVector& actual, const dgVector& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-5f);
  EXPECT_NEAR(actual.y, expected.y, 1e-5f);
  EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

TEST(PhysicsSegments, ClosestPointOnSegmentClampsAndSurvivesZeroLength) {
  ExpectPoint(dgClosestPointOnSegment(P(0.5f, 3, 0), P(0, 0, 0), P(1, 0, 0)), P(0.5f, 0, 0));
  ExpectPoint(dgClosestPointOnSegment(P(-4, 1, 0), P(0, 0, 0), P(1, 0, 0)), P(0, 0, 0));
  ExpectPoint(dgClosestPointOnSegment(P(9, 1, 0), P(0, 0, 0), P(1, 0, 0)), P(1, 0, 0));
  EXPECT_EQ(dgClosestPointOnSegment(P(9, 1, 0), dgVector(2, 2, 2, 7), P(1, 0, 0)).w, 7.0f);
  EXPECT_EQ(dgClosestPointOnSegment(P(9, 1, 0), P(2, 2, 2), P(2, 2, 2)), P(2, 2, 2));
}

TEST(PhysicsSegments, ClosestPointsBetweenSegmentsTable) {
  struct Case {
    const char* name;
    dgVector a0, a1, b0, b1;
    dgVector onA, onB;
  };
  const Case cases[] = {
      {"crossing", P(-1, 0, 0), P(1, 0, 0), P(0, -1, 0), P(0, 1, 0), P(0, 0, 0), P(0, 0, 0)},
      {"skew above", P(-1, 0, 0), P(1, 0, 0), P(0.5f, -1, 2), P(0.5f, 1, 2), P(0.5f, 0, 0), P(0.5f, 0, 2)},
      {"parallel overlapping: midpoints", P(0, 0, 0), P(4, 0, 0), P(1, 1, 0), P(2, 1, 0), P(2, 0, 0), P(1.5f, 1, 0)},
      {"parallel apart: midpoints", P(0, 0, 0), P(1, 0, 0), P(5, 1, 0), P(7, 1, 0), P(0.5f, 0, 0), P(6, 1, 0)},
      {"degenerate: midpoints", P(0, 0, 0), P(0, 0, 0), P(1, 1, 1), P(3, 1, 1), P(0, 0, 0), P(2, 1, 1)},
      {"beyond a0", P(0, 0, 0), P(1, 0, 0), P(-2, -1, 1), P(-2, 1, 1), P(0, 0, 0), P(-2, 0, 1)},
      {"beyond a1", P(0, 0, 0), P(1, 0, 0), P(3, -1, 1), P(3, 1, 1), P(1, 0, 0), P(3, 0, 1)},
      {"beyond b1", P(-1, 5, 0), P(1, 5, 0), P(0, 1, 0), P(0, 2, 1), P(0, 5, 0), P(0, 2, 1)},
      {"beyond b0", P(-1, -3, 0), P(1, -3, 0), P(0, 1, 0), P(0, 2, 1), P(0, -3, 0), P(0, 1, 0)},
      {"oblique crossing", P(0, 0, 0), P(2, 2, 0), P(2, 0, 0), P(0, 2, 0), P(1, 1, 0), P(1, 1, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dgVector onA;
    dgVector onB;
    dgClosestPointsBetweenSegments(c.a0, c.a1, c.b0, c.b1, onA, onB);
    ExpectPoint(onA, c.onA);
    ExpectPoint(onB, c.onB);
  }
}

// A unit square in the plane y = 0 made of two triangles, normals up (+y).
const float kSquare[] = {0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1};
const int kTriangleA[] = {0, 2, 1};
const int kTriangleB[] = {0, 3, 2};
const int kQuad[] = {0, 3, 2, 1};

TEST(PhysicsSegments, RayCastPolygonTable) {
  struct Case {
    const char* name;
    dgVector p0, p1;
    const int* indices;
    int count;
    bool hit;
    float t;
  };
  const Case cases[] = {
      {"straight down", P(0.25f, 1, 0.5f), P(0.25f, -1, 0.5f), kQuad, 4, true, 0.5f},
      {"from the back", P(0.25f, -1, 0.5f), P(0.25f, 1, 0.5f), kQuad, 4, false, 0},
      {"parallel in plane", P(-1, 0, 0.5f), P(2, 0, 0.5f), kQuad, 4, false, 0},
      {"starts on plane going in", P(0.5f, 0, 0.5f), P(0.5f, -1, 0.5f), kQuad, 4, true, 0.0f},
      {"stops short", P(0.5f, 2, 0.5f), P(0.5f, 1, 0.5f), kQuad, 4, false, 0},
      {"ends on plane", P(0.5f, 1, 0.5f), P(0.5f, 0, 0.5f), kQuad, 4, true, 1.0f},
      {"outside the face", P(1.5f, 1, 0.5f), P(1.5f, -1, 0.5f), kQuad, 4, false, 0},
      {"second fan triangle", P(0.1f, 1, 0.9f), P(0.1f, -1, 0.9f), kQuad, 4, true, 0.5f},
      {"seam from triangle A", P(0.3f, 1, 0.3f), P(0.3f, -1, 0.3f), kTriangleA, 3, true, 0.5f},
      {"seam from triangle B", P(0.3f, 1, 0.3f), P(0.3f, -1, 0.3f), kTriangleB, 3, true, 0.5f},
      {"shared corner", P(1, 1, 1), P(1, -1, 1), kTriangleA, 3, true, 0.5f},
      {"too few indices", P(0.25f, 1, 0.5f), P(0.25f, -1, 0.5f), kQuad, 2, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    float t = -7.0f;
    dgVector normal(9, 9, 9, 9);
    EXPECT_EQ(dgRayCastPolygon(c.p0, c.p1, kSquare, 12, c.indices, c.count, t, normal), c.hit);
    if (c.hit) {
      EXPECT_NEAR(t, c.t, 1e-6f);
      EXPECT_GT(normal.y, 0.0f);
      EXPECT_EQ(normal.w, 1.0f);
    } else {
      // A miss writes nothing.
      EXPECT_EQ(t, -7.0f);
      EXPECT_EQ(normal, dgVector(9, 9, 9, 9));
    }
  }
}

TEST(PhysicsSegments, RayAlongSeamHitsOneOfTheTwoTriangles) {
  // Rays through points of the diagonal shared by the two triangles, with
  // the rounding of awkward coordinates: none may slip between them.
  int misses = 0;
  for (int i = 1; i < 1000; ++i) {
    const float s = i / 1000.0f * 0.9999f + 0.00003f;
    const dgVector top = P(s, 0.7f, s);
    const dgVector bottom = P(s, -0.3f, s);
    float t;
    dgVector n;
    const bool hitA = dgRayCastPolygon(top, bottom, kSquare, 12, kTriangleA, 3, t, n);
    const bool hitB = dgRayCastPolygon(top, bottom, kSquare, 12, kTriangleB, 3, t, n);
    if (!hitA && !hitB) ++misses;
  }
  EXPECT_EQ(misses, 0);
}

TEST(PhysicsSegments, EdgeFlagBitAndStrideAreHonoured) {
  // Vertices 16 bytes apart with a junk fourth word; bit 31 set on indices.
  const float vertices[] = {0, 0, 0, 99, 1, 0, 0, 99, 1, 0, 1, 99, 0, 0, 1, 99};
  const int flagged[] = {static_cast<int>(0x80000000u), static_cast<int>(0x80000003u), 2, 1};
  float t = 0;
  dgVector n;
  ASSERT_TRUE(dgRayCastPolygon(P(0.5f, 1, 0.5f), P(0.5f, -1, 0.5f), vertices, 16, flagged, 4, t, n));
  EXPECT_FLOAT_EQ(t, 0.5f);
}

}  // namespace
