#include <gtest/gtest.h>

#include "engine/foundation/Ray.h"
#include "support/NearlyEqual.h"

namespace {

Ray MakeRay(Vector3 origin, Vector3 direction, float length = 0.0f) {
  Ray ray;
  ray.origin = origin;
  direction.Normalise();
  ray.direction = direction;
  ray.length = length;
  return ray;
}

constexpr float kNone = -1.0f;  // no distance expected

}  // namespace

TEST(Ray, SetFromPoints) {
  Ray ray;
  ray.SetFromPoints(Vector3(1, 1, 1), Vector3(1, 4, 5));
  EXPECT_EQ(ray.origin, Vector3(1, 1, 1));
  EXPECT_TRUE(Near(ray.direction, Vector3(0, 0.6f, 0.8f)));
  EXPECT_FLOAT_EQ(ray.length, 5.0f);
}

TEST(Ray, BoxTable) {
  BoundingBox box;
  box.SetCentreSize(Vector3(0, 0, 0), 2, 2, 2);
  struct Case {
    Ray ray;
    bool hit;
    float distance;
  };
  const Case cases[] = {
      {MakeRay({-5, 0, 0}, {1, 0, 0}), true, 4},
      {MakeRay({0, -5, 0}, {0, 1, 0}), true, 4},
      {MakeRay({0, 0, 5}, {0, 0, -1}), true, 4},
      {MakeRay({0, 0, 0}, {1, 0, 0}), true, 1},        // from inside: the exit distance
      {MakeRay({-5, 2, 0}, {1, 0, 0}), false, kNone},  // parallel to the y slab, outside it
      {MakeRay({-5, 1, 0}, {1, 0, 0}), true, 4},       // parallel, on the slab's face
      {MakeRay({5, 0, 0}, {1, 0, 0}), false, kNone},   // box behind
      {MakeRay({-5, 0, 0}, {1, 0, 0}, 5), true, 4},
      {MakeRay({-6, 0, 0}, {1, 0, 0}, 5), false, 5},  // length 5 loses a hit at 5
      {MakeRay({-5, -5, 0}, {1, 1, 0}), true, std::sqrt(32.0f)},
      {MakeRay({-5, -2, 0}, {1, 1, 0}), false, kNone},
  };
  for (const Case& c : cases) {
    float distance = kNone;
    EXPECT_EQ(c.ray.IntersectBox(box, &distance), c.hit) << c.ray.origin.x << " " << c.ray.origin.y;
    EXPECT_NEAR(distance, c.distance, 1e-4f) << c.ray.origin.x << " " << c.ray.origin.y;
    if (c.hit || c.distance != kNone) {
      EXPECT_TRUE(c.ray.IntersectBox(box));  // without an out distance the length is not checked
    }
  }
}

TEST(Ray, PlaneTable) {
  Plane ground;
  ground.SetPointNormal(Vector3(0, 0, 0), Vector3(0, 1, 0));
  struct Case {
    Ray ray;
    bool oneSided;
    bool hit;
    float distance;
  };
  const Case cases[] = {
      {MakeRay({1, 5, 2}, {0, -1, 0}), false, true, 5},
      {MakeRay({1, 5, 2}, {0, -1, 0}), true, true, 5},
      {MakeRay({1, -5, 2}, {0, 1, 0}), true, false, kNone},  // the plane faces away
      {MakeRay({1, -5, 2}, {0, 1, 0}), false, true, 5},
      {MakeRay({1, 5, 2}, {1, 0, 0}), false, false, kNone},  // parallel
      {MakeRay({1, 5, 2}, {0, 1, 0}), false, false, kNone},  // plane behind
      {MakeRay({1, 5, 2}, {0, -1, 0}, 3), false, false, 5},  // too far
  };
  for (const Case& c : cases) {
    float distance = kNone;
    Vector3 point(9, 9, 9);
    EXPECT_EQ(c.ray.IntersectPlane(ground, c.oneSided, &point, &distance), c.hit) << c.ray.origin.y;
    EXPECT_FLOAT_EQ(distance, c.distance);
    if (c.distance != kNone) {
      EXPECT_TRUE(Near(point, Vector3(1, 0, 2)));
    }
  }
}

