#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <vector>

#include "physics/mesh/dgPolyhedra.h"

namespace {

struct MeshStats {
  int realFaces = 0;
  int openLoops = 0;
  double area = 0.0;
};

double Length(const dgVector& v) { return std::sqrt(static_cast<double>(v.DotProduct(v))); }

dgVector Vertex(const std::vector<float>& vertices, int index) {
  return dgVector(vertices[static_cast<size_t>(index) * 3], vertices[static_cast<size_t>(index) * 3 + 1],
                  vertices[static_cast<size_t>(index) * 3 + 2], 1.0f);
}

// Checks the half-edge invariants and, with vertices, that real faces are
// convex; returns face counts and the area of the real faces.
MeshStats CheckMesh(dgPolyhedra& mesh, const std::vector<float>* vertices = nullptr, bool convex = true) {
  MeshStats stats;
  const int mark = mesh.IncrementMark();
  int edges = 0;
  for (auto* node = mesh.GetFirstNode(); node; node = node->Next()) {
    dgEdge* e = &node->GetInfo();
    ++edges;
    EXPECT_EQ(node->GetKey(), dgPolyhedra::EdgeKey(e->vertex, e->next->vertex));
    EXPECT_EQ(e->next->prev, e);
    EXPECT_EQ(e->prev->next, e);
    EXPECT_NE(e->vertex, e->next->vertex);
    if (!e->twin) {
      ADD_FAILURE() << "edge without twin";
      continue;
    }
    EXPECT_EQ(e->twin->twin, e);
    EXPECT_EQ(e->twin->vertex, e->next->vertex);
    if (e->mark == mark) continue;
    const int length = mesh.GetLoopLength(e);
    if (length < 3) {
      ADD_FAILURE() << "loop shorter than a triangle or not closed";
      return stats;
    }
    dgEdge* walk = e;
    for (int i = 0; i < length; ++i, walk = walk->next) {
      walk->mark = mark;
      EXPECT_EQ(walk->face, e->face) << "one loop, two face ids";
    }
    if (e->face < 0) {
      ++stats.openLoops;
      continue;
    }
    ++stats.realFaces;
    if (!vertices) continue;
    const dgVector normal = dgPolyhedraFaceNormal(e, vertices->data(), 12);
    stats.area += Length(normal) / 2.0;
    if (!convex) continue;
    walk = e;
    for (int i = 0; i < length; ++i, walk = walk->next) {
      const dgVector in = Vertex(*vertices, walk->vertex) - Vertex(*vertices, walk->prev->vertex);
      const dgVector out = Vertex(*vertices, walk->next->vertex) - Vertex(*vertices, walk->vertex);
      const double turn = in.CrossProduct(out).DotProduct(normal);
      EXPECT_GE(turn, -1e-6 * Length(in) * Length(out) * Length(normal)) << "reflex corner in face " << e->face;
    }
  }
  EXPECT_EQ(edges, mesh.GetEdgeCount());
  return stats;
}

TEST(PhysicsPolyhedra, AddFaceRefusalTable) {
  struct Case {
    const char* name;
    std::vector<int> indices;
    bool accepted;
  };
  const Case cases[] = {
      {"same triangle again", {0, 1, 2}, false},
      {"same triangle rotated", {1, 2, 0}, false},
      {"reversed triangle", {2, 1, 0}, true},
      {"shares one directed edge", {1, 2, 5}, false},
      {"equal consecutive indices", {3, 4, 4, 5}, false},
      {"first equals last", {3, 4, 5, 3}, false},
      {"edge used twice", {3, 4, 5, 4}, false},
      {"two indices", {3, 4}, false},
      {"negative index", {3, -4, 5}, false},
      {"fresh quad", {3, 4, 5, 6}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dgPolyhedra mesh;
    ASSERT_NE(mesh.AddTriangle(0, 1, 2), nullptr);
    const int edges = mesh.GetEdgeCount();
    const int faces = mesh.GetFaceCounter();
    dgEdge* first = mesh.AddFace(static_cast<int>(c.indices.size()), c.indices.data());
    EXPECT_EQ(first != nullptr, c.accepted);
    if (c.accepted) {
      EXPECT_EQ(first->vertex, c.indices[0]);
      EXPECT_EQ(first->face, faces + 1);
      EXPECT_EQ(mesh.GetEdgeCount(), edges + static_cast<int>(c.indices.size()));
    } else {
      EXPECT_EQ(mesh.GetEdgeCount(), edges);
      EXPECT_EQ(mesh.GetFaceCounter(), faces);
    }
  }
}

TEST(PhysicsPolyhedra, EndFaceLinksTwinsAndBorderLoops) {
  dgPolyhedra pair;
  pair.AddTriangle(0, 1, 2);
  pair.AddTriangle(2, 1, 0);
  pair.EndFace();
  EXPECT_EQ(pair.GetEdgeCount(), 6);
  const MeshStats twins = CheckMesh(pair);
  EXPECT_EQ(twins.realFaces, 2);
  EXPECT_EQ(twins.openLoops, 0);
  EXPECT_EQ(pair.FindEdge(0, 1)->twin, pair.FindEdge(1, 0));
  EXPECT_EQ(pair.FindEdge(0, 1)->twin->face, 2);

  dgPolyhedra single;
  const int64_t data[3] = {7, 8, 9};
  const int indices[3] = {0, 1, 2};
  single.AddFaceWithData(3, indices, data);
  single.EndFace();
  EXPECT_EQ(single.GetEdgeCount(), 6);
  const MeshStats open = CheckMesh(single);
  EXPECT_EQ(open.realFaces, 1);
  EXPECT_EQ(open.openLoops, 1);
  const dgEdge* border = single.FindEdge(1, 0);
  ASSERT_NE(border, nullptr);
  EXPECT_EQ(border->face, -1);
  EXPECT_EQ(border->userData, 0);
  // The edge starting at index i carries data i.
  EXPECT_EQ(single.FindEdge(0, 1)->userData, 7);
  EXPECT_EQ(single.FindEdge(2, 0)->userData, 9);
}

// A unit cube as twelve outward-facing triangles.
std::vector<float> CubeVertices() { return {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 0, 0, 1, 1, 0, 1, 1, 1, 1, 0, 1, 1}; }

void AddCube(dgPolyhedra& mesh) {
  const int faces[12][3] = {{0, 2, 1}, {0, 3, 2}, {4, 5, 6}, {4, 6, 7}, {0, 1, 5}, {0, 5, 4},
                            {2, 3, 7}, {2, 7, 6}, {1, 2, 6}, {1, 6, 5}, {0, 4, 7}, {0, 7, 3}};
  for (const auto& f : faces) ASSERT_NE(mesh.AddTriangle(f[0], f[1], f[2]), nullptr);
  mesh.EndFace();
}

TEST(PhysicsPolyhedra, ClosedCubeHasTwinsEverywhereAndMergesToSixQuads) {
  const std::vector<float> vertices = CubeVertices();
  dgPolyhedra mesh;
  AddCube(mesh);
  EXPECT_EQ(mesh.GetEdgeCount(), 36);
  const MeshStats before = CheckMesh(mesh, &vertices);
  EXPECT_EQ(before.openLoops, 0);
  EXPECT_NEAR(before.area, 6.0, 1e-6);

  mesh.Optimize(vertices.data(), 12, nullptr);
  const MeshStats after = CheckMesh(mesh, &vertices);
  EXPECT_EQ(after.realFaces, 6);
  EXPECT_EQ(after.openLoops, 0);
  EXPECT_EQ(mesh.GetEdgeCount(), 24);
  EXPECT_NEAR(after.area, 6.0, 1e-6);
}

TEST(PhysicsPolyhedra, TwoCoplanarTrianglesBecomeOneQuad) {
  const std::vector<float> vertices = {0, 0, 0, 2, 0, 0, 2, 2, 0, 0, 2, 0};
  dgPolyhedra mesh;
  mesh.AddTriangle(0, 1, 2);
  mesh.AddTriangle(0, 2, 3);
  mesh.EndFace();
  mesh.Optimize(vertices.data(), 12, nullptr);
  const MeshStats stats = CheckMesh(mesh, &vertices);
  EXPECT_EQ(stats.realFaces, 1);
  EXPECT_EQ(stats.openLoops, 1);
  EXPECT_EQ(mesh.GetEdgeCount(), 8);
  EXPECT_NEAR(stats.area, 4.0, 1e-6);
  EXPECT_EQ(mesh.FindEdge(0, 2), nullptr);
}

TEST(PhysicsPolyhedra, OptimizeCollapsesFlatFansButKeepsShape) {
  struct Case {
    const char* name;
    std::vector<float> vertices;
    std::vector<std::vector<int>> faces;
    int expectedFaces;
    int expectedEdges;
    double area;
  };
  const Case cases[] = {
      {"flat fan around a centre vertex",
       {0, 0, 0, 2, 0, 0, 2, 2, 0, 0, 2, 0, 1, 1, 0},
       {{0, 1, 4}, {1, 2, 4}, {2, 3, 4}, {3, 0, 4}},
       1,
       8,
       4.0},
      {"flat square with a vertex in the middle of a side",
       {0, 0, 0, 1, 0, 0, 2, 0, 0, 2, 2, 0, 0, 2, 0},
       {{0, 1, 4}, {1, 3, 4}, {1, 2, 3}},
       1,
       8,
       4.0},
      {"shallow roof: two slopes stay two faces",
       {0, 0, 0, 2, 0, 0, 2, 1, 0.1f, 0, 1, 0.1f, 0, 2, 0, 2, 2, 0},
       {{0, 1, 2}, {0, 2, 3}, {3, 2, 5}, {3, 5, 4}},
       2,
       14,
       4.0 * std::sqrt(1.01)},
      // Numbered so that the trapezoid's patch is gathered first.
      {"square beside a slightly tilted trapezoid: no merge across the fold",
       {1, 0, 0, 1, 1, 0, 2, 0.3f, 0.1f, 2, 0.7f, 0.1f, 0, 0, 0, 0, 1, 0},
       {{0, 2, 3}, {0, 3, 1}, {4, 0, 1}, {4, 1, 5}},
       2,
       14,
       1.0 + 0.7 * std::sqrt(1.01)},
      {"open pyramid: the apex stays",
       {0, 0, 0, 2, 0, 0, 2, 2, 0, 0, 2, 0, 1, 1, 1},
       {{0, 1, 4}, {1, 2, 4}, {2, 3, 4}, {3, 0, 4}},
       4,
       16,
       4.0 * std::sqrt(2.0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dgPolyhedra mesh;
    for (const auto& face : c.faces) ASSERT_NE(mesh.AddFace(static_cast<int>(face.size()), face.data()), nullptr);
    mesh.EndFace();
    mesh.Optimize(c.vertices.data(), 12, nullptr);
    const MeshStats stats = CheckMesh(mesh, &c.vertices);
    EXPECT_EQ(stats.realFaces, c.expectedFaces);
    EXPECT_EQ(mesh.GetEdgeCount(), c.expectedEdges);
    EXPECT_NEAR(stats.area, c.area, 1e-5);
  }
}

TEST(PhysicsPolyhedra, TiltedFlatGridSimplifiesWithoutTurningAFaceOver) {
  // On a tilted plane the rounded vertices leave each quadric a hair above
  // or below zero; a collapse the fold test refuses must stay refused.
  constexpr int kCells = 40;
  std::vector<float> vertices;
  for (int i = 0; i <= kCells; ++i) {
    for (int j = 0; j <= kCells; ++j) {
      vertices.insert(vertices.end(), {static_cast<float>(i), static_cast<float>(0.3 * i + 0.2 * j + 1.0 / 3.0),
                                       static_cast<float>(j)});
    }
  }
  const auto at = [](int i, int j) { return i * (kCells + 1) + j; };
  dgPolyhedra mesh;
  for (int i = 0; i < kCells; ++i) {
    for (int j = 0; j < kCells; ++j) {
      ASSERT_NE(mesh.AddTriangle(at(i, j), at(i, j + 1), at(i + 1, j + 1)), nullptr);
      ASSERT_NE(mesh.AddTriangle(at(i, j), at(i + 1, j + 1), at(i + 1, j)), nullptr);
    }
  }
  mesh.EndFace();
  mesh.Optimize(vertices.data(), 12, nullptr);
  const MeshStats stats = CheckMesh(mesh, &vertices);
  // Faces turned over would overlap the others: the area would grow.
  EXPECT_NEAR(stats.area, kCells * kCells * std::sqrt(1.0 + 0.09 + 0.04), 1e-3);
  const int mark = mesh.IncrementMark();
  for (auto* node = mesh.GetFirstNode(); node; node = node->Next()) {
    dgEdge* e = &node->GetInfo();
    if (e->mark == mark) continue;
    dgEdge* walk = e;
    do {
      walk->mark = mark;
      walk = walk->next;
    } while (walk != e);
    if (e->face > 0) {
      EXPECT_GT(dgPolyhedraFaceNormal(e, vertices.data(), 12).y, 0.0f);
    }
  }
}

TEST(PhysicsPolyhedra, FaceNormalIsTwiceTheArea) {
  const std::vector<float> vertices = {0, 0, 0, 3, 0, 0, 3, 2, 0, 1, 3, 0, 0, 2, 0};
  dgPolyhedra mesh;
  const int pentagon[5] = {0, 1, 2, 3, 4};
  dgEdge* face = mesh.AddFace(5, pentagon);
  const dgVector normal = dgPolyhedraFaceNormal(face, vertices.data(), 12);
  EXPECT_EQ(normal.w, 0.0f);
  EXPECT_FLOAT_EQ(normal.z, 2.0f * 7.5f);
  EXPECT_EQ(normal.x, 0.0f);
}

TEST(PhysicsPolyhedra, DeleteFaceOpensItAndDropsEdgesOpenOnBothSides) {
  const std::vector<float> vertices = {0, 0, 0, 2, 0, 0, 2, 2, 0, 0, 2, 0};
  dgPolyhedra mesh;
  mesh.AddTriangle(0, 1, 2);
  dgEdge* second = mesh.AddTriangle(0, 2, 3);
  mesh.EndFace();
  mesh.DeleteFace(second);
  const MeshStats stats = CheckMesh(mesh, &vertices);
  EXPECT_EQ(stats.realFaces, 1);
  EXPECT_EQ(stats.openLoops, 1);
  EXPECT_EQ(mesh.GetEdgeCount(), 6);
  EXPECT_EQ(mesh.FindEdge(3, 0), nullptr);
  EXPECT_EQ(mesh.FindEdge(0, 2)->face, -1);
  EXPECT_EQ(mesh.FindEdge(2, 0)->face, 1);
  mesh.DeleteFace(mesh.FindEdge(0, 1));
  EXPECT_EQ(mesh.GetEdgeCount(), 0);

  // Before EndFace nothing lies beyond a face: all its edges go.
  dgPolyhedra open;
  open.AddTriangle(0, 1, 2);
  open.DeleteFace(open.AddTriangle(0, 2, 3));
  EXPECT_EQ(open.GetEdgeCount(), 3);
  open.EndFace();
  EXPECT_EQ(CheckMesh(open, &vertices).openLoops, 1);
}

TEST(PhysicsPolyhedra, ConcaveAndDegenerateFaces) {
  // An L-shaped octagon (reflex corner at vertex 4) and, apart, a face with
  // all its corners on one line.
  const std::vector<float> vertices = {0, 0, 0, 1, 0, 0, 2, 0, 0, 2, 1, 0, 1, 1, 0, 1, 2, 0,
                                       0, 2, 0, 0, 1, 0, 5, 0, 0, 6, 0, 0, 7, 0, 0, 8, 0, 0};
  dgPolyhedra mesh;
  dgPolyhedra side;
  const int l[8] = {0, 1, 2, 3, 4, 5, 6, 7};
  const int flat[4] = {8, 9, 10, 11};
  ASSERT_NE(mesh.AddFace(8, l), nullptr);
  ASSERT_NE(mesh.AddFace(4, flat), nullptr);
  mesh.EndFace();
  mesh.Optimize(vertices.data(), 12, &side);
  const MeshStats stats = CheckMesh(mesh, &vertices);
  EXPECT_NEAR(stats.area, 3.0, 1e-6);
  EXPECT_GE(stats.realFaces, 2);  // an L is not convex
  EXPECT_EQ(stats.openLoops, 1);
  // The degenerate face went to the side mesh, with its loop.
  EXPECT_EQ(side.GetEdgeCount(), 4);
  EXPECT_NE(side.FindEdge(8, 9), nullptr);
}

// A planar patch over a grid of 2x2 blocks: each block is a hole, an
// L-shaped octagon with a quad, or four cells of quads and split quads.
struct Patch {
  std::vector<float> vertices;
  std::vector<std::vector<int>> faces;
  double area = 0.0;
};

Patch MakePatch(std::mt19937& random, int blocksX, int blocksY) {
  Patch patch;
  std::uniform_real_distribution<float> jitter(-0.2f, 0.2f);
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
  // A random plane frame.
  dgVector u(unit(random), unit(random), unit(random));
  u = u.Scale(1.0f / std::sqrt(u.DotProduct(u) + 1e-12f));
  dgVector helper = std::fabs(u.x) < 0.6f ? dgVector(1, 0, 0) : dgVector(0, 1, 0);
  dgVector v = u.CrossProduct(helper);
  v = v.Scale(1.0f / std::sqrt(v.DotProduct(v)));
  const dgVector origin(unit(random) * 5, unit(random) * 5, unit(random) * 5);
  const int columns = blocksX * 2 + 1;
  const int rows = blocksY * 2 + 1;
  std::vector<float> planar;
  for (int j = 0; j < rows; ++j) {
    for (int i = 0; i < columns; ++i) {
      const float s = static_cast<float>(i) + jitter(random);
      const float t = static_cast<float>(j) + jitter(random);
      const dgVector p = origin + u.Scale(s) + v.Scale(t);
      patch.vertices.insert(patch.vertices.end(), {p.x, p.y, p.z});
      planar.insert(planar.end(), {s, t});
    }
  }
  auto at = [&](int i, int j) { return j * columns + i; };
  auto addFace = [&](std::vector<int> face) {
    double twiceArea = 0.0;
    for (size_t k = 0; k < face.size(); ++k) {
      const int a = face[k];
      const int b = face[(k + 1) % face.size()];
      twiceArea += planar[a * 2] * planar[b * 2 + 1] - planar[b * 2] * planar[a * 2 + 1];
    }
    patch.area += twiceArea / 2.0;
    patch.faces.push_back(std::move(face));
  };
  for (int by = 0; by < blocksY; ++by) {
    for (int bx = 0; bx < blocksX; ++bx) {
      const int i = bx * 2;
      const int j = by * 2;
      const unsigned kind = random() % 8;
      if (kind == 0) continue;  // hole
      if (kind == 1) {
        addFace({at(i, j), at(i + 1, j), at(i + 2, j), at(i + 2, j + 1), at(i + 1, j + 1), at(i + 1, j + 2),
                 at(i, j + 2), at(i, j + 1)});
        addFace({at(i + 1, j + 1), at(i + 2, j + 1), at(i + 2, j + 2), at(i + 1, j + 2)});
        continue;
      }
      for (int cy = 0; cy < 2; ++cy) {
        for (int cx = 0; cx < 2; ++cx) {
          const int a = at(i + cx, j + cy);
          const int b = at(i + cx + 1, j + cy);
          const int c = at(i + cx + 1, j + cy + 1);
          const int d = at(i + cx, j + cy + 1);
          switch (random() % 3) {
            case 0:
              addFace({a, b, c, d});
              break;
            case 1:
              addFace({a, b, c});
              addFace({a, c, d});
              break;
            default:
              addFace({a, b, d});
              addFace({b, c, d});
              break;
          }
        }
      }
    }
  }
  return patch;
}

TEST(PhysicsPolyhedra, OptimizedPatchesAreConvexManifoldAndKeepTheirArea) {
  std::mt19937 random(2024);
  int facesBefore = 0;
  int facesAfter = 0;
  for (int round = 0; round < 25; ++round) {
    SCOPED_TRACE(round);
    Patch patch = MakePatch(random, 2 + round % 4, 2 + round % 3);
    if (patch.faces.empty()) continue;
    dgPolyhedra mesh;
    for (const auto& face : patch.faces) ASSERT_NE(mesh.AddFace(static_cast<int>(face.size()), face.data()), nullptr);
    mesh.EndFace();
    const MeshStats before = CheckMesh(mesh, &patch.vertices, false);
    EXPECT_NEAR(before.area, patch.area, 1e-3 * patch.area);
    dgPolyhedra side;
    mesh.Optimize(patch.vertices.data(), 12, &side);
    const MeshStats after = CheckMesh(mesh, &patch.vertices);
    EXPECT_NEAR(after.area, patch.area, 1e-3 * patch.area);
    EXPECT_EQ(side.GetEdgeCount(), 0);
    EXPECT_LE(after.realFaces, before.realFaces);
    facesBefore += before.realFaces;
    facesAfter += after.realFaces;
  }
  // The passes did merge: far fewer faces came out than went in.
  EXPECT_LT(facesAfter * 2, facesBefore);
}

TEST(PhysicsPolyhedra, TriangulatedSphereStaysClosedAndRegainsItsQuads) {
  // A UV sphere: 16 slices, 8 stacks, every quad split in two. Its quads are
  // planar trapezoids, so the pairs merge back; the curvature keeps every vertex.
  const int slices = 16;
  const int stacks = 8;
  const double pi = 3.14159265358979;
  std::vector<float> vertices = {0, 0, 1, 0, 0, -1};
  for (int j = 1; j < stacks; ++j) {
    for (int i = 0; i < slices; ++i) {
      const double theta = pi * j / stacks;
      const double phi = 2 * pi * i / slices;
      vertices.insert(vertices.end(),
                      {static_cast<float>(std::sin(theta) * std::cos(phi)),
                       static_cast<float>(std::sin(theta) * std::sin(phi)), static_cast<float>(std::cos(theta))});
    }
  }
  auto ring = [&](int j, int i) { return 2 + (j - 1) * slices + (i % slices); };
  dgPolyhedra mesh;
  for (int i = 0; i < slices; ++i) {
    ASSERT_NE(mesh.AddTriangle(0, ring(1, i), ring(1, i + 1)), nullptr);
    ASSERT_NE(mesh.AddTriangle(1, ring(stacks - 1, i + 1), ring(stacks - 1, i)), nullptr);
    for (int j = 1; j < stacks - 1; ++j) {
      ASSERT_NE(mesh.AddTriangle(ring(j, i), ring(j + 1, i), ring(j + 1, i + 1)), nullptr);
      ASSERT_NE(mesh.AddTriangle(ring(j, i), ring(j + 1, i + 1), ring(j, i + 1)), nullptr);
    }
  }
  mesh.EndFace();
  const MeshStats before = CheckMesh(mesh, &vertices);
  EXPECT_EQ(before.openLoops, 0);
  mesh.Optimize(vertices.data(), 12, nullptr);
  const MeshStats after = CheckMesh(mesh, &vertices);
  EXPECT_EQ(after.openLoops, 0);
  EXPECT_EQ(after.realFaces, 2 * slices + slices * (stacks - 2));
  EXPECT_NEAR(after.area, before.area, 1e-4 * before.area);
}

TEST(PhysicsPolyhedra, BumpyPatchesStayManifoldAndConvex) {
  std::mt19937 random(77);
  std::uniform_real_distribution<float> height(-0.3f, 0.3f);
  for (int round = 0; round < 10; ++round) {
    SCOPED_TRACE(round);
    const int size = 6 + round;
    std::vector<float> vertices;
    for (int j = 0; j <= size; ++j) {
      for (int i = 0; i <= size; ++i) {
        // Flat in some rows, bumpy in others: both kinds of region meet.
        const float z = (j % 4 < 2) ? 0.0f : height(random);
        vertices.insert(vertices.end(), {static_cast<float>(i), static_cast<float>(j), z});
      }
    }
    dgPolyhedra mesh;
    for (int j = 0; j < size; ++j) {
      for (int i = 0; i < size; ++i) {
        const int a = j * (size + 1) + i;
        ASSERT_NE(mesh.AddTriangle(a, a + 1, a + size + 2), nullptr);
        ASSERT_NE(mesh.AddTriangle(a, a + size + 2, a + size + 1), nullptr);
      }
    }
    mesh.EndFace();
    const MeshStats before = CheckMesh(mesh, &vertices);
    mesh.Optimize(vertices.data(), 12, nullptr);
    const MeshStats after = CheckMesh(mesh, &vertices);
    EXPECT_EQ(after.openLoops, 1);
    EXPECT_LT(after.realFaces, before.realFaces);
    EXPECT_NEAR(after.area, before.area, 0.01 * before.area);
  }
}

}  // namespace
