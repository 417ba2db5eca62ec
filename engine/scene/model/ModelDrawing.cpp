#include "engine/scene/model/ModelDrawing.h"

#include <GL/gl.h>

#include <cstdio>

#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXGL.h"
#include "engine/graphics/GFXStats.h"
#include "engine/scene/model/MaterialLink.h"
#include "engine/scene/model/Model.h"

namespace GFXDisplay {
namespace {

// The group value that keeps a mesh out of the display lists.
constexpr int32_t kUncompiledGroup = 2;
constexpr int kSolidSphereSlot = 3;

const C3MELod* GroupSet(const C3MEMesh* mesh, uint32_t set) {
  if (mesh == nullptr || set >= mesh->lodCount || mesh->lods == nullptr) return nullptr;
  return &mesh->lods[set];
}

bool HasGroups(const C3MEMesh* mesh) {
  const C3MELod* groups = GroupSet(mesh, 0);
  return mesh != nullptr && mesh->vertexCount > 0 && mesh->vertices != nullptr && groups != nullptr &&
         groups->listCount > 0 && groups->lists != nullptr;
}

bool HasUncompiledGroup(const C3MEMesh* mesh) {
  const C3MELod* groups = GroupSet(mesh, 0);
  for (uint32_t k = 0; groups != nullptr && k < groups->listCount; ++k)
    if (groups->lists[k].groupValue == kUncompiledGroup) return true;
  return false;
}

void DeleteList(int32_t list) { glDeleteLists(GLuint(list), 1); }

// Calls draw(mesh) for each instance's mesh under the instance's model-space
// matrix; instances without a mesh are passed over.
template <typename Draw>
void ForEachPlacedMesh(const C3MEModel& model, Draw draw) {
  for (uint32_t i = 0; i < model.instanceCount; ++i) {
    const C3MEInstance& component = model.instances[i];
    if (component.mesh == nullptr) continue;
    glPushMatrix();
    glMultMatrixf(component.world.Data());
    draw(*component.mesh);
    glPopMatrix();
  }
}

}  // namespace

void DrawMesh(const C3MEMesh* mesh, uint32_t set) {
  const C3MELod* groups = GroupSet(mesh, set);
  if (mesh == nullptr || mesh->vertexCount == 0 || mesh->vertices == nullptr || groups == nullptr ||
      groups->listCount == 0 || groups->lists == nullptr)
    return;
  SetVertexArrays(mesh->vertices, mesh->texCoordSetCount > 0 ? mesh->texCoords : nullptr);
  for (uint32_t k = 0; k < groups->listCount; ++k) {
    const C3MEIndexList& group = groups->lists[k];
    DrawMeshGroup(group.material, group.primitiveKind, group.indexCount, group.indices);
  }
}

void CompileModelLists(C3MEModel* model) {
  if (model == nullptr) return;
  // Lists made here must be freed with the model.
  if (ModelServices().deleteDisplayList == nullptr) {
    C3MEModelServices services = ModelServices();
    services.deleteDisplayList = &DeleteList;
    SetModelServices(services);
  }
  for (uint32_t m = 0; m < model->meshCount; ++m) {
    C3MEMesh& mesh = model->meshes[m];
    // A mesh holding a group of value 2 is left to the arrays: it must
    // still be drawn, and one list per mesh would not keep that group apart.
    if (!HasGroups(&mesh) || HasUncompiledGroup(&mesh) || mesh.displayList >= 0) continue;
    const GLuint list = glGenLists(1);
    if (list == 0) continue;
    glNewList(list, GL_COMPILE);
    DrawMesh(&mesh, 0);
    glEndList();
    mesh.displayList = int32_t(list);
  }
  model->compiled = true;
}

void CallModelLists(const C3MEModel* model) {
  if (model == nullptr) return;
  ForEachPlacedMesh(*model, [](const C3MEMesh& mesh) {
    if (mesh.displayList >= 0) {
      glCallList(GLuint(mesh.displayList));
    } else {
      DrawMesh(&mesh, 0);
    }
  });
}

void DrawModel(C3MEModel* model) {
  if (model == nullptr) return;
  if (ShowBoundingVolumes() != 0) {
    DrawModelBounds(model);
    return;
  }
  if ((GetRenderState() & RenderFlag::COMPILE3ME) != 0) {
    if (!model->compiled) CompileModelLists(model);
    CallModelLists(model);
    return;
  }
  ForEachPlacedMesh(*model, [](const C3MEMesh& mesh) { DrawMesh(&mesh, 0); });
}

void PrepareModelMatrices(C3MEModel* model) {
  if (model != nullptr) model->PrepareMatrices();
}

void DrawMeshFlat(int n, const C3MEModel* model) {
  if (model == nullptr) return;
  SetRenderState(RenderFlag::BLENDING | RenderFlag::DEPTHTEST | RenderFlag::SOLID);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f / float(n < 2 ? 2 : n));
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  ForEachPlacedMesh(*model, [](const C3MEMesh& mesh) {
    if (!HasGroups(&mesh)) return;
    glVertexPointer(3, GL_FLOAT, sizeof(C3MEVertex), &mesh.vertices[0].position);
    const C3MELod& groups = mesh.lods[0];
    for (uint32_t k = 0; k < groups.listCount; ++k) {
      const C3MEIndexList& group = groups.lists[k];
      if (group.indexCount < 3 || group.indices == nullptr) continue;
      glDrawElements(PrimitiveMode(group.primitiveKind), group.indexCount, GL_UNSIGNED_SHORT, group.indices);
      CountGroupTriangles(group.primitiveKind, group.indexCount);
    }
  });
}

