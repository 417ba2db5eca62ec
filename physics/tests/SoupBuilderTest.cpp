#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "physics/soup/dgPolygonSoupBuilder.h"

namespace {

struct Face {
  int attribute;
  std::vector<int> indices;
};

std::vector<Face> Faces(const dgPolygonSoupDatabaseBuilder& builder) {
  std::vector<Face> faces;
  const int* run = builder.GetIndices();
  for (int f = 0; f < builder.GetFaceCount(); ++f) {
    const int length = builder.GetFaceIndexCounts()[f];
    faces.push_back({run[0], std::vector<int>(run + 1, run + length)});
    run += length;
  }
  return faces;
}

dgVector Vertex(const dgPolygonSoupDatabaseBuilder& builder, int index) {
  return dgVector(builder.GetVertices() + index * 3, 1.0f);
}

// Area of a face and whether every corner turns the same way about its normal.
double Area(const dgPolygonSoupDatabaseBuilder& builder, const Face& face, bool* convex = nullptr) {
  dgVector n;
  const dgVector p0 = Vertex(builder, face.indices[0]);
  for (size_t i = 2; i < face.indices.size(); ++i) {
    n += (Vertex(builder, face.indices[i - 1]) - p0).CrossProduct(Vertex(builder, face.indices[i]) - p0);
  }
  if (convex) {
    *convex = true;
    const size_t count = face.indices.size();
    for (size_t i = 0; i < count; ++i) {
      const dgVector a = Vertex(builder, face.indices[(i + count - 1) % count]);
      const dgVector b = Vertex(builder, face.indices[i]);
      const dgVector c = Vertex(builder, face.indices[(i + 1) % count]);
      if ((b - a).CrossProduct(c - b).DotProduct(n) <= 0.0f) *convex = false;
    }
  }
  return 0.5 * std::sqrt(static_cast<double>(n.LengthSquared()));
}

double TotalArea(const dgPolygonSoupDatabaseBuilder& builder) {
  double area = 0.0;
  for (const Face& face : Faces(builder)) {
    bool convex = false;
    area += Area(builder, face, &convex);
    EXPECT_TRUE(convex);
    EXPECT_GE(face.indices.size(), 3u);
    EXPECT_LE(face.indices.size(), static_cast<size_t>(dgPolygonSoupDatabaseBuilder::kMaxFaceIndices));
  }
  return area;
}

void AddPolygon(dgPolygonSoupDatabaseBuilder& builder, const std::vector<float>& xyz, std::vector<int> indices,
                int attribute = 7) {
  const int count = static_cast<int>(indices.size());
  ASSERT_TRUE(builder.AddMesh(xyz.data(), static_cast<int>(xyz.size() / 3), 12, 1, &count, indices.data(), &attribute,
                              dgGetIdentityMatrix()));
}

const std::vector<float> kSquare = {0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1};

TEST(PhysicsSoupBuilder, TriangleAndConvexSquareStayOneFace) {
  dgPolygonSoupDatabaseBuilder builder;
  AddPolygon(builder, {0, 0, 0, 1, 0, 0, 0, 0, 1}, {0, 1, 2}, 5);
  ASSERT_EQ(builder.GetFaceCount(), 1);
  EXPECT_EQ(builder.GetFaceIndexCounts()[0], 4);
  EXPECT_EQ(builder.GetIndexCount(), 4);
  EXPECT_EQ(Faces(builder)[0].attribute, 5);
  EXPECT_EQ(Faces(builder)[0].indices, (std::vector<int>{0, 1, 2}));

  AddPolygon(builder, kSquare, {0, 1, 2, 3});
  ASSERT_EQ(builder.GetFaceCount(), 2);
  // The second call's indices are offset by the three vertices already held.
  EXPECT_EQ(Faces(builder)[1].indices, (std::vector<int>{3, 4, 5, 6}));
  EXPECT_EQ(builder.GetVertexCount(), 7);
}

TEST(PhysicsSoupBuilder, MatrixMapsTheVertices) {
  dgPolygonSoupDatabaseBuilder builder;
  dgMatrix matrix = dgGetIdentityMatrix();
  matrix.posit = dgVector(10, 20, 30, 1);
  const int count = 3;
  const int indices[] = {0, 1, 2};
  const int attribute = 1;
  const float xyz[] = {0, 0, 0, 99, 1, 0, 0, 99, 0, 0, 1, 99};  // 16-byte stride
  ASSERT_TRUE(builder.AddMesh(xyz, 3, 16, 1, &count, indices, &attribute, matrix));
  EXPECT_EQ(Vertex(builder, 1), dgVector(11, 20, 30, 1));
  EXPECT_EQ(Vertex(builder, 2), dgVector(10, 20, 31, 1));
}

TEST(PhysicsSoupBuilder, ConcaveSquareBecomesConvexFacesOfTheSameArea) {
  dgPolygonSoupDatabaseBuilder builder;
  // The corner at (1, 1) pushed in to (0.3, 0.3).
  AddPolygon(builder, {0, 0, 0, 1, 0, 0, 0.3f, 0, 0.3f, 0, 0, 1}, {0, 1, 2, 3});
  EXPECT_GE(builder.GetFaceCount(), 2);
  EXPECT_NEAR(TotalArea(builder), 0.3, 1e-5);
}

TEST(PhysicsSoupBuilder, RepeatedShortAndDegenerateCornersAreDropped) {
  struct Case {
    const char* name;
    std::vector<float> xyz;
    std::vector<int> indices;
    int faces;
    int corners;
  };
  const Case cases[] = {
      {"repeated index", kSquare, {0, 1, 1, 2, 3, 0}, 1, 4},
      {"short edge", {0, 0, 0, 1, 0, 0, 1, 0, 1, 1.0004f, 0, 1, 0, 0, 1}, {0, 1, 2, 3, 4}, 1, 4},
      {"straight corner", {0, 0, 0, 0.5f, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1}, {0, 1, 2, 3, 4}, 1, 4},
      {"collinear", {0, 0, 0, 1, 0, 0, 2, 0, 0}, {0, 1, 2}, 0, 0},
      {"two corners", kSquare, {0, 1}, 0, 0},
      {"all one point", {1, 1, 1, 1, 1, 1, 1, 1, 1}, {0, 1, 2}, 0, 0},
      {"index out of range", kSquare, {0, 1, 9}, 0, 0},
      {"negative index", kSquare, {0, -1, 2}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dgPolygonSoupDatabaseBuilder builder;
    AddPolygon(builder, c.xyz, c.indices);
    ASSERT_EQ(builder.GetFaceCount(), c.faces);
    if (c.faces == 1) {
      EXPECT_EQ(Faces(builder)[0].indices.size(), static_cast<size_t>(c.corners));
    }
  }
}

TEST(PhysicsSoupBuilder, LongConvexPolygonIsCutIntoFacesTheContactBufferHolds) {
  std::vector<float> xyz;
  std::vector<int> indices;
  for (int i = 0; i < 150; ++i) {
    const double angle = 2.0 * M_PI * i / 150;
    xyz.insert(xyz.end(), {static_cast<float>(10 * std::cos(angle)), 0.0f, static_cast<float>(-10 * std::sin(angle))});
    indices.push_back(i);
  }
  dgPolygonSoupDatabaseBuilder builder;
  AddPolygon(builder, xyz, indices);
  EXPECT_EQ(builder.GetFaceCount(), 3);
  EXPECT_NEAR(TotalArea(builder), 0.5 * 150 * 100 * std::sin(2.0 * M_PI / 150), 1e-2);
}

TEST(PhysicsSoupBuilder, OptimizeMergesCoplanarNeighboursOfOneAttribute) {
  for (const bool sameAttribute : {true, false}) {
    SCOPED_TRACE(sameAttribute);
    dgPolygonSoupDatabaseBuilder builder;
    AddPolygon(builder, {0, 0, 0, 1, 0, 0, 1, 0, 1}, {0, 1, 2}, 3);
    AddPolygon(builder, {0, 0, 0, 1, 0, 1, 0, 0, 1}, {0, 1, 2}, sameAttribute ? 3 : 4);
    builder.Optimize(true);
    EXPECT_EQ(builder.GetVertexCount(), 4);
    const auto faces = Faces(builder);
    ASSERT_EQ(faces.size(), sameAttribute ? 1u : 2u);
    if (sameAttribute) {
      EXPECT_EQ(faces[0].indices.size(), 4u);
    }
    EXPECT_NEAR(TotalArea(builder), 1.0, 1e-6);
  }
}

TEST(PhysicsSoupBuilder, TrianglesJoiningOnlyEachOtherBecomeOneFaceWhenItStaysConvex) {
  // Triangle (a, b, c) and (b, a, d) in one plane, d across the edge a-b.
  struct Case {
    const char* name;
    float dx, dz;
    size_t faces;
  };
  const Case cases[] = {
      {"convex join", 0.5f, -1.0f, 1},
      {"join turning inwards at b", 2.0f, -1.0f, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dgPolygonSoupDatabaseBuilder builder;
    AddPolygon(builder, {0, 0, 0, 1, 0, 0, 1, 0, 1}, {0, 1, 2}, 3);
    AddPolygon(builder, {1, 0, 0, 0, 0, 0, c.dx, 0, c.dz}, {0, 1, 2}, 3);
    const double area = TotalArea(builder);
    builder.Optimize(true);
    const auto faces = Faces(builder);
    ASSERT_EQ(faces.size(), c.faces);
    if (c.faces == 1) {
      EXPECT_EQ(faces[0].indices.size(), 4u);
    }
    EXPECT_NEAR(TotalArea(builder), area, 1e-6);
  }
}

TEST(PhysicsSoupBuilder, OptimizeMergesOnlyNeighboursLyingInOnePlane) {
  struct Case {
    const char* name;
    float lift;  // of the second triangle's far corner above the first one's plane
    size_t faces;
  };
  const Case cases[] = {
      {"in the plane", 0.0f, 1},
      {"within the tolerance", 4e-6f, 1},
      {"beyond the tolerance", 4e-5f, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dgPolygonSoupDatabaseBuilder builder;
    AddPolygon(builder, {100, 0, 100, 101, 0, 100, 101, 0, 101}, {0, 1, 2}, 3);
    AddPolygon(builder, {100, 0, 100, 101, 0, 101, 100, c.lift, 101}, {0, 1, 2}, 3);
    builder.Optimize(true);
    EXPECT_EQ(Faces(builder).size(), c.faces);
  }
}

TEST(PhysicsSoupBuilder, OptimizeKeepsFacesWithoutAFlatNeighbourAsTheyAre) {
  // A bumpy grid: no two neighbours share a plane, so merging changes nothing.
  std::mt19937 random(5);
  std::uniform_real_distribution<float> bump(-0.3f, 0.3f);
  std::vector<float> xyz;
  for (int i = 0; i <= 12; ++i) {
    for (int j = 0; j <= 12; ++j) xyz.insert(xyz.end(), {static_cast<float>(i), bump(random), static_cast<float>(j)});
  }
  dgPolygonSoupDatabaseBuilder plain;
  dgPolygonSoupDatabaseBuilder merged;
  for (int i = 0; i < 12; ++i) {
    for (int j = 0; j < 12; ++j) {
      const int a = i * 13 + j;
      for (auto* builder : {&plain, &merged}) {
        AddPolygon(*builder, xyz, {a, a + 1, a + 14}, i);
        AddPolygon(*builder, xyz, {a, a + 14, a + 13}, i);
      }
    }
  }
  plain.Optimize(false);
  merged.Optimize(true);
  const auto plainFaces = Faces(plain);
  const auto mergedFaces = Faces(merged);
  ASSERT_EQ(mergedFaces.size(), plainFaces.size());
  for (size_t f = 0; f < plainFaces.size(); ++f) {
    EXPECT_EQ(mergedFaces[f].attribute, plainFaces[f].attribute);
    ASSERT_EQ(mergedFaces[f].indices.size(), 3u);
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(Vertex(merged, mergedFaces[f].indices[k]), Vertex(plain, plainFaces[f].indices[k])) << f;
    }
  }
}

TEST(PhysicsSoupBuilder, OptimizeKeepsATinyFaceOfAFlatPatch) {
  // A unit square around a triangle of area 5e-5: merging must not leave a hole.
  const std::vector<float> xyz = {0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1, 0.5f, 0, 0.5f, 0.51f, 0, 0.5f, 0.5f, 0, 0.51f};
  const std::vector<std::vector<int>> triangles = {{4, 6, 5}, {0, 4, 5}, {0, 5, 1}, {1, 5, 2},
                                                   {5, 6, 2}, {6, 3, 2}, {0, 3, 6}, {0, 6, 4}};
  dgPolygonSoupDatabaseBuilder builder;
  for (const auto& triangle : triangles) AddPolygon(builder, xyz, triangle);
  ASSERT_EQ(builder.GetFaceCount(), 8);
  EXPECT_NEAR(TotalArea(builder), 1.0, 1e-6);
  builder.Optimize(true);
  EXPECT_LT(builder.GetFaceCount(), 8);
  EXPECT_NEAR(TotalArea(builder), 1.0, 1e-6);
}

TEST(PhysicsSoupBuilder, OptimizeWeldsCloseVerticesWithoutMerging) {
  dgPolygonSoupDatabaseBuilder builder;
  AddPolygon(builder, {0, 0, 0, 1, 0, 0, 1, 0, 1}, {0, 1, 2}, 3);
  AddPolygon(builder, {0.0004f, 0, 0, 1, 0.0003f, 1, 0, 0, 1}, {0, 1, 2}, 3);
  builder.Optimize(false);
  EXPECT_EQ(builder.GetVertexCount(), 4);
  const auto faces = Faces(builder);
  ASSERT_EQ(faces.size(), 2u);
  // Both faces now name the same corner where their close vertices welded.
  int shared = 0;
  for (int a : faces[0].indices) {
    for (int b : faces[1].indices) shared += a == b;
  }
  EXPECT_EQ(shared, 2);
}

TEST(PhysicsSoupBuilder, FaceThatLosesACornerToWeldingLeavesTheFacesAfterItIntact) {
  // Two corners of the quad lie 0.00106 apart: far enough to stay two
  // corners when added, close enough to weld into one, after which cleaning
  // leaves a triangle. The faces stored after it must keep their own runs.
  dgPolygonSoupDatabaseBuilder builder;
  AddPolygon(builder, {0, 0, 0, 0, 0, 1, 1, 0, 1, 1.0008f, 0, 0.9993f}, {0, 1, 2, 3}, 1);
  AddPolygon(builder, {5, 0, 5, 5, 0, 6, 6, 0, 6}, {0, 1, 2}, 2);
  AddPolygon(builder, {8, 0, 5, 8, 0, 6, 9, 0, 6, 9, 0, 5}, {0, 1, 2, 3}, 3);
  ASSERT_EQ(Faces(builder)[0].indices.size(), 4u);
  builder.Optimize(false);
  const auto faces = Faces(builder);
  ASSERT_EQ(faces.size(), 3u);
  EXPECT_EQ(faces[0].attribute, 1);
  EXPECT_EQ(faces[0].indices.size(), 3u);
  EXPECT_EQ(faces[1].attribute, 2);
  EXPECT_NEAR(Area(builder, faces[1]), 0.5, 1e-6);
  EXPECT_EQ(faces[2].attribute, 3);
  EXPECT_NEAR(Area(builder, faces[2]), 1.0, 1e-6);
  EXPECT_EQ(builder.GetIndexCount(), 4 + 4 + 5);
}

TEST(PhysicsSoupBuilder, LargeGridIsSplitMergedAndKeepsItsArea) {
  // 48 x 48 unit squares as 4608 triangles, attributes in four bands.
  dgPolygonSoupDatabaseBuilder builder;
  for (int z = 0; z < 48; ++z) {
    for (int x = 0; x < 48; ++x) {
      const float x0 = static_cast<float>(x);
      const float z0 = static_cast<float>(z);
      const int attribute = x / 12;
      AddPolygon(builder, {x0, 0, z0, x0 + 1, 0, z0, x0 + 1, 0, z0 + 1}, {0, 1, 2}, attribute);
      AddPolygon(builder, {x0, 0, z0, x0 + 1, 0, z0 + 1, x0, 0, z0 + 1}, {0, 1, 2}, attribute);
    }
  }
  ASSERT_GT(builder.GetFaceCount(), dgPolygonSoupDatabaseBuilder::kMaxFacesPerPass);
  builder.Optimize(true);
  // Each band of one attribute merges into one rectangle.
  const auto faces = Faces(builder);
  ASSERT_EQ(faces.size(), 4u);
  for (const Face& face : faces) EXPECT_NEAR(Area(builder, face), 12.0 * 48.0, 1e-2);
  EXPECT_EQ(builder.GetVertexCount(), 10);
  EXPECT_NEAR(TotalArea(builder), 48.0 * 48.0, 1e-2);
}

// The built arrays of a builder, to compare two builds word for word.
struct BuiltArrays {
  std::vector<int> counts;
  std::vector<int> indices;
  std::vector<float> vertices;
  bool operator==(const BuiltArrays&) const = default;
};

BuiltArrays Arrays(const dgPolygonSoupDatabaseBuilder& builder) {
  const float* vertices = builder.GetVertices();
  return {std::vector<int>(builder.GetFaceIndexCounts(), builder.GetFaceIndexCounts() + builder.GetFaceCount()),
          std::vector<int>(builder.GetIndices(), builder.GetIndices() + builder.GetIndexCount()),
          std::vector<float>(vertices, vertices + 3LL * builder.GetVertexCount())};
}

TEST(PhysicsSoupBuilder, VerticesAddedInChunksBuildAsOnesReadInOneBlock) {
  // A wavy grid of 60 x 60 quads (far more vertices than one chunk holds),
  // given face by face and as one mesh. Reading the vertices after the
  // first face puts them in one block, so the rest of that build adds to
  // the block and welds it in place; the other build keeps its chunks up
  // to the weld. Both must end with the same faces and vertices.
  constexpr int kCells = 60;
  std::vector<float> xyz;
  for (int z = 0; z <= kCells; ++z) {
    for (int x = 0; x <= kCells; ++x) {
      xyz.insert(xyz.end(),
                 {static_cast<float>(x), 0.3f * std::sin(0.7f * x) * std::cos(0.4f * z), static_cast<float>(z)});
    }
  }
  std::vector<int> quads;
  for (int z = 0; z < kCells; ++z) {
    for (int x = 0; x < kCells; ++x) {
      const int a = z * (kCells + 1) + x;
      quads.insert(quads.end(), {a, a + kCells + 1, a + kCells + 2, a + 1});
    }
  }
  const int quadCount = kCells * kCells;
  for (const bool merge : {false, true}) {
    for (const bool faceByFace : {true, false}) {
      SCOPED_TRACE(testing::Message() << "merge " << merge << ", face by face " << faceByFace);
      BuiltArrays built[2];
      for (const bool readEarly : {false, true}) {
        dgPolygonSoupDatabaseBuilder builder;
        for (int q = 0; q < (faceByFace ? quadCount : 1); ++q) {
          if (faceByFace) {
            std::vector<float> corners;
            for (int k = 0; k < 4; ++k) {
              const float* p = &xyz[3LL * quads[4LL * q + k]];
              corners.insert(corners.end(), p, p + 3);
            }
            AddPolygon(builder, corners, {0, 1, 2, 3}, q % 3);
          } else {
            const std::vector<int> counts(quadCount, 4);
            const std::vector<int> attributes(quadCount, 2);
            ASSERT_TRUE(builder.AddMesh(xyz.data(), static_cast<int>(xyz.size() / 3), 12, quadCount, counts.data(),
                                        quads.data(), attributes.data(), dgGetIdentityMatrix()));
          }
          if (readEarly && q == 0) ASSERT_NE(builder.GetVertices(), nullptr);
        }
        builder.Optimize(merge);
        built[readEarly] = Arrays(builder);
      }
      EXPECT_GT(built[0].counts.size(), 0u);
      EXPECT_TRUE(built[0] == built[1]);
    }
  }
}

TEST(PhysicsSoupBuilder, ManyCopiesOfOneFaceCannotBeSplitButStillFinish) {
  dgPolygonSoupDatabaseBuilder builder;
  for (int i = 0; i < dgPolygonSoupDatabaseBuilder::kMaxFacesPerPass + 10; ++i) {
    AddPolygon(builder, {0, 0, 0, 1, 0, 0, 1, 0, 1}, {0, 1, 2}, 1);
  }
  builder.Optimize(true);
  EXPECT_EQ(builder.GetVertexCount(), 3);
  EXPECT_GE(builder.GetFaceCount(), 1);
}

TEST(PhysicsSoupBuilder, EnsureTwoFacesDoublesOnlyALoneFace) {
  dgPolygonSoupDatabaseBuilder builder;
  builder.EnsureTwoFaces();
  EXPECT_EQ(builder.GetFaceCount(), 0);
  AddPolygon(builder, kSquare, {0, 1, 2, 3}, 9);
  builder.EnsureTwoFaces();
  ASSERT_EQ(builder.GetFaceCount(), 2);
  EXPECT_EQ(builder.GetIndexCount(), 10);
  const auto faces = Faces(builder);
  EXPECT_EQ(faces[0].indices, faces[1].indices);
  EXPECT_EQ(faces[1].attribute, 9);
  builder.EnsureTwoFaces();
  EXPECT_EQ(builder.GetFaceCount(), 2);
}

TEST(PhysicsSoupBuilder, RefusesUnusableArguments) {
  dgPolygonSoupDatabaseBuilder builder;
  const int count = 3;
  const int indices[] = {0, 1, 2};
  const int attribute = 0;
  EXPECT_FALSE(builder.AddMesh(kSquare.data(), 4, 8, 1, &count, indices, &attribute, dgGetIdentityMatrix()));
  EXPECT_FALSE(builder.AddMesh(kSquare.data(), -1, 12, 1, &count, indices, &attribute, dgGetIdentityMatrix()));
  EXPECT_FALSE(builder.AddMesh(nullptr, 4, 12, 1, &count, indices, &attribute, dgGetIdentityMatrix()));
  EXPECT_EQ(builder.GetVertexCount(), 0);
  const int negative = -5;
  EXPECT_TRUE(builder.AddMesh(kSquare.data(), 4, 12, 1, &negative, indices, &attribute, dgGetIdentityMatrix()));
  EXPECT_EQ(builder.GetFaceCount(), 0);
}

}  // namespace
