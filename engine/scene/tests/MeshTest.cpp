#include <gtest/gtest.h>

#include <vector>

#include "engine/scene/model/Mesh.h"

namespace {

void Fill(C3MEIndexList& list, const std::vector<uint16_t>& values, uint32_t capacity) {
  ASSERT_TRUE(list.Reserve(capacity));
  for (uint16_t v : values) list.indices[list.PostIncrementCount()] = v;
}

std::vector<uint16_t> Contents(const C3MEIndexList& list) {
  return std::vector<uint16_t>(list.indices, list.indices + list.indexCount);
}

TEST(IndexList, TriangleCountByKind) {
  struct Case {
    int32_t kind;
    uint16_t count;
    uint32_t triangles;
  } cases[] = {{C3MEIndexList::kTriangleStrip, 2, 0}, {C3MEIndexList::kTriangleList, 7, 2},
               {C3MEIndexList::kTriangleFan, 5, 3},   {3, 9, 0},
               {C3MEIndexList::kTriangleList, 0, 0},  {C3MEIndexList::kTriangleStrip, 1, 0}};
  for (const Case& c : cases) {
    C3MEIndexList list;
    list.primitiveKind = c.kind;
    list.indexCount = c.count;
    EXPECT_EQ(list.TriangleCount(), c.triangles) << "kind " << c.kind << " count " << c.count;
  }
}

TEST(IndexList, EditingKeepsValidIndicesFirst) {
  C3MEIndexList full;
  Fill(full, {1, 2, 3}, 3);
  full.Add(9);
  EXPECT_EQ(Contents(full), (std::vector<uint16_t>{1, 2, 3}));

  C3MEIndexList list;
  Fill(list, {4, 7, 5, 7, 6}, 5);
  list.Remove(7);
  EXPECT_EQ(Contents(list), (std::vector<uint16_t>{4, 5, 6, 0xFFFF, 0xFFFF}));
  EXPECT_EQ(list.CountValid(), 3u);
  list.Add(8);
  EXPECT_EQ(list.GetIndex(3), 8);
  list.Add(0x8000);  // out of the editable range: ignored
  EXPECT_EQ(list.GetIndex(4), 0xFFFF);
  list.RemoveAt(0);
  EXPECT_EQ(list.indexCount, 4);
  EXPECT_EQ(Contents(list), (std::vector<uint16_t>{5, 6, 8, 0xFFFF}));
}

TEST(IndexList, CountValidCountsUsedSlotsAfterAGap) {
  C3MEIndexList list;
  Fill(list, {1, 0xFFFF, 2, 0x9000, 3}, 5);
  EXPECT_EQ(list.CountValid(), 3u);
}

TEST(IndexList, ReserveNeverShrinksOrReplacesCountedIndices) {
  C3MEIndexList list;
  ASSERT_TRUE(list.Reserve(8));
  uint16_t* before = list.indices;
  EXPECT_TRUE(list.Reserve(4));
  EXPECT_EQ(list.indices, before);
  list.indices[list.PostIncrementCount()] = 1;
  EXPECT_TRUE(list.Reserve(16));
  EXPECT_EQ(list.indices, before);
  EXPECT_EQ(list.capacity, 8u);
}

TEST(Mesh, BoundsAlwaysReachTheOrigin) {
  C3MEMesh mesh;
  ASSERT_TRUE(mesh.ReserveVertices(2));
  mesh.vertexCount = 2;
  mesh.vertices[0].position = Vector3(1.0f, 2.0f, 3.0f);
  mesh.vertices[1].position = Vector3(3.0f, 4.0f, 5.0f);
  mesh.ComputeBounds();
  EXPECT_EQ(mesh.volumeKind, uint32_t(C3MEMesh::kCuboid));
  EXPECT_EQ(mesh.sphere.centre, Vector3(2.0f, 3.0f, 4.0f));
  EXPECT_FLOAT_EQ(mesh.sphere.radius, Vector3(3.0f, 4.0f, 5.0f).Length());
  EXPECT_EQ(mesh.box.GetSize(), Vector3(3.0f, 4.0f, 5.0f));
  EXPECT_EQ(mesh.box.min, Vector3());
  EXPECT_EQ(mesh.box.max, Vector3(3.0f, 4.0f, 5.0f));
}

TEST(Mesh, EmptyMeshHasZeroBounds) {
  C3MEMesh mesh;
  mesh.ComputeBounds();
  EXPECT_EQ(mesh.sphere.centre, Vector3());
  EXPECT_EQ(mesh.sphere.radius, 0.0f);
}

TEST(Mesh, ReserveKeepsPopulatedArraysAndDefaultsNewVertices) {
  C3MEMesh mesh;
  ASSERT_TRUE(mesh.ReserveVertices(4));
  EXPECT_EQ(mesh.vertices[3].red, 255);
  EXPECT_EQ(mesh.vertices[3].alpha, 255);
  EXPECT_EQ(mesh.vertices[3].normal, Vector3(0.0f, 0.0f, 1.0f));
  C3MEVertex* before = mesh.vertices;
  EXPECT_TRUE(mesh.ReserveVertices(2));
  EXPECT_EQ(mesh.vertices, before);
  mesh.vertexCount = 1;
  EXPECT_TRUE(mesh.ReserveVertices(10));
  EXPECT_EQ(mesh.vertices, before);
  EXPECT_EQ(mesh.vertexCapacity, 4u);
}

TEST(Mesh, AssignCopiesGeometryAndLists) {
  C3MEMesh source;
  source.name = "part";
  ASSERT_TRUE(source.ReserveVertices(3));
  ASSERT_TRUE(source.ReserveTexCoordSets(1));
  source.vertexCount = 3;
  source.texCoordSetCount = 1;
  for (uint32_t v = 0; v < 3; ++v) {
    source.vertices[v].position = Vector3(float(v), 0.0f, 0.0f);
    source.TexCoord(0, v) = C3METexCoord{float(v), 1.0f};
  }
  ASSERT_TRUE(source.SetLodCount(1));
  ASSERT_TRUE(source.ReserveLists(0, 1));
  C3MEIndexList& list = source.lods[0].lists[source.lods[0].listCount++];
  Fill(list, {0, 1, 2}, 3);
  list.materialIndex = 4;

  C3MEMesh copy;
  ASSERT_TRUE(copy.Assign(source));
  EXPECT_TRUE(copy.name == "part");
  ASSERT_EQ(copy.vertexCount, 3u);
  EXPECT_EQ(copy.vertices[2].position.x, 2.0f);
  EXPECT_EQ(copy.sourceVertices[2].position.x, 2.0f);
  EXPECT_EQ(copy.TexCoord(0, 1).u, 1.0f);
  ASSERT_EQ(copy.lods[0].listCount, 1u);
  EXPECT_EQ(Contents(copy.lods[0].lists[0]), (std::vector<uint16_t>{0, 1, 2}));
  EXPECT_EQ(copy.lods[0].lists[0].materialIndex, 4);
}

}  // namespace
