// Rays against tree collisions answer where the surface is: no segment slips
// between faces that share an edge, and a soup whose faces were merged
// answers as the one built without merging, within the merge tolerance.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "physics/body/dgContact.h"
#include "physics/shapes/dgSegmentQueries.h"
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

// Cells [i0, i1) x [j0, j1) of a hilly 256 x 256 terrain: vertex (i, j) at
// x = i, z = j, its height two waves and a seeded jitter; two triangles a
// cell, facing up. Heights come from the whole grid, so a part of the
// terrain is the same wherever it is cut.
Triangles Terrain(float roughness, float jitter, int i0, int i1, int j0, int j1) {
  constexpr int kSide = 257;
  std::mt19937 random(20261209);
  std::uniform_real_distribution<float> bump(-jitter, jitter);
  std::vector<float> heights(kSide * kSide);
  for (int i = 0; i < kSide; ++i) {
    for (int j = 0; j < kSide; ++j) {
      const double wave = 6.0 * std::sin(0.05 * i) * std::cos(0.04 * j) + roughness * std::sin(0.21 * i + 0.13 * j);
      heights[i * kSide + j] = static_cast<float>(wave) + bump(random);
    }
  }
  const auto vertex = [&](int i, int j) {
    return P(static_cast<float>(i), heights[i * kSide + j], static_cast<float>(j));
  };
  Triangles triangles;
  for (int i = i0; i < i1; ++i) {
    for (int j = j0; j < j1; ++j) {
      const dgVector a = vertex(i, j), b = vertex(i, j + 1), c = vertex(i + 1, j + 1), d = vertex(i + 1, j);
      triangles.push_back(MakeTriangle(a, b, c));
      triangles.push_back(MakeTriangle(a, c, d));
    }
  }
  return triangles;
}

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

