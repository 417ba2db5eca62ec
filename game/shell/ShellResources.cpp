#include "game/shell/ShellResources.h"

#include "engine/foundation/String.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/TextureManager.h"
#include "engine/scene/Mesh.h"
#include "engine/scene/Model.h"

void InitGemFont(int font) {
  if (font < 0 || font >= kGemFontCount) return;
  CTEXManager::GetInstance()->GetTexture(String(kGemFontFiles[font]));
}

void InitGemFonts() {
  for (int font = 0; font < kGemFontCount; ++font) InitGemFont(font);
}

void DrawGemText(int, const char*, float, float, float, float) {}

void DrawGemTextAt(int, const char*, float, float, float, float) {}

void DrawModelInMaterial(C3MEModel* model, CMATMaterial* material) {
  if (model == nullptr) return;
  for (uint32_t m = 0; m < model->GetMeshCount(); ++m) {
    const C3MEMesh* mesh = model->GetMesh(m);
    if (mesh == nullptr || mesh->vertexCount == 0 || mesh->vertices == nullptr || mesh->lodCount == 0 ||
        mesh->lods == nullptr) {
      continue;
    }
    const C3MELod& groups = mesh->lods[0];
    GFXDisplay::SetVertexArrays(mesh->vertices, mesh->texCoordSetCount > 0 ? mesh->texCoords : nullptr);
    for (uint32_t k = 0; k < groups.listCount && groups.lists != nullptr; ++k) {
      const C3MEIndexList& group = groups.lists[k];
      GFXDisplay::DrawMeshGroup(material, group.primitiveKind, group.indexCount, group.indices);
    }
  }
}
