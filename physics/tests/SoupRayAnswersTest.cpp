// Rays against tree collisions answer where the surface is: no segment slips
// between faces that share an edge.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "physics/contacts/dgContact.h"
#include "physics/soup/dgTreeCollision.h"

namespace {

using Triangle = std::array<float, 9>;
using Triangles = std::vector<Triangle>;

dgVector P(float x, float y, float z) { return dgVector(x, y, z, 1.0f); }

dgVector Corner(const Triangle& triangle, int k) { return dgVector(triangle.data() + 3 * k, 1.0f); }

Triangle MakeTriangle(const dgVector& a, const dgVector& b, const dgVector& c) {
  return {a.x, a.y, a.z, b.x, b.y, b.z, c.x, c.y, c.z};
}

dgVector Unit(const dgVector& v) { return v.Scale(1.0f / std::sqrt(v.LengthSquared())); }

// The closed UV sphere of radius 10: poles on y, 32 rings of 32 vertices,
// fans at the poles, two triangles a quad, wound outward (2048 triangles).
Triangles UvSphere() {
  constexpr double kPi = 3.14159265358979323846;
  const auto vertex = [&](int ring, int slice) {
    if (ring == 0 || ring == 33) return P(0.0f, ring == 0 ? 10.0f : -10.0f, 0.0f);
    const double phi = kPi * ring / 33.0;
    const double theta = 2.0 * kPi * slice / 32.0;
    return P(static_cast<float>(10.0 * std::sin(phi) * std::cos(theta)), static_cast<float>(10.0 * std::cos(phi)),
             static_cast<float>(10.0 * std::sin(phi) * std::sin(theta)));
  };
  Triangles triangles;
  for (int ring = 0; ring < 33; ++ring) {
    for (int slice = 0; slice < 32; ++slice) {
      const dgVector a = vertex(ring, slice), b = vertex(ring, slice + 1);
      const dgVector c = vertex(ring + 1, slice + 1), d = vertex(ring + 1, slice);
      if (ring == 0) {
        triangles.push_back(MakeTriangle(a, c, d));
      } else if (ring == 32) {
        triangles.push_back(MakeTriangle(a, b, d));
      } else {
        triangles.push_back(MakeTriangle(a, b, c));
        triangles.push_back(MakeTriangle(a, c, d));
      }
    }
  }
  return triangles;
}

// A closed cube of side 2 * half about the origin, each side a grid of
// cells x cells squares, wound outward.
Triangles GridCube(int cells, float half) {
  Triangles triangles;
  for (int axis = 0; axis < 3; ++axis) {
    for (const float side : {-1.0f, 1.0f}) {
      // (u, v, axis) right-handed, flipped on the negative side.
      const int u = (axis + (side > 0 ? 1 : 2)) % 3;
      const int v = (axis + (side > 0 ? 2 : 1)) % 3;
      const auto vertex = [&](int i, int j) {
        dgVector p(0.0f, 0.0f, 0.0f, 1.0f);
        p[axis] = side * half;
        p[u] = -half + 2.0f * half * static_cast<float>(i) / static_cast<float>(cells);
        p[v] = -half + 2.0f * half * static_cast<float>(j) / static_cast<float>(cells);
        return p;
      };
      for (int i = 0; i < cells; ++i) {
        for (int j = 0; j < cells; ++j) {
          triangles.push_back(MakeTriangle(vertex(i, j), vertex(i + 1, j), vertex(i + 1, j + 1)));
          triangles.push_back(MakeTriangle(vertex(i, j), vertex(i + 1, j + 1), vertex(i, j + 1)));
        }
      }
    }
  }
  return triangles;
}

// A tree collision over the triangles (one attribute), merged or not.
class Soup {
 public:
  Soup(const Triangles& triangles, bool optimise) : shape_(dgCreateTreeCollision(nullptr, nullptr)) {
    tree_ = static_cast<dgTreeCollision*>(shape_->GetUserData());
    tree_->BeginBuild();
    for (const Triangle& triangle : triangles) tree_->AddFace(3, triangle.data(), 12, 1);
    tree_->EndBuild(optimise, *shape_);
  }
  ~Soup() { shape_->Release(); }
  Soup(const Soup&) = delete;
  Soup& operator=(const Soup&) = delete;

  // The parameter of the nearest hit (above 1 on a miss) and its unit normal.
  float Cast(const dgVector& p0, const dgVector& p1, dgVector& outNormal) const {
    dgContact contact{};
    const float t = shape_->RayCast(p0, p1, contact);
    outNormal = contact.normal;
    return t;
  }

 private:
  dgCollisionPolygonalSoup* shape_;
  dgTreeCollision* tree_;
};

// Segments that cross a closed mesh through an edge of one of its faces, at
// a grazing angle: each ends just inside the face (1e-5 to 3e-3 below it)
// and starts outside, beyond a point of the face's edge. None may miss.
int CountLeaks(const Soup& soup, const Triangles& mesh, int count, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  int leaks = 0;
  for (int n = 0; n < count; ++n) {
    const Triangle& face = mesh[random() % mesh.size()];
    const int k = static_cast<int>(random() % 3);
    const dgVector a = Corner(face, k);
    const dgVector b = Corner(face, (k + 1) % 3);
    const dgVector onEdge = a + (b - a).Scale(unit(random));
    const dgVector c0 = Corner(face, 0);
    const dgVector normal = Unit((Corner(face, 1) - c0).CrossProduct(Corner(face, 2) - c0));
    const float depth = std::pow(10.0f, -5.0f + 2.5f * unit(random));
    const dgVector inside = c0 + (Corner(face, 1) - c0).Scale(0.05f + 0.45f * unit(random)) +
                            (Corner(face, 2) - c0).Scale(0.05f + 0.45f * unit(random)) - normal.Scale(depth);
    const dgVector outside = onEdge + (onEdge - inside).Scale(0.5f + 2.0f * unit(random));
    dgVector hitNormal;
    leaks += soup.Cast(P(outside.x, outside.y, outside.z), P(inside.x, inside.y, inside.z), hitNormal) > 1.0f;
  }
  return leaks;
}

TEST(SoupRayAnswers, RayThroughAnEdgeOfTheSphereHitsIt) {
  // It passes 3.5e-6 (of the face) from the edge two faces share, at a
  // grazing angle to the one it enters; the other is turned away.
  const Triangles sphere = UvSphere();
  for (const bool optimise : {false, true}) {
    SCOPED_TRACE(optimise ? "merged" : "plain");
    const Soup soup(sphere, optimise);
    dgVector normal;
    EXPECT_NEAR(soup.Cast(P(-17.5100498f, 3.19690752f, -13.5276012f), P(15.1976757f, 15.2140617f, 6.11399984f), normal),
                0.5065068f, 1e-6f);
    EXPECT_NEAR(normal.x, -0.1211f, 1e-3f);
    EXPECT_NEAR(normal.y, 0.9089f, 1e-3f);
    EXPECT_NEAR(normal.z, -0.3991f, 1e-3f);
  }
}

TEST(SoupRayAnswers, NoSegmentSlipsThroughTheEdgesOfAClosedMesh) {
  const Triangles sphere = UvSphere();
  const Triangles cube = GridCube(6, 5.0f);
  for (const bool optimise : {false, true}) {
    SCOPED_TRACE(optimise ? "merged" : "plain");
    EXPECT_EQ(CountLeaks(Soup(sphere, optimise), sphere, 3000, 41), 0);
    EXPECT_EQ(CountLeaks(Soup(cube, optimise), cube, 1000, 43), 0);
  }
}

}  // namespace
