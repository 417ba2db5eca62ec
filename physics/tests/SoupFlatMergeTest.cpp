// Merging a soup's faces keeps every merged face flat, so an optimised soup
// answers rays like the soup built without merging.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "physics/body/dgContact.h"
#include "physics/soup/dgTreeCollision.h"

namespace {

constexpr float kPi = 3.14159265f;

using Triangles = std::vector<std::vector<float>>;

// A tree collision over the triangles, merged or not; released with the object.
struct Soup {
  Soup(const Triangles& triangles, bool optimise) : shape(dgCreateTreeCollision(nullptr, nullptr)) {
    auto* tree = static_cast<dgTreeCollision*>(shape->GetUserData());
    tree->BeginBuild();
    for (const std::vector<float>& t : triangles) tree->AddFace(3, t.data(), 12, 1);
    tree->EndBuild(optimise, *shape);
  }
  ~Soup() { shape->Release(); }
  Soup(const Soup&) = delete;
  Soup& operator=(const Soup&) = delete;

  float Cast(const dgVector& p0, const dgVector& p1, dgVector& outNormal) const {
    dgContact contact{};
    const float t = shape->RayCast(p0, p1, contact);
    outNormal = contact.normal;
    return t;
  }

  dgCollisionPolygonalSoup* shape;
};

// A closed UV sphere about the origin: a pole vertex at each end, outward triangles.
Triangles UvSphere(float radius, int slices, int stacks) {
  const auto vertex = [&](int stack, int slice) {
    const float phi = kPi * static_cast<float>(stack) / static_cast<float>(stacks);
    const float theta = 2.0f * kPi * static_cast<float>(slice) / static_cast<float>(slices);
    return std::vector<float>{radius * std::sin(phi) * std::cos(theta), radius * std::cos(phi),
                              radius * std::sin(phi) * std::sin(theta)};
  };
  const auto triangle = [](const std::vector<float>& a, const std::vector<float>& b, const std::vector<float>& c) {
    return std::vector<float>{a[0], a[1], a[2], b[0], b[1], b[2], c[0], c[1], c[2]};
  };
  Triangles triangles;
  for (int stack = 0; stack < stacks; ++stack) {
    for (int slice = 0; slice < slices; ++slice) {
      const std::vector<float> a = vertex(stack, slice), b = vertex(stack, slice + 1);
      const std::vector<float> c = vertex(stack + 1, slice + 1), d = vertex(stack + 1, slice);
      if (stack > 0) triangles.push_back(triangle(a, b, d));
      if (stack + 1 < stacks) triangles.push_back(triangle(b, c, d));
    }
  }
  return triangles;
}

// Gently rolling ground: neighbouring faces lie within a degree of each other.
Triangles RollingGround(int cells, float size) {
  const auto vertex = [&](int i, int j) {
    const float x = static_cast<float>(i) * size - 0.5f * size * static_cast<float>(cells);
    const float z = static_cast<float>(j) * size - 0.5f * size * static_cast<float>(cells);
    return std::vector<float>{x, 0.6f * std::sin(0.21f * x) * std::cos(0.17f * z) + 0.02f * x, z};
  };
  Triangles triangles;
  for (int i = 0; i < cells; ++i) {
    for (int j = 0; j < cells; ++j) {
      const std::vector<float> a = vertex(i, j), b = vertex(i, j + 1), c = vertex(i + 1, j + 1), d = vertex(i + 1, j);
      triangles.push_back({a[0], a[1], a[2], b[0], b[1], b[2], c[0], c[1], c[2]});
      triangles.push_back({a[0], a[1], a[2], c[0], c[1], c[2], d[0], d[1], d[2]});
    }
  }
  return triangles;
}

// Both soups are hit by the segment, with the same normal and at the same
// place: merging also collapses edges that move the surface by under 0.001
// each, so the hits lie within a few of those along the surface normal.
void ExpectSameHit(const Soup& plain, const Soup& merged, const dgVector& p0, const dgVector& p1) {
  dgVector plainNormal;
  dgVector mergedNormal;
  const float plainT = plain.Cast(p0, p1, plainNormal);
  const float mergedT = merged.Cast(p0, p1, mergedNormal);
  ASSERT_LT(plainT, 1.0f);
  ASSERT_LT(mergedT, 1.0f);
  const float apart = (mergedT - plainT) * (p1 - p0).DotProduct(plainNormal);
  EXPECT_LT(std::fabs(apart), 0.005f);
  EXPECT_GT(mergedNormal.DotProduct(plainNormal), 0.9999f);
}

}  // namespace

TEST(SoupFlatMerge, MergedSphereAnswersRaysAsTheUnmergedOne) {
  const Triangles triangles = UvSphere(10.0f, 32, 33);
  ASSERT_EQ(triangles.size(), 2048u);
  const Soup plain(triangles, false);
  const Soup merged(triangles, true);

  // A ray that once slipped through the merged sphere.
  dgVector normal;
  const dgVector from(-16.5235367f, -13.9267693f, 5.27274847f, 1.0f);
  const dgVector to(20.8626366f, -5.04664803f, -5.83658838f, 1.0f);
  EXPECT_NEAR(plain.Cast(from, to, normal), 0.44407f, 1e-4f);
  EXPECT_NEAR(merged.Cast(from, to, normal), 0.44407f, 1e-4f);

  // Rays from well outside to inside the sphere all hit, at the same place.
  std::mt19937 random(2024);
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
  for (int ray = 0; ray < 3000; ++ray) {
    dgVector start(unit(random), unit(random), unit(random), 0.0f);
    start = start.Scale(25.0f / std::sqrt(start.LengthSquared() + 1e-12f));
    const dgVector p0(start.x, start.y, start.z, 1.0f);
    const dgVector p1(5 * unit(random), 5 * unit(random), 5 * unit(random), 1.0f);
    SCOPED_TRACE(ray);
    ExpectSameHit(plain, merged, p0, p1);
  }
}

TEST(SoupFlatMerge, MergedGroundAnswersRaysAsTheUnmergedOne) {
  const Triangles triangles = RollingGround(48, 0.5f);
  const Soup plain(triangles, false);
  const Soup merged(triangles, true);
  std::mt19937 random(31);
  std::uniform_real_distribution<float> across(-11.0f, 11.0f);
  for (int ray = 0; ray < 3000; ++ray) {
    const dgVector p0(across(random), 5.0f, across(random), 1.0f);
    const dgVector p1(across(random), -5.0f, across(random), 1.0f);
    SCOPED_TRACE(ray);
    ExpectSameHit(plain, merged, p0, p1);
  }
}
