#pragma once
// A model of one component for drawing tests: one mesh of four corners drawn
// as a strip of one index group with the named material.

#include <gtest/gtest.h>

#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/MaterialStage.h"
#include "engine/scene/model/IndexList.h"
#include "engine/scene/model/Mesh.h"
#include "engine/scene/model/Model.h"

// Corners in strip order (x, y) at z 0; the first stage of the material gets
// the given flags.
inline void BuildSquareModel(C3MEModel& model, const float corners[4][2], const char* materialName, uint32_t stageFlags,
                             int32_t groupValue = 0) {
  EXPECT_TRUE(model.ReserveMeshes(1));
  model.meshCount = 1;
  C3MEMesh& mesh = model.meshes[0];
  EXPECT_TRUE(mesh.ReserveVertices(4));
  mesh.vertexCount = 4;
  for (int v = 0; v < 4; ++v) mesh.vertices[v].position = Vector3(corners[v][0], corners[v][1], 0);
  EXPECT_TRUE(mesh.SetLodCount(1));
  EXPECT_TRUE(mesh.ReserveLists(0, 1));
  mesh.lods[0].listCount = 1;
  C3MEIndexList& group = mesh.lods[0].lists[0];
  EXPECT_TRUE(group.Reserve(4));
  for (uint16_t i = 0; i < 4; ++i) group.indices[i] = i;
  group.indexCount = 4;
  group.primitiveKind = C3MEIndexList::kTriangleStrip;
  group.groupValue = groupValue;
  group.material = CMATManager::GetInstance()->GetMaterial(materialName);
  group.material->GetStage(0)->flags = stageFlags;
  EXPECT_TRUE(model.ReserveInstances(1));
  model.instanceCount = 1;
  model.instances[0].mesh = &mesh;
}