void DrawModelBounds(const C3MEModel* model, const float* colour) {
  static const float kDefaultColour[4] = {0.0f, 0.0f, 0.5f, 0.1f};
  if (model == nullptr) return;
  if (colour == nullptr) colour = kDefaultColour;
  const GFXRenderFlags remembered = GetRenderState();
  SetMaterial(nullptr);
  BindMaterialStage(0);
  SetRenderState(RenderFlag::BLENDING | RenderFlag::SOLID);
  ForEachPlacedMesh(*model, [colour](const C3MEMesh& mesh) {
    if (mesh.volumeKind == C3MEMesh::kCuboid) {
      glColor4f(colour[0], colour[1], colour[2], colour[3]);
      DrawSolidBox(mesh.box.min, mesh.box.max);
      glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
      DrawWireBox(mesh.box.min, mesh.box.max);
    } else if (mesh.volumeKind == C3MEMesh::kSphere) {
      glColor4f(colour[0], colour[1], colour[2], colour[3]);
      const Vector3& centre = mesh.sphere.centre;
      const float diameter = 2.0f * mesh.sphere.radius;
      glPushMatrix();
      glTranslatef(centre.x, centre.y, centre.z);
      glScalef(diameter, diameter, diameter);
      glCallList(GFX_GL::GetShapeList(kSolidSphereSlot));
      glPopMatrix();
    }
  });
  SetRenderState(remembered);
}

void DrawModelTriangles(const C3MEModel* model) {
  if (model == nullptr) return;
  glEnable(GL_POLYGON_OFFSET_LINE);
  glPolygonOffset(1.5f, -0.000001f);
  SetRenderState(RenderFlag::DEPTHTEST | RenderFlag::WIREFRAME);
  ForEachPlacedMesh(*model, [](const C3MEMesh& mesh) {
    if (!HasGroups(&mesh)) return;
    const C3MELod& groups = mesh.lods[0];
    for (uint32_t k = 0; k < groups.listCount; ++k) {
      const C3MEIndexList& group = groups.lists[k];
      for (uint32_t t = 0; group.indices != nullptr && t + 2 < group.indexCount; t += 3) {
        const uint16_t corners[3] = {group.indices[t], group.indices[t + 1], group.indices[t + 2]};
        // Indices past the vertices belong to a damaged model: skip them.
        if (corners[0] >= mesh.vertexCount || corners[1] >= mesh.vertexCount || corners[2] >= mesh.vertexCount)
          continue;
        const Vector3& a = mesh.vertices[corners[0]].position;
        const Vector3& b = mesh.vertices[corners[1]].position;
        const Vector3& c = mesh.vertices[corners[2]].position;
        glColor4f(1.0f, 0.0f, 1.0f, 1.0f);
        DrawLine(a, b, 2.0f);
        DrawLine(b, c, 2.0f);
        DrawLine(c, a, 2.0f);
        const Vector3 centre = (a + b + c) * (1.0f / 3.0f);
        Vector2 onScreen;
        if (ProjectToScreen(centre, &onScreen)) {
          char label[32];
          std::snprintf(label, sizeof label, "[T]%u", t / 3);
          const float yellow[4] = {1.0f, 1.0f, 0.0f, 1.0f};
          SetFontColour(0, yellow);
          PrintAt(0, label, onScreen);
        }
      }
    }
  });
  glDisable(GL_POLYGON_OFFSET_LINE);
  glPolygonOffset(0.0f, 0.0f);
}

}  // namespace GFXDisplay