// A ground of cells x cells unit squares from the origin, on the plane
// y = slopeX x + slopeZ z + height, facing up.
Triangles Ground(int cells, double slopeX, double slopeZ, double height) {
  const auto vertex = [&](int i, int j) {
    return P(static_cast<float>(i), static_cast<float>(slopeX * i + slopeZ * j + height), static_cast<float>(j));
  };
  Triangles triangles;
  for (int i = 0; i < cells; ++i) {
    for (int j = 0; j < cells; ++j) {
      triangles.push_back(MakeTriangle(vertex(i, j), vertex(i, j + 1), vertex(i + 1, j + 1)));
      triangles.push_back(MakeTriangle(vertex(i, j), vertex(i + 1, j + 1), vertex(i + 1, j)));
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

  // How far the nearest hit lies from the closest edge line of the face
  // hit, and that face's extent (its largest corner distance from its
  // first corner); -1 without a hit.
  float EdgeDistance(const dgVector& p0, const dgVector& p1, float& outExtent) const {
    struct Nearest {
      dgVector p0, p1;
      float best = 2.0f;
      const float* vertices = nullptr;
      const int* face = nullptr;
      int count = 0;
    } nearest{p0, p1};
    tree_->ForAllFacesInRay(
        p0, p1,
        [](void* context, const float* vertices, int stride, const int* face, int count) {
          auto& found = *static_cast<Nearest*>(context);
          float t;
          dgVector normal;
          if (dgRayCastPolygon(found.p0, found.p1, vertices, stride, face, count, t, normal) && t < found.best) {
            found = {found.p0, found.p1, t, vertices, face, count};
          }
          return 1;
        },
        &nearest);
    if (!nearest.face) return -1.0f;
    const auto corner = [&](int i) {
      return dgVector(nearest.vertices + 3 * (nearest.face[i % nearest.count] & 0x7FFFFFFF), 1.0f);
    };
    const dgVector q = p0 + (p1 - p0).Scale(nearest.best);
    float distance = 1e30f;
    outExtent = 0.0f;
    for (int i = 0; i < nearest.count; ++i) {
      const dgVector edge = corner(i + 1) - corner(i);
      distance =
          std::fmin(distance, std::sqrt(edge.CrossProduct(q - corner(i)).LengthSquared() / edge.LengthSquared()));
      outExtent = std::fmax(outExtent, std::sqrt((corner(i) - corner(0)).LengthSquared()));
    }
    return distance;
  }

 private:
  dgCollisionPolygonalSoup* shape_;
  dgTreeCollision* tree_;
};

struct Segment {
  dgVector p0;
  dgVector p1;
};

// Both ends anywhere in the box.
std::vector<Segment> RandomSegments(const dgVector& low, const dgVector& high, int count, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  std::vector<Segment> segments;
  for (int n = 0; n < count; ++n) {
    Segment segment{P(0, 0, 0), P(0, 0, 0)};
    for (dgVector* end : {&segment.p0, &segment.p1}) {
      for (int axis = 0; axis < 3; ++axis) (*end)[axis] = low[axis] + unit(random) * (high[axis] - low[axis]);
    }
    segments.push_back(segment);
  }
  return segments;
}

// Segments of the given length starting 0.05 to 1 above a ground that faces
// up, in any direction across x and z, nearly level.
std::vector<Segment> GrazingSegments(const Soup& ground, const dgVector& low, const dgVector& high, float length,
                                     int count, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  std::vector<Segment> segments;
  while (static_cast<int>(segments.size()) < count) {
    const float x = low.x + unit(random) * (high.x - low.x);
    const float z = low.z + unit(random) * (high.z - low.z);
    const float lift = 0.05f + 0.95f * unit(random);
    const float angle = 6.2831853f * unit(random);
    const float slope = 0.06f * unit(random) - 0.03f;
    dgVector normal;
    const float top = high.y + 1.0f;
    const float bottom = low.y - 1.0f;
    const float t = ground.Cast(P(x, top, z), P(x, bottom, z), normal);
    if (t > 1.0f) continue;
    const float y = top + (bottom - top) * t + lift;
    segments.push_back({P(x, y, z), P(x + length * std::cos(angle), y + length * slope, z + length * std::sin(angle))});
  }
  return segments;
}

// True when the soup's hit lies within the face test's own slack of an
// edge of the face hit: a point outside a face by up to 1e-5 of the face's
// size counts as inside, so a larger merged face reaches further past an
// open border than the small faces it replaced.
bool HitWithinEdgeSlack(const Soup& soup, const Segment& s) {
  float extent = 0.0f;
  const float distance = soup.EdgeDistance(s.p0, s.p1, extent);
  return distance >= 0.0f && distance <= 2e-5f * extent;
}

// The merged soup hits the segments the plain one hits (but where either
// hit lies within the face test's slack of an edge), within 1e-4 of the
// segment of the same place, and away from edges (where either of two
// faces may answer) with normals half a degree apart at most. Returns the
// number of hits.
int ExpectMergedAnswersAsPlain(const Soup& plain, const Soup& merged, const std::vector<Segment>& segments) {
  const float sameDirection = std::cos(0.5f * 3.14159265f / 180.0f);
  int hits = 0;
  int wrong = 0;
  for (size_t n = 0; n < segments.size(); ++n) {
    const Segment& s = segments[n];
    dgVector plainNormal;
    dgVector mergedNormal;
    const float plainT = plain.Cast(s.p0, s.p1, plainNormal);
    const float mergedT = merged.Cast(s.p0, s.p1, mergedNormal);
    const bool hit = plainT <= 1.0f;
    hits += hit;
    bool same = hit == (mergedT <= 1.0f) || HitWithinEdgeSlack(hit ? plain : merged, s);
    if (hit && mergedT <= 1.0f) {
      float extent = 0.0f;
      same = std::fabs(mergedT - plainT) <= 1e-4f &&
             (plainNormal.DotProduct(mergedNormal) >= sameDirection || plain.EdgeDistance(s.p0, s.p1, extent) <= 1e-3f);
    }
    if (!same && ++wrong <= 5) {
      ADD_FAILURE() << "segment " << n << " (" << s.p0.x << ", " << s.p0.y << ", " << s.p0.z << ") -> (" << s.p1.x
                    << ", " << s.p1.y << ", " << s.p1.z << "): plain t " << plainT << " normal (" << plainNormal.x
                    << ", " << plainNormal.y << ", " << plainNormal.z << "), merged t " << mergedT << " normal ("
                    << mergedNormal.x << ", " << mergedNormal.y << ", " << mergedNormal.z << ")";
    }
  }
  EXPECT_EQ(wrong, 0);
  return hits;
}

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

TEST(SoupRayAnswers, RaysOnceAnsweredWronglyHitWhereTheSurfaceIs) {
  // The part of the terrain both terrain segments cross.
  const Triangles terrain = Terrain(2.0f, 0.2f, 112, 256, 140, 205);
  const Triangles sphere = UvSphere();
  struct Case {
    const char* name;
    const Triangles* mesh;
    dgVector p0, p1;
    float t;
    dgVector normal;
  };
  const Case cases[] = {
      {"merged terrain let it through", &terrain, P(116.735718f, -2.36985564f, 185.69072f),
       P(238.240417f, -5.10937881f, 145.43396f), 0.0306311f, dgVector(-0.4033f, 0.8695f, -0.2852f)},
      {"merged terrain hit where it is not", &terrain, P(213.254181f, -3.28799224f, 145.295944f),
       P(327.126221f, -5.86321926f, 203.752396f), 0.1830871f, dgVector(-0.3279f, 0.8819f, -0.3387f)},
      {"through an edge of the sphere", &sphere, P(-17.5100498f, 3.19690752f, -13.5276012f),
       P(15.1976757f, 15.2140617f, 6.11399984f), 0.5065068f, dgVector(-0.1211f, 0.9089f, -0.3991f)},
  };
  for (const Triangles* mesh : {&terrain, &sphere}) {
    for (const bool optimise : {false, true}) {
      const Soup soup(*mesh, optimise);
      for (const Case& c : cases) {
        if (c.mesh != mesh) continue;
        SCOPED_TRACE(testing::Message() << c.name << (optimise ? ", merged" : ", plain"));
        dgVector normal;
        EXPECT_NEAR(soup.Cast(c.p0, c.p1, normal), c.t, 1e-6f);
        EXPECT_NEAR(normal.x, c.normal.x, 1e-3f);
        EXPECT_NEAR(normal.y, c.normal.y, 1e-3f);
        EXPECT_NEAR(normal.z, c.normal.z, 1e-3f);
      }
    }
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

// The terrain's far corner: coordinates as large as the whole terrain's, at
// a sixteenth of its faces.
TEST(SoupRayAnswers, MergedTerrainAnswersAsThePlainOne) {
  struct Case {
    const char* name;
    float roughness;
    float jitter;
  };
  for (const Case& c : {Case{"hills", 2.0f, 0.2f}, Case{"rougher hills", 5.0f, 0.4f}}) {
    SCOPED_TRACE(c.name);
    const Triangles terrain = Terrain(c.roughness, c.jitter, 192, 256, 192, 256);
    const Soup plain(terrain, false);
    const Soup merged(terrain, true);
    const dgVector low = P(192.0f, -12.0f, 192.0f);
    const dgVector high = P(256.0f, 12.0f, 256.0f);
    const int hits = ExpectMergedAnswersAsPlain(plain, merged, RandomSegments(low, high, 3000, 7));
    EXPECT_GT(hits, 750);
    EXPECT_LT(hits, 2250);
    ExpectMergedAnswersAsPlain(plain, merged, GrazingSegments(plain, low, high, 32.0f, 3000, 8));
  }
}

TEST(SoupRayAnswers, MergedSphereAndGroundsAnswerAsThePlainOnes) {
  struct Case {
    const char* name;
    Triangles mesh;
    dgVector low, high;
    bool ground;
  };
  const Case cases[] = {
      {"sphere", UvSphere(), P(-12, -12, -12), P(12, 12, 12), false},
      {"level ground", Ground(40, 0.0, 0.0, 0.0), P(0, -5, 0), P(40, 5, 40), true},
      {"sloping ground", Ground(40, 0.3, 0.2, 1.0 / 3.0), P(0, -5, 0), P(40, 25, 40), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Soup plain(c.mesh, false);
    const Soup merged(c.mesh, true);
    EXPECT_GT(ExpectMergedAnswersAsPlain(plain, merged, RandomSegments(c.low, c.high, 3000, 9)), 100);
    if (c.ground) ExpectMergedAnswersAsPlain(plain, merged, GrazingSegments(plain, c.low, c.high, 20.0f, 3000, 10));
  }
}

}  // namespace