TEST(Ray, TriangleTable) {
  // Counter-clockwise seen from +z.
  const Vector3 v0(0, 0, 0), v1(1, 0, 0), v2(0, 1, 0);
  // A tiny triangle whose determinant (0.0005) lies between the two epsilons.
  const float s = std::sqrt(0.0005f);
  struct Case {
    Ray ray;
    Vector3 a, b, c;
    bool oneSided;
    float maxDistance;
    bool hit;
    float distance;
  };
  const Case cases[] = {
      {MakeRay({0.2f, 0.2f, 5}, {0, 0, -1}), v0, v1, v2, true, 0, true, 5},
      {MakeRay({0.2f, 0.2f, 5}, {0, 0, -1}), v0, v1, v2, false, 0, true, 5},
      {MakeRay({0.2f, 0.2f, 5}, {0, 0, -1}), v0, v1, v2, true, 6, true, 5},
      {MakeRay({0.2f, 0.2f, 5}, {0, 0, -1}), v0, v1, v2, true, 4, false, 5},       // beyond the limit
      {MakeRay({0.8f, 0.8f, 5}, {0, 0, -1}), v0, v1, v2, false, 0, false, kNone},  // outside
      {MakeRay({0.2f, 0.2f, 5}, {1, 0, 0}), v0, v1, v2, false, 0, false, kNone},   // parallel
      // From behind: unscaled u and v never pass with a negative determinant.
      {MakeRay({0.2f, 0.2f, -5}, {0, 0, 1}), v0, v1, v2, true, 0, false, kNone},
      {MakeRay({0.2f, 0.2f, -5}, {0, 0, 1}), v0, v1, v2, false, 0, false, kNone},
      {MakeRay({0.2f, 0.2f, -5}, {0, 0, 1}), v0, v2, v1, false, 0, true, 5},  // reversed winding
      {MakeRay({s / 4, s / 4, 1}, {0, 0, -1}), v0, {s, 0, 0}, {0, s, 0}, true, 0, false, kNone},
      {MakeRay({s / 4, s / 4, 1}, {0, 0, -1}), v0, {s, 0, 0}, {0, s, 0}, false, 0, true, 1},
  };
  for (const Case& c : cases) {
    float distance = kNone;
    EXPECT_EQ(Ray::IntersectTriangle(c.ray, c.a, c.b, c.c, c.oneSided, &distance, c.maxDistance), c.hit)
        << c.ray.origin.x << " " << c.ray.origin.z << " one-sided " << c.oneSided;
    EXPECT_NEAR(distance, c.distance, 1e-4f);
  }

  // The member form limits by the ray's length.
  Triangle triangle;
  triangle.Set(v0, v1, v2);
  float distance = 0;
  EXPECT_TRUE(MakeRay({0.2f, 0.2f, 5}, {0, 0, -1}).IntersectTriangle(triangle, true, &distance));
  EXPECT_FALSE(MakeRay({0.2f, 0.2f, 5}, {0, 0, -1}, 5).IntersectTriangle(triangle, true, &distance));
  EXPECT_TRUE(MakeRay({0.2f, 0.2f, 5}, {0, 0, -1}, 5).IntersectTriangle(triangle, true));
}

TEST(Ray, SphereTable) {
  const BoundingSphere sphere(Vector3(0, 0, 0), 1);
  struct Case {
    Ray ray;
    bool hit;
    float nearDistance, farDistance;
  };
  const Case cases[] = {
      {MakeRay({-5, 0, 0}, {1, 0, 0}), true, 4, 6},
      {MakeRay({0, 0, 0}, {1, 0, 0}), true, 0, 1},     // from inside: near is 0
      {MakeRay({5, 0, 0}, {1, 0, 0}), false, -6, -4},  // behind
      {MakeRay({-5, 2, 0}, {1, 0, 0}), false, kNone, kNone},
      {MakeRay({-5, 0, 0}, {1, 0, 0}, 3), false, 4, 6},
      {MakeRay({-5, 0, 0}, {1, 0, 0}, 4.5f), true, 4, 6},
  };
  for (const Case& c : cases) {
    float nearDistance = kNone, farDistance = kNone;
    EXPECT_EQ(c.ray.IntersectSphere(sphere, &nearDistance, &farDistance), c.hit) << c.ray.origin.x;
    EXPECT_FLOAT_EQ(nearDistance, c.nearDistance) << c.ray.origin.x;
    EXPECT_FLOAT_EQ(farDistance, c.farDistance) << c.ray.origin.x;
    EXPECT_EQ(Ray::IntersectSphere(c.ray, sphere.centre, sphere.radius), c.hit);
  }
}

namespace {

struct MeshCall {
  const CCDSMesh* mesh = nullptr;
  bool oneSided = false;
  float maxDistance = 0;
  int calls = 0;
} gMeshCall;

bool RecordingMeshTest(const CCDSMesh& mesh, const Ray&, bool oneSided, float* distanceOut, float maxDistance) {
  gMeshCall.mesh = &mesh;
  gMeshCall.oneSided = oneSided;
  gMeshCall.maxDistance = maxDistance;
  ++gMeshCall.calls;
  if (distanceOut != nullptr) *distanceOut = 2.5f;
  return true;
}

}  // namespace

TEST(Ray, IntersectMeshForwardsToTheRegisteredTest) {
  // The record outlives the test: start from a clean one so the count below
  // holds however often and in whatever order the tests run.
  gMeshCall = MeshCall{};
  const CCDSMesh& mesh = *reinterpret_cast<const CCDSMesh*>(&gMeshCall);  // never dereferenced
  const Ray ray = MakeRay({0, 0, 0}, {1, 0, 0});
  EXPECT_FALSE(ray.IntersectMesh(mesh, true));

  Ray::SetMeshTest(&RecordingMeshTest);
  float distance = 0;
  EXPECT_TRUE(ray.IntersectMesh(mesh, true, &distance, 7.0f));
  Ray::SetMeshTest(nullptr);
  EXPECT_EQ(gMeshCall.calls, 1);
  EXPECT_EQ(gMeshCall.mesh, &mesh);
  EXPECT_TRUE(gMeshCall.oneSided);
  EXPECT_EQ(gMeshCall.maxDistance, 7.0f);
  EXPECT_EQ(distance, 2.5f);
}
